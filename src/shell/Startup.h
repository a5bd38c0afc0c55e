#pragma once

#include <QStringList>

class QDateTime;

class QApplication;

namespace shell {

// Names the program, sets its icon and keeps it running with no window open
// (it lives in the tray). No display name is set: the platform would append
// it to every window title, and titles are the windows' own captions.
void prepareApplication(QApplication& app);

// Opens the window named by "--open NAME" in `arguments`; a name that is no
// window is told to the teacher. False when there was no "--open NAME".
bool openRequestedWindow(const QStringList& arguments);

// What the running copy does with the arguments of a second start: opens
// the window asked for (or says there is none), else brings the tray menu or
// the launcher forward.
void handleSecondStart(const QStringList& arguments);

// The data folder at start: a data file that is there but lacks some of its
// tables, or is another program's database, is named to the teacher with
// what it lacks, and completed only on Yes, after a backup of the files;
// No ends the start with nothing changed. Then every missing file and table
// is made with its starter content, leftovers of killed backups are cleared
// and the day's backup made. False when the program must not go on (the
// teacher said No, or the backup before a repair failed: both told).
bool prepareDataFolder(const QString& dataDir, const QDateTime& now);

// Sets up the data folder, fonts and windows, starts with the splash window
// (or the window named by --open NAME) and runs the event loop.
int runProgram(QApplication& app);

} // namespace shell
