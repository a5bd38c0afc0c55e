#pragma once

#include "shell/core/Outcome.h"

#include <QObject>
#include <QString>

namespace classes {

// The class handed from the class-file window to the tool that asked for it.
// The program owns one and hands it to the score manager and the comment
// writer, which share the working class name; tests and benches make their
// own.
class ClassState : public QObject {
    Q_OBJECT
public:
    enum class Taker { Scores, CommentWorking, CommentReference };

    explicit ClassState(QObject* parent = nullptr) : QObject(parent) {}

    // The working class (score manager and comment writer) and the comment
    // writer's reference class.
    const QString& workingClass() const { return workingClass_; }
    const QString& referenceClass() const { return referenceClass_; }
    // Whether the score manager, the comment writer's working class and
    // its reference class are open.
    bool scoresOpen() const { return scoresOpen_; }
    bool commentWorkingOpen() const { return commentWorkingOpen_; }
    bool commentReferenceOpen() const { return commentReferenceOpen_; }
    // Whether `taker` has its class open, for an operation that needs it:
    // done, or refused with Reason::NotOpen and `refusal` as its message.
    shell::Outcome isOpen(Taker taker, const QString& refusal) const;

    // The class-file window hands `name` to a tool: the tool's flag goes up,
    // the name becomes its working (or reference) class, and
    // classHandedBack() says so.
    void handBack(Taker taker, const QString& name);
    // The tool opens `name` itself (the same as a hand-back, unannounced).
    void open(Taker taker, const QString& name);
    // The tool no longer has its class open; the names stay.
    void close(Taker taker);
    // `taker` has opened another existing class as the working class: a
    // tool still showing the previous one closes (workingClassReplaced()).
    void replaceWorkingClass(Taker taker);

Q_SIGNALS:
    void classHandedBack(classes::ClassState::Taker taker, const QString& name);
    void workingClassReplaced(classes::ClassState::Taker taker);

private:
    QString workingClass_;
    QString referenceClass_;
    bool scoresOpen_ = false;
    bool commentWorkingOpen_ = false;
    bool commentReferenceOpen_ = false;
};

} // namespace classes
