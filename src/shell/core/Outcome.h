#pragma once

// The result of an operation that can be refused or fail: whether it did
// what was asked, why not (a code the window can switch on) and the message
// texts to show, in order. A failed write carries the store's reason in its
// message; nothing fails without saying so.

#include <QString>
#include <QStringList>

namespace shell {

enum class Reason {
    None,      // done
    Invalid,   // the input is refused (empty, too long, not a number, ...)
    NotFound,  // what the input names does not exist
    Exists,    // what the input would create is already there
    NotOpen,   // nothing is open to work on
    NotChosen, // it needs a choice (a row, an entry) and none is made
    Failed,    // the store or the file system failed; the message says why
};

struct Outcome {
    bool ok = false;
    Reason reason = Reason::Failed;
    QStringList messages;

    explicit operator bool() const { return ok; }

    static Outcome done(const QString& message = {}) {
        return Outcome{true, Reason::None, message.isEmpty() ? QStringList{} : QStringList{message}};
    }
    static Outcome fail(Reason why, const QString& message = {}) {
        return Outcome{false, why, message.isEmpty() ? QStringList{} : QStringList{message}};
    }
    // A write the store refused or could not make: "保存失败：" and its reason.
    static Outcome storeFailed(const QString& storeReason) {
        return fail(Reason::Failed, saveFailedText(storeReason));
    }
    static QString saveFailedText(const QString& storeReason) {
        return QStringLiteral("保存失败：") +
               (storeReason.isEmpty() ? QStringLiteral("数据库拒绝了这次修改。") : storeReason);
    }
};

} // namespace shell
