#include "Printers.h"
#include "shell/core/Calendar.h"

#include <QLocale>
#include <gtest/gtest.h>

TEST(CalendarModel, MonthLayouts) {
    struct Case {
        int year, month, firstWeekday, days, rows;
    } cases[] = {
        {2003, 2, 7, 28, 5},  // first day a Saturday: cells 7 to 34
        {2003, 3, 7, 31, 6},  // 31 days from a Saturday reach the sixth row
        {2003, 8, 6, 31, 6},  // 31 days from a Friday too
        {2004, 2, 1, 29, 5},  // leap year
        {2100, 2, 2, 28, 5},  // not a leap year
        {2000, 2, 3, 29, 5},  // a leap year after all
        {2003, 12, 2, 31, 5}, // December: next month is January of the next year
        {2015, 2, 1, 28, 4},  // Sunday the first, 28 days: four rows exactly
        {2003, 9, 2, 30, 5},
    };
    for (const Case& c : cases) {
        const auto m = shell::layoutMonth(c.year, c.month);
        ASSERT_TRUE(m) << c.year << "-" << c.month;
        EXPECT_EQ(m->firstWeekday, c.firstWeekday) << c.year << "-" << c.month;
        EXPECT_EQ(m->days, c.days) << c.year << "-" << c.month;
        EXPECT_EQ(m->rows(), c.rows) << c.year << "-" << c.month;
        EXPECT_EQ(m->cellOf(1), c.firstWeekday);
    }
    EXPECT_FALSE(shell::layoutMonth(0, 1));
    EXPECT_FALSE(shell::layoutMonth(10000, 1));

    EXPECT_EQ(shell::monthNumber(QStringLiteral("十一月")), 11);
    EXPECT_EQ(shell::monthNumber(QStringLiteral("十三月")), 0);
    EXPECT_EQ(shell::monthName(12), QStringLiteral("十二月"));
    EXPECT_EQ(shell::parseYear(" 2003 "), 2003);
    EXPECT_FALSE(shell::parseYear("20o3"));
    EXPECT_FALSE(shell::parseYear(""));
}

TEST(CalendarModel, ClockFormatFollowsTheLocale) {
    struct Case {
        const char* locale;
        const char* format;
    } cases[] = {
        {"C", "HH:mm:ss"},
        {"zh_CN", "HH:mm:ss"},
        {"en_US", "h:mm:ss AP"},
        {"ja_JP", "H時mm分ss秒"},
        {"ko_KR", "AP h시 m분 s초"},
        {"fa_IR", "H:mm:ss"},
        {"fr_CA", "HH 'h' mm 'min' ss 's'"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(shell::clockFormat(QLocale(QString::fromLatin1(c.locale))), QString::fromUtf8(c.format))
            << c.locale;
}
