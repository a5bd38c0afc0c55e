#pragma once

// The teacher's backups of the database files: a "备份" folder beside them,
// one copy per file per backup, named with the file and the moment it was
// made ("cCj218_2026-12-11_081530.mdb"). A backup is made at start (once a
// day), before an import and before a restore; the last 30 days are kept,
// and before that the first backup of each month.

#include "Outcome.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

namespace shell::backups {

// The backup folder of the data folder `dataDir`.
QString folder(const QString& dataDir);

// The database files of the data folder that exist, by name ("cCj218.mdb", ...).
QStringList databaseFiles(const QString& dataDir);

// The name of the copy of `fileName` made at `when`.
QString copyName(const QString& fileName, const QDateTime& when);

// One backup: the copies made at one moment.
struct BackupSet {
    QDateTime when;
    QStringList files; // the database files' names ("cCj218.mdb"), sorted
    // "2026-12-11 8:15:30（4个数据文件）" for the list of backups.
    QString caption() const;
};

// The backups in the folder of `dataDir`, newest first; files whose names
// are no copy's are left out.
QList<BackupSet> list(const QString& dataDir);

// Copies every database file of `dataDir` as made at `now`, then prunes.
// A copy that fails is reported (Reason::Failed, one sentence per file);
// the others are still made.
Outcome backupAll(const QString& dataDir, const QDateTime& now);

// The start-up backup: backupAll() unless a copy of every file was already
// made on `now`'s day; done, with no message, when nothing was to be made.
Outcome dailyBackup(const QString& dataDir, const QDateTime& now);

// Removes what backups killed on the way left in the backup folder of
// `dataDir`: half-made copies ("….mdb.part") and their journals. Returns
// the names removed.
QStringList removeLeftovers(const QString& dataDir);

// Removes the copies the policy no longer keeps as of `today`: a copy made
// in the last 30 days (today included) stays, and so does, for each file,
// the first copy of every month. Returns the names removed.
QStringList prune(const QString& backupFolder, const QDate& today);

// Puts the backup `set` back: backs the current files up first (as made at
// `now`), then replaces each database file the set holds. Refused
// (Reason::Invalid) while any of them is open in this program, before
// anything is copied; Reason::NotFound when a copy has gone.
Outcome restore(const QString& dataDir, const BackupSet& set, const QDateTime& now);

} // namespace shell::backups
