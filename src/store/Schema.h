#pragma once

#include "Store.h"

#include <QList>
#include <QString>
#include <QStringList>

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

// Start-up care of the data folder; returns the sentences to show the
// teacher, each naming its file:
// - a missing database file is made with all its tables, and a missing table
//   is added to a file that is there; the tables of one file and the
//   template's thirteen rows are made in one transaction;
// - a template ("dataBak") that lacks some of its settings rows ("编号"
//   "listKM0" to "listKM12") gets just those back with their default
//   content, and the teacher is told; rows that are there are not touched;
// - a class list ("files") whose "文件名" is a limited text field gets an
//   unlimited one, its rows and their order kept;
// - a file that exists is never replaced: one that cannot be opened (a
//   folder in its place, locked by another program, not a database, damaged)
//   or only read (read-only file or folder) is left as it is and said so.
//
// Each table made on this start is added to *created (when given), so that
// starter content goes into new tables only.
struct CreatedTable {
    QString path;  // the database file
    QString table; // the table's name as made
};
QStringList ensureDataFiles(const QString& folder, QList<CreatedTable>* created = nullptr);

} // namespace store
