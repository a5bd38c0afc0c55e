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

struct DataFileOptions {
    QList<CreatedTable>* created = nullptr; // each table made is added here
    StarterRowsFor starter;                 // the rows of each new table
};

// Start-up care of the data folder; returns the sentences to show the
// teacher, each naming its file:
// - a missing database file is made with all its tables, and a missing table
//   is added to a file that is there; the tables of one file, the
//   template's thirteen rows and the starter rows are made in one
//   transaction;
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
