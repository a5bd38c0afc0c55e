#include "ClassState.h"

namespace classes {

void ClassState::handBack(Taker taker, const QString& name) {
    open(taker, name);
    Q_EMIT classHandedBack(taker, name);
}

void ClassState::open(Taker taker, const QString& name) {
    switch (taker) {
    case Taker::Scores:
        scoresOpen_ = true;
        workingClass_ = name;
        break;
    case Taker::CommentWorking:
        commentWorkingOpen_ = true;
        workingClass_ = name;
        break;
    case Taker::CommentReference:
        commentReferenceOpen_ = true;
        referenceClass_ = name;
        break;
    }
}

void ClassState::close(Taker taker) {
    switch (taker) {
    case Taker::Scores:
        scoresOpen_ = false;
        break;
    case Taker::CommentWorking:
        commentWorkingOpen_ = false;
        break;
    case Taker::CommentReference:
        commentReferenceOpen_ = false;
        break;
    }
}

} // namespace classes
