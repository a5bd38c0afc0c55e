#pragma once

// Copies of whole database files, for the teacher's backups: a copy is made
// through SQLite's online backup, so it is a consistent database even while
// this program (or another) has the file open; putting a copy back replaces
// the file and is only done while no connection of this program has it open.

#include <QString>

namespace store {

// Copies the database `source` into the new file `target` (a file of that
// name is replaced only once the copy is complete). False, with a sentence
// naming the file in *error, when the source cannot be read or the copy
// cannot be written; a half-written copy is removed.
bool backupDatabase(const QString& source, const QString& target, QString* error = nullptr);

// Whether this program has `path` open now (any Database or Recordset
// handle of it is alive).
bool databaseInUse(const QString& path);

// Replaces the database file `target` by the copy `backup`, byte for byte.
// Refused (false, *error) while the file is open in this program or when the
// copy is not a sound database; the file is then left as it was. The old
// file's journal and write-ahead log go with it, so that none of them is
// ever played into the copy.
bool restoreDatabase(const QString& backup, const QString& target, QString* error = nullptr);

} // namespace store
