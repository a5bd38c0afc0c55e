#pragma once

#include <QString>
#include <optional>

class QLocale;

namespace shell {

// The month grid of the calendar window, without widgets: 42 cells in six
// rows of seven, Sunday first; day d of the month lies in cell
// firstWeekday + d - 1 (cells counted from 1).
struct MonthLayout {
    int firstWeekday = 1; // 1 = Sunday … 7 = Saturday
    int days = 0;
    int cellOf(int day) const { return firstWeekday + day - 1; }
    int rows() const { return (cellOf(days) + 6) / 7; }
};

// Empty when year/month names no date (a year outside 1..9999).
std::optional<MonthLayout> layoutMonth(int year, int month);

// "一月" … "十二月".
QString monthName(int month);
// 1..12 for a month name, 0 for any other text.
int monthNumber(const QString& name);
// The year in the year box, when it holds a whole number of a real year.
std::optional<int> parseYear(const QString& text);

// The clock's format: the locale's long time format (with seconds) without
// its time-zone name, as a desk clock shows the time: "HH:mm:ss",
// "h:mm:ss AP" (en_US), "H時mm分ss秒" (ja_JP).
QString clockFormat(const QLocale& locale);

} // namespace shell
