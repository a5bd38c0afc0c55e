#pragma once

#include "shell/core/Outcome.h"

#include <QDate>
#include <QString>

namespace compose {

// The plan writer's placing of month and week items and its week schedule,
// worked out on the article's plain text (paragraphs joined by '\n'), so
// the window only applies the insertion to its document.

// A piece of text to insert at a position of the article.
struct Insertion {
    int position = 0;
    QString text;
};

QString monthHeading(int month); // "月份：9"
QString weekHeading(int week);   // "第3周"

// Where a heading stands in the article: at the start of a paragraph and
// not followed by a digit, so "月份：1" is never found in "月份：11" and a
// heading quoted inside a sentence is not one. The first such place, or -1.
int findHeading(const QString& article, const QString& heading);

// A month item under the heading of `headingNumber` (the month picked; 0
// before any pick): when the heading is there, the line "*item" right
// below it, so the newest item stands first; otherwise the heading and the
// item appended at the end.
Insertion monthItem(const QString& article, int headingNumber, const QString& item);

// A week item: `headingNumber` is the picked week + 1, the heading that
// closes the picked week's block. When that heading is there, the line
// "*item" goes after the last non-empty paragraph before it, joining the
// block after its earlier items; otherwise the heading and the item are
// appended at the end (as for the last week of a schedule).
Insertion weekItem(const QString& article, int headingNumber, const QString& item);

// The weekly schedule "确定" appends: "具体工作安排如下：" and, from the
// Sunday on or before `start`, one heading line "第n周:开始----结束" and a
// blank line per week while the week's Sunday is not after `end`, at most
// 28 weeks.
struct WeekSchedule {
    QString text; // to append at the end of the article
    int weeks = 0;
};
WeekSchedule weekSchedule(const QDate& start, const QDate& end);

// The same from the texts of the date boxes: a text that is not a date
// ("2003-2-11") is refused with a message naming the box.
shell::Outcome weekSchedule(const QString& startText, const QString& endText, WeekSchedule* out);

// The leading whole number of a box's text ("9abc" → 9), 0 when there is
// none.
int leadingNumber(const QString& text);

} // namespace compose
