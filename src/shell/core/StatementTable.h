#pragma once

#include "Grid.h"
#include "Outcome.h"

#include <QList>
#include <QString>
#include <QVariant>
#include <memory>
#include <optional>

namespace store {
class Recordset;
}

namespace shell {

// One record of a library of reusable sentences (the comment phrases, the
// plan and summary statements).
struct Statement {
    QString category;             // "类别", as stored
    QString title;                // "标题"
    QString text;                 // "内容"
    std::optional<qint64> number; // "序号"; none when empty or not a whole number
    QString numberText;           // "序号" as the program shows it
    QVariant month;               // "月份" where the table has it
    QVariant week;                // "周别" where the table has it
};

// A library table opened by name (without regard to case), its fields found
// by name: the comment library stores 类别, 标题, 内容, 序号 while the summary
// library stores 内容, 标题, 类别, 序号, and both are read the same way.
// The records are read once at open, in stored order; append() and update()
// write at once and keep the snapshot in step.
class StatementTable {
public:
    // Null when the file, the table or one of the fields "类别", "标题",
    // "内容", "序号" is missing, with a sentence naming it in *error.
    static std::unique_ptr<StatementTable> open(const QString& dbPath, const QString& table,
                                                QString* error = nullptr);
    ~StatementTable();

    QString tableName() const;
    const QList<Statement>& rows() const { return rows_; }
    int count() const { return int(rows_.size()); }
    bool hasMonthWeek() const { return month_ >= 0 && week_ >= 0; }
    // The characters a field takes (Text fields); 0 when it has no limit.
    int fieldSize(const QString& field) const;

    // The 序号 for a new record: the largest one in the table plus one, so a
    // library with gaps or deleted records never hands out a number twice
    // (on a table numbered 1..n this is n + 1).
    qint64 nextNumber() const;
    // Index of the first record with this 序号 at or after `from`, or -1.
    int findNumber(qint64 number, int from = 0) const;

    // Appends a record with 序号 = nextNumber(). Month and week are written
    // only where the table has them and the value is not null. On failure
    // the table is as it was and the message says why.
    Outcome append(const QString& category, const QString& title, const QString& text,
                   const QVariant& month = {}, const QVariant& week = {});
    // Changes the text (and the title when one is given) of record `row`.
    Outcome update(int row, const QString& text, const std::optional<QString>& title = std::nullopt);

private:
    StatementTable() = default;
    Statement readCurrent() const;
    bool moveTo(int row);

    std::unique_ptr<store::Recordset> rs_;
    QList<Statement> rows_;
    qint64 largest_ = 0;
    int category_ = -1, title_ = -1, text_ = -1, number_ = -1, month_ = -1, week_ = -1;
};

// The "序号"/"编号" grid of a library editor: a running number and the
// record's 序号 per row, 16 rows (a heading and 15) at least, 320-twip rows,
// columns 500 and 700 twips wide, the second one left-aligned.
Grid numberedGrid(const QStringList& numbers);

// A text that is a whole number ("3", " 12 ", "3.0"), or none.
std::optional<qint64> wholeNumber(const QString& text);

} // namespace shell
