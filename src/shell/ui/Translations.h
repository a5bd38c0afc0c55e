// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QCoreApplication;

namespace shell {

// Puts Qt's own Simplified-Chinese texts (qtbase_zh_CN from Qt's translations
// folder) in front of the application, so the standard dialogs, their
// buttons and the text boxes' context menus speak the program's language
// whatever the desktop's locale is. Call it before the first window is made:
// a widget takes its texts when it is built. Without the translations (the
// package not installed) Qt's English texts stay and a warning is logged;
// false then.
bool installQtTranslations(QCoreApplication& app);

} // namespace shell
