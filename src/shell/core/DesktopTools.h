// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Outcome.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace shell {

// A program the desktop knows, as its desktop entry describes it, ready to
// start: the program's absolute path and its arguments, with the entry's
// field codes (%f, %U, …) taken out since the Tools menu hands it no file.
struct DesktopProgram {
    QString id;            // desktop file id: "org.gnome.TextEditor.desktop"
    QString entryFile;     // the .desktop file it was read from
    QString name;          // Name[zh_CN], else Name
    QString program;       // absolute path of the executable
    QStringList arguments; // Exec's arguments after the program
};

// Reads one desktop entry and tells whether the desktop would start it: an
// application, not hidden or kept out of the menus, not needing a terminal,
// shown on this desktop (OnlyShowIn / NotShowIn against XDG_CURRENT_DESKTOP),
// its TryExec and its Exec program present. Nullopt otherwise, or when the
// file cannot be read.
std::optional<DesktopProgram> readDesktopProgram(const QString& entryFile, const QString& id = {});

// The desktop's program that stands in for a Tools-menu entry ("toobName1"
// 画图 → a paint program, "toobName2" 记事本 → a text editor, "toobName3"
// 计算器 → a calculator, "toobName4" 通讯簿 → an address book).
//
// The user's default program for the entry's kind of file (image/png,
// text/plain, text/vcard in mimeapps.list) comes first when it is such a
// program; then every desktop entry of the XDG data folders
// ($XDG_DATA_HOME, then $XDG_DATA_DIRS) in the entry's category
// (RasterGraphics but not a Viewer, TextEditor, Calculator,
// ContactManagement), by folder order and then by id, an entry of an
// earlier folder hiding one of the same id in a later folder, as the desktop
// menus do. Nullopt when the machine has none.
std::optional<DesktopProgram> desktopToolProgram(const QString& toolKey);

// What a Tools-menu entry starts.
struct ToolLaunch {
    // The program or file the settings file names, opened as the shell
    // opens a path; empty when the desktop's program is used instead.
    QString configuredPath;
    // The desktop's program, when the settings file names nothing usable.
    std::optional<DesktopProgram> desktop;
};

// Finds what the Tools-menu entry of `toolKey` starts: the program the
// settings file holds for it when that is there (a path, or a program name
// found on PATH), else the desktop's own program of that kind. When neither
// is there: Reason::NotFound and one sentence for the teacher naming the
// entry, the kind of program missing and the setting that was not found.
// An unknown key: Reason::Invalid.
Outcome findToolProgram(const QString& toolKey, ToolLaunch* launch);

} // namespace shell
