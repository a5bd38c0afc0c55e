#pragma once

#include "store/Schema.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace shell {

// The program's starter content (phrase and statement banks, sample lesson
// plans): one UTF-8 TSV per table, built in as ":/data/<table>.tsv". Its
// first line names the fields, each further line is one record; an empty
// line or one starting with "#" is skipped. The content goes only into a
// table made on this start, never into one the teacher has been using.
struct StarterRows {
    QStringList fields;
    QList<QStringList> rows;
};

// The built-in rows of a table (matched without regard to case); nullopt
// when the program brings none for it. A malformed file is an error in
// *error (which line, why).
std::optional<StarterRows> starterRows(const QString& table, QString* error = nullptr);
// Parses TSV text as above.
std::optional<StarterRows> parseStarterRows(const QByteArray& tsv, QString* error = nullptr);

// The starter rows of a table as records for store::ensureDataFiles(),
// which writes them in the transaction that makes the table.
store::StarterRowsFor starterRecords();

// The data files at start: every missing file and table made, each new
// table with its starter rows in the same transaction (see
// store::ensureDataFiles()); the incomplete files in `repair` are
// completed the same way. Returns the sentences to show the teacher.
QStringList ensureDataFilesWithStarterContent(const QString& folder, const QStringList& repair = {});

// Loads the starter rows into tables that are there, one file's tables in
// one transaction; returns a sentence for each file that could not be
// filled (its tables stay empty and usable).
QStringList loadStarterContent(const QList<store::CreatedTable>& created);

} // namespace shell
