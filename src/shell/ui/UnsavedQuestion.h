#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace shell {

// The question a window with a changed document asks before the document
// goes (the window closes, another document replaces it):
// "当前文档" + caption + "尚未保存！是否保存？", Yes or No, in the
// "系统提示：" box.
QString unsavedText(const QString& caption);

// Whether the document may go. Unchanged: yes, without asking. Changed: the
// question; No lets it go unsaved; Yes runs `save`, and the document goes
// only when that saved it (a cancelled save dialog or a failed write keeps
// it, and the window with it).
bool mayDiscard(QWidget* parent, const QString& caption, bool modified, const std::function<bool()>& save);

} // namespace shell
