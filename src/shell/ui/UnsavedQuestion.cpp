#include "UnsavedQuestion.h"

#include "MessageBox.h"

namespace shell {

QString unsavedText(const QString& caption) {
    return QStringLiteral("当前文档") + caption + QStringLiteral("尚未保存！是否保存？");
}

UnsavedAnswer askUnsaved(QWidget* parent, const QString& caption) {
    switch (MessageBox::askYesNoCancel(parent, unsavedText(caption))) {
    case MessageBox::Yes:
        return UnsavedAnswer::Save;
    case MessageBox::No:
        return UnsavedAnswer::Discard;
    default:
        return UnsavedAnswer::Cancel;
    }
}

bool mayDiscard(QWidget* parent, const QString& caption, bool modified, const std::function<bool()>& save) {
    if (!modified) return true;
    switch (askUnsaved(parent, caption)) {
    case UnsavedAnswer::Discard:
        return true;
    case UnsavedAnswer::Cancel:
        return false;
    case UnsavedAnswer::Save:
        break;
    }
    return save && save();
}

} // namespace shell
