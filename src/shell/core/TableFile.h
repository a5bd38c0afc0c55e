#pragma once

// A table file someone else made — a CSV, an old-format .xls or an .xlsx
// workbook — read as rows of cell texts, the way a spreadsheet shows them:
// row i of the result is the file's row i + 1 (empty rows kept, so row
// numbers in messages are the ones the teacher sees), numbers in their
// shortest form with up to 15 significant digits ("85.5", "20230101").
// Only the first worksheet of a workbook is read.
//
// Files come from anywhere, so what is read is bounded: rows, columns, the
// cells kept and their text, the bytes unpacked from a workbook (counted as
// they are inflated, whatever the package claims). A file past a bound is
// refused with tooBigText() before memory grows with it; a read can be
// watched and stopped from another thread.

#include "Outcome.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <atomic>

namespace shell {

using TableRows = QList<QStringList>;

// What one import takes at most. A class list is a few dozen rows of a few
// dozen columns; these are the old spreadsheet sheet's size (every .xls fits)
// and keep the worst file at a few hundred MB of memory.
struct TableLimits {
    static constexpr int kRows = 65536;
    static constexpr int kColumns = 256;
    // Cells held, counting the empty ones before a value in its row (those
    // are held too): about 60 MB of empty cells.
    static constexpr qint64 kCells = 2'000'000;
    // Characters of text held in all cells together.
    static constexpr qint64 kTextChars = 16 * 1024 * 1024;
    // Bytes one part of an .xlsx package may unpack to.
    static constexpr qint64 kPartBytes = 64 * 1024 * 1024;
    // Files larger than this are refused before they are opened.
    static constexpr qint64 kXlsxFileBytes = 64 * 1024 * 1024;
    static constexpr qint64 kXlsFileBytes = 32 * 1024 * 1024;
    static constexpr qint64 kCsvFileBytes = 256 * 1024 * 1024;
};

// "文件“名单.xlsx”太大，……请分开导入！" for a file past a bound.
QString tooBigText(const QString& fileName);

// A read watched from another thread: how far it has come, a request to
// stop, and what it has taken in so far (the bytes read or unpacked and the
// cells held, which stay within TableLimits).
struct TableRead {
    std::atomic<bool> cancel{false};
    std::atomic<int> permille{0};
    std::atomic<qint64> bytes{0};
    std::atomic<qint64> cells{0};
};

// Reads `path` by its extension (.csv/.txt, .xls, .xlsx; any case). Refused
// with Reason::Invalid for another kind, a damaged file or one past the
// bounds, NotFound for a missing one; every message names the file. A read
// stopped through `watch` ends with Reason::NotChosen and no message.
// Nothing is left in `rows` unless the read succeeds.
Outcome readTableFile(const QString& path, TableRows& rows, TableRead* watch = nullptr);

// A CSV file's bytes: UTF-8 (with or without its byte-order mark) or, when
// the bytes are no UTF-8, GB18030 (what spreadsheet programs write on
// Chinese Windows). Quoting as RFC 4180 has it; a quote still open at the
// end of the file is refused with the row where it began. The separator is
// the one of comma, semicolon and tab that the first line holds most of
// outside quotes (comma when none).
Outcome readCsv(const QByteArray& bytes, TableRows& rows);
char guessSeparator(const QByteArray& bytes);

Outcome readXlsx(const QString& path, TableRows& rows, TableRead* watch = nullptr);
Outcome readXls(const QString& path, TableRows& rows, TableRead* watch = nullptr);

} // namespace shell
