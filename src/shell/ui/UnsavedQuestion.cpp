#include "UnsavedQuestion.h"

#include "MessageBox.h"

namespace shell {

QString unsavedText(const QString& caption) {
    return QStringLiteral("当前文档") + caption + QStringLiteral("尚未保存！是否保存？");
}

bool mayDiscard(QWidget* parent, const QString& caption, bool modified, const std::function<bool()>& save) {
    if (!modified) return true;
    if (!MessageBox::ask(parent, unsavedText(caption))) return true;
    return save && save();
}

} // namespace shell
