#pragma once

#include "Store.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>

namespace store {

// The database files the program keeps in its data folder, with the tables
// each must hold and their fields in stored order.
struct TableSchema {
    QString name;
    QList<FieldDef> fields;
};
struct DatabaseSchema {
    QString fileName; // "cCj218.mdb", ...
    QList<TableSchema> tables;
};

inline const QString kClassDb = QStringLiteral("cCj218.mdb");
inline const QString kCommonDb = QStringLiteral("cJapy218.mdb");
inline const QString kPlanDb = QStringLiteral("cJh218.mdb");
inline const QString kSummaryDb = QStringLiteral("cZj218.mdb");

// The sixteen fields of a class table (and of the template "dataBak").
QList<FieldDef> classTableFields();
const QList<DatabaseSchema>& databaseSchemas();

// The thirteen template rows of "dataBak", each as sixteen values by position.
QList<QList<QVariant>> templateRows();

// The rows a table starts with when it is made (the program's starter
// banks), each as values by field position; empty when it starts empty.
// Called inside the transaction that makes the table, so that a table and
// its rows are committed together: a start killed at any moment leaves
// either no table (made and filled at the next start) or a filled one, and
// a bank the teacher has emptied is never filled again. When the program's
// own rows cannot be used, *why says so and the table is made empty.
using StarterRowsFor =
    std::function<QList<QList<QVariant>>(const QString& table, const QList<FieldDef>& fields, QString* why)>;

// Each table made on a start, so that the caller knows what is new.
struct CreatedTable {
    QString path;  // the database file
    QString table; // the table's name as made
};

// A data file that is there and is a database, but not wholly this
// program's: another program's database holds none of the tables the file
// should hold, and one of ours may lack some. Such a file is never changed
// unasked: the start-up tells the teacher and completes it only when told
// to (DataFileOptions::repair), after a backup.
struct DataFileGap {
    QString path;
    QStringList missing;  // the tables it lacks, in their documented order
    bool foreign = false; // it holds none of them: another program's database
    // "数据文件“…”缺少数据表“studenPy”、“filedata”。" or, for another
    // program's database, a sentence saying that.
    QString sentence() const;
};

// The data files of `folder` that hold some tables but not every one they
// should. Reads only: nothing is written, no journal mode is switched. A
// file that is missing, empty (no tables at all: a new database, as a 0-byte
// file is) or cannot be read as a database is not listed; ensureDataFiles()
// makes the first two and tells about the last.
QList<DataFileGap> checkDataFiles(const QString& folder);

struct DataFileOptions {
    QList<CreatedTable>* created = nullptr; // each table made is added here
    StarterRowsFor starter;                 // the rows of each new table
    // Files listed by checkDataFiles() that may be completed (their paths as
    // it gives them); any other such file is left as it is and said so.
    QStringList repair;
};

// Start-up care of the data folder; returns the sentences to show the
// teacher, each naming its file:
// - a missing database file is made with all its tables, and so is a file
//   with no tables at all; the tables of one file, the template's thirteen
//   rows and the starter rows are made in one transaction;
// - a file that lacks some of its tables (checkDataFiles()) gets them only
//   when options.repair names it; else it is not opened for writing, and
//   the sentence says what it lacks and that it was left as it was;
// - a template ("dataBak") that lacks some of its settings rows ("编号"
//   "listKM0" to "listKM12") gets just those back with their default
//   content, and the teacher is told; rows that are there are not touched;
// - a class list ("files") whose "文件名" is a limited text field gets an
//   unlimited one, its rows and their order kept;
// - a file that exists is never replaced: one that cannot be opened (a
//   folder in its place, locked by another program, not a database, damaged)
//   or only read (read-only file or folder) is left as it is and said so.
QStringList ensureDataFiles(const QString& folder, const DataFileOptions& options);
inline QStringList ensureDataFiles(const QString& folder, QList<CreatedTable>* created = nullptr) {
    DataFileOptions options;
    options.created = created;
    return ensureDataFiles(folder, options);
}

} // namespace store
