#pragma once

// A table file someone else made — a CSV, an old-format .xls or an .xlsx
// workbook — read as rows of cell texts, the way a spreadsheet shows them:
// row i of the result is the file's row i + 1 (empty rows kept, so row
// numbers in messages are the ones the teacher sees), numbers in their
// shortest form with up to 15 significant digits ("85.5", "20230101").
// Only the first worksheet of a workbook is read.

#include "Outcome.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace shell {

using TableRows = QList<QStringList>;

// Reads `path` by its extension (.csv/.txt, .xls, .xlsx; any case). Refused
// with Reason::Invalid for another kind or a damaged file, NotFound for a
// missing one; every message names the file.
Outcome readTableFile(const QString& path, TableRows& rows);

// A CSV file's bytes: UTF-8 (with or without its byte-order mark) or, when
// the bytes are no UTF-8, GB18030 (what spreadsheet programs write on
// Chinese Windows). Quoting as RFC 4180 has it. The separator is the one
// of comma, semicolon and tab that the first line holds most of outside
// quotes (comma when none).
Outcome readCsv(const QByteArray& bytes, TableRows& rows);
char guessSeparator(const QByteArray& bytes);

Outcome readXlsx(const QString& path, TableRows& rows);
Outcome readXls(const QString& path, TableRows& rows);

} // namespace shell
