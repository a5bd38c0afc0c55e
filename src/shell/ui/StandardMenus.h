#pragma once

#include "MenuTable.h"

#include <functional>

namespace shell {

// The Tools and Help menus every writer window carries, as menu-table rows
// a window appends to its own table.
//
// Tools: 画图(&I), 记事本(&N), 计算器(&S), 通讯簿(&T) from the settings file's
// list (shell::toolEntries), named mToobHT, mToobJSB, mToobJSQ, mToobTXB
// (some windows spell the first one "mToobHt"). Each starts the program the
// settings file holds for it when chosen, so a program set in the settings
// window meanwhile is the one started; without one, the desktop's own program
// of that kind (RunToolProgram), and a message when there is none.
QList<MenuEntry> toolMenuEntries(const QString& firstName = QStringLiteral("mToobHT"));
MenuDef toolsMenu(const QString& firstName = QStringLiteral("mToobHT"),
                  const QString& menuName = QStringLiteral("mnuToob"));

// Help: 技术支持(&T) (mHelpTopic, the support page) and 关于Veltrano(&A)
// (mHelpAbout). The about window belongs to the window registry, which
// sits above this layer, so the window passes how to show it.
QList<MenuEntry> helpMenuEntries(const std::function<void()>& showAbout);
MenuDef helpMenu(const std::function<void()>& showAbout, const QString& menuName = QStringLiteral("mnuHelp"));

} // namespace shell
