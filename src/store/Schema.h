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

// Creates every missing database file of the data folder with all its
// tables, and adds a missing table to a file that is there; fills "dataBak"
// when it has just been made. A file that exists is never replaced: when it
// cannot be opened as a database it is left as it is and a sentence naming
// it is returned in the list of problems.
QStringList ensureDataFiles(const QString& folder);

} // namespace store
