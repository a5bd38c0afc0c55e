#pragma once

#include "Outcome.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace shell {

// A small INI file. Section and key names match without regard to case, so
// a hand-edited file is read whatever case it uses; lines this program does
// not understand (comments, blank lines, other sections) are kept as they
// are when a value is written, and so is the case of the names in the file.
class IniFile {
public:
    // Reads the file; a missing file is an empty one.
    explicit IniFile(const QString& path);

    QString path() const { return path_; }
    bool contains(const QString& section, const QString& key) const;
    QString value(const QString& section, const QString& key, const QString& fallback = {}) const;
    // Changes the text in memory: replaces the key's value where the key
    // already is, else adds it at the end of its section, else adds the
    // section at the end of the file.
    void setValue(const QString& section, const QString& key, const QString& value);
    // Writes the whole file at once (temporary file, then rename). On failure
    // the file on disk is left as it was and the message says why, in the
    // file system's words.
    Outcome save() const;
    QString text() const;

private:
    struct Line {
        QString raw;     // the line as read or written, without the line end
        QString section; // section it belongs to ("" before the first one)
        QString key;     // key when it is a key=value line, else empty
        bool header = false;
    };
    int findKey(const QString& section, const QString& key) const;
    int findSection(const QString& section) const;
    static QString parseValue(const QString& raw);

    QString path_;
    QList<Line> lines_;
    QString eol_ = QStringLiteral("\n");
};

// "sysRun.ini" in the data folder.
QString settingsFile();

// Profile-string reads and writes on "sysRun.ini", by section and key. The
// windows use the typed functions below; these are their common ground. A
// failed write's message is the file system's reason.
QString readProfileString(const QString& section, const QString& key, const QString& fallback = {});
Outcome writeProfileString(const QString& section, const QString& key, const QString& value);

// One entry of the Tools menu: its caption in the settings window and in
// the menus, the program the file finder looks for (the one a Debian
// desktop brings for it) and the settings key its program is kept under.
struct ToolEntry {
    QString caption;     // "画图"
    QString menuCaption; // "画图(&I)"
    QString searchName;  // "kolourpaint"
    QString key;         // "toobName1"
};
// 画图, 记事本, 计算器, 通讯簿, in menu order.
const QList<ToolEntry>& toolEntries();

// The program behind a Tools-menu entry, by its key. An entry never set
// reads as "sysAutoRunFileText", a name that opens nothing.
QString toolProgram(const QString& toolKey);
// Stores it; a failure says, in one sentence for the teacher, which file
// could not be written and why.
Outcome setToolProgram(const QString& toolKey, const QString& path);

// The folder the file dialogs last opened or saved in, kept across starts;
// empty when none was kept. Keeping it is a convenience: a failed write
// comes back as an Outcome for the caller to ignore.
QString lastFileFolder();
Outcome setLastFileFolder(const QString& folder);

// The program written for the start with the desktop ("runFileName"), empty
// when it is off.
QString autoRunProgram();

// The start-with-the-desktop entry: $XDG_CONFIG_HOME/autostart/veltrano.desktop
// (~/.config when the variable is unset).
QString autostartFile();
// True when the entry exists and is not disabled.
bool autostartEnabled();

// The Exec value of the autostart entry, as written in the file: the program
// with "--data-dir DIR", quoted and escaped as the desktop-entry format wants.
// Nullopt when a path holds a control character other than a line end or a
// tab, which no entry can carry.
std::optional<QString> autostartExec(const QString& program, const QString& dataDir);

// The program as the autostart entry names it: "veltrano" when the first
// "veltrano" on PATH is this very file (an installed program: the entry then
// names it as the desktop's own entries do, and keeps starting it when it is
// installed again under another prefix on PATH), else the path itself, so
// that a build folder or a portable copy starts the copy that was running.
QString autostartProgram(const QString& program);

// Writes `runFileName` = path into "sysRun.ini" and sets the autostart entry:
// a non-empty path writes an enabled entry that starts that program (by name
// when it is the one on PATH, see autostartProgram) with the data folder in
// use (--data-dir), and names the same program as its TryExec, so that the
// desktop passes over the entry once the program is gone; an empty path
// disables an existing entry
// (Hidden=true, the file is kept) and creates none. Both writes are tried; a
// failure (Reason::Failed, or Reason::Invalid for a path no entry can carry)
// has one sentence for the teacher naming what could not be written.
Outcome WriteAutoRun(const QString& path);

} // namespace shell
