#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace shell {

// The question a window with a changed document asks before the document
// goes (the window closes, another document or student replaces it):
// "当前文档" + caption + "尚未保存！是否保存？", in the "系统提示：" box with
// 是, 否 and 取消.
QString unsavedText(const QString& caption);

// What the teacher answered: save first, let the changes go, or stay where
// they are (取消, Esc or the box's close button).
enum class UnsavedAnswer { Save, Discard, Cancel };
UnsavedAnswer askUnsaved(QWidget* parent, const QString& caption);

// Whether the document may go. Unchanged: yes, without asking. Changed: the
// question; 否 lets it go unsaved; 取消 keeps it (and the window, and
// whatever was about to replace it does not happen); 是 runs `save`, and
// the document goes only when that saved it (a cancelled save dialog or a
// failed write keeps it, and the window with it).
bool mayDiscard(QWidget* parent, const QString& caption, bool modified, const std::function<bool()>& save);

} // namespace shell
