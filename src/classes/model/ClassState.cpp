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

shell::Outcome ClassState::isOpen(Taker taker, const QString& refusal) const {
    const bool open = taker == Taker::Scores           ? scoresOpen_
                      : taker == Taker::CommentWorking ? commentWorkingOpen_
                                                       : commentReferenceOpen_;
    return open ? shell::Outcome::done() : shell::Outcome::fail(shell::Reason::NotOpen, refusal);
}

void ClassState::replaceWorkingClass(Taker taker) {
    Q_EMIT workingClassReplaced(taker);
}

} // namespace classes
