#include "Printers.h"
#include "compose/model/PlanText.h"

#include <gtest/gtest.h>

using namespace compose;

namespace {
QString apply(const QString& article, const Insertion& ins) {
    QString t = article;
    return t.insert(ins.position, ins.text);
}
} // namespace

TEST(PlanText, MonthItemsStandNewestFirstUnderTheirHeading) {
    QString a = QStringLiteral("开头");
    a = apply(a, monthItem(a, 9, QStringLiteral("A")));
    a = apply(a, monthItem(a, 9, QStringLiteral("B")));
    EXPECT_EQ(a, QStringLiteral("开头\n月份：9\n*B\n*A"));
    a = apply(a, monthItem(a, 11, QStringLiteral("C")));
    a = apply(a, monthItem(a, 11, QStringLiteral("D")));
    EXPECT_EQ(a, QStringLiteral("开头\n月份：9\n*B\n*A\n月份：11\n*D\n*C"));

    // "月份：1" is not the start of "月份：11": month 1 gets its own heading,
    // and the next month-1 item goes under it, not under month 11.
    a = apply(a, monthItem(a, 1, QStringLiteral("E")));
    a = apply(a, monthItem(a, 1, QStringLiteral("F")));
    EXPECT_EQ(a, QStringLiteral("开头\n月份：9\n*B\n*A\n月份：11\n*D\n*C\n月份：1\n*F\n*E"));

    // Before any month is picked the heading number is 0.
    EXPECT_EQ(apply(QStringLiteral("x"), monthItem(QStringLiteral("x"), 0, QStringLiteral("G"))),
              QStringLiteral("x\n月份：0\n*G"));
}

TEST(PlanText, HeadingsCountOnlyAtAParagraphStart) {
    struct Case {
        QString article;
        QString heading;
        int at;
    } cases[] = {
        {QStringLiteral("月份：1\n"), QStringLiteral("月份：1"), 0},
        {QStringLiteral("月份：11\n月份：1"), QStringLiteral("月份：1"), 6},
        {QStringLiteral("见月份：3的安排\n月份：3"), QStringLiteral("月份：3"), 9},
        {QStringLiteral("第12周:2003-4-27----2003-5-3\n"), QStringLiteral("第1周"), -1},
        {QStringLiteral("a\n第2周:2003-2-16"), QStringLiteral("第2周"), 2},
        {QStringLiteral("a"), QString(), -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(findHeading(c.article, c.heading), c.at) << c.article.toStdString();
}

TEST(PlanText, WeekScheduleOfTheSpringTerm) {
    WeekSchedule s;
    ASSERT_TRUE(weekSchedule(QStringLiteral("2003-2-11"), QStringLiteral("2003-6-29"), &s));
    EXPECT_EQ(s.weeks, 21);
    EXPECT_TRUE(s.text.startsWith(QStringLiteral(
        "\n具体工作安排如下：\n第1周:2003-2-9----2003-2-15\n\n第2周:2003-2-16----2003-2-22\n")));
    EXPECT_TRUE(s.text.endsWith(QStringLiteral("\n\n第21周:2003-6-29----2003-7-5\n")));

    struct Case {
        QDate start, end;
        int weeks;
    } cases[] = {
        {QDate(2003, 2, 16), QDate(2003, 2, 15), 0}, // Sunday after the end: the line only
        {QDate(2003, 2, 16), QDate(2003, 2, 16), 1}, // a Sunday start is its own week
        {QDate(2003, 9, 1), QDate(2004, 6, 30), 28}, // a 40-week year stops at 28
    };
    for (const Case& c : cases)
        EXPECT_EQ(weekSchedule(c.start, c.end).weeks, c.weeks) << c.start.toString().toStdString();
    EXPECT_EQ(weekSchedule(QDate(2003, 2, 16), QDate(2003, 2, 15)).text,
              QStringLiteral("\n具体工作安排如下："));

    for (const auto& [from, to] : {std::pair{"2003-2-30", "2003-6-29"}, std::pair{"2003-2-11", "六月底"},
                                   std::pair{"", "2003-6-29"}}) {
        WeekSchedule none;
        const shell::Outcome o = weekSchedule(QString::fromUtf8(from), QString::fromUtf8(to), &none);
        EXPECT_FALSE(o);
        EXPECT_EQ(o.reason, shell::Reason::Invalid);
        EXPECT_EQ(none.weeks, 0);
        EXPECT_TRUE(none.text.isEmpty());
        ASSERT_EQ(o.messages.size(), 1);
        EXPECT_TRUE(o.messages[0].endsWith(QStringLiteral("不是日期，请重写！")));
    }
}

TEST(PlanText, WeekItemsJoinThePickedWeeksBlock) {
    WeekSchedule s;
    ASSERT_TRUE(weekSchedule(QStringLiteral("2003-2-11"), QStringLiteral("2003-3-8"), &s));
    ASSERT_EQ(s.weeks, 4);
    QString a = QStringLiteral("开头") + s.text;
    // Week 3 picked: the heading looked for is that of week 4.
    a = apply(a, weekItem(a, 4, QStringLiteral("A")));
    a = apply(a, weekItem(a, 4, QStringLiteral("B")));
    EXPECT_EQ(a, QStringLiteral("开头\n具体工作安排如下：\n第1周:2003-2-9----2003-2-15\n\n"
                                "第2周:2003-2-16----2003-2-22\n\n第3周:2003-2-23----2003-3-1\n*A\n*B\n\n"
                                "第4周:2003-3-2----2003-3-8\n"));
    // The last week: its following heading is appended with the item.
    a = apply(a, weekItem(a, 5, QStringLiteral("C")));
    EXPECT_TRUE(a.endsWith(QStringLiteral("第4周:2003-3-2----2003-3-8\n\n第5周\n*C")));

    // A schedule the teacher edited: extra blank lines, spaces and a note
    // line; the item still follows the block's last written line.
    QString edited =
        QStringLiteral("第1周:2003-2-9----2003-2-15\n  开学典礼\n \n\n\n第2周:2003-2-16----2003-2-22\n");
    edited = apply(edited, weekItem(edited, 2, QStringLiteral("D")));
    EXPECT_EQ(
        edited,
        QStringLiteral("第1周:2003-2-9----2003-2-15\n  开学典礼\n*D\n \n\n\n第2周:2003-2-16----2003-2-22\n"));
    // With the blank line removed the item still lands before the heading.
    QString tight = QStringLiteral("第1周:a\n第2周:b");
    EXPECT_EQ(apply(tight, weekItem(tight, 2, QStringLiteral("E"))), QStringLiteral("第1周:a\n*E\n第2周:b"));
    // Before a pick: "第0周".
    EXPECT_EQ(apply(QStringLiteral("x"), weekItem(QStringLiteral("x"), 0, QStringLiteral("F"))),
              QStringLiteral("x\n第0周\n*F"));
}

TEST(PlanText, LeadingNumberOfABox) {
    struct Case {
        const char* text;
        int n;
    } cases[] = {{"9", 9}, {" 12 ", 12}, {"9abc", 9},  {"abc", 0},
                 {"", 0},  {"-3", 0},    {"28周", 28}, {"99999999999", 999999999}};
    for (const Case& c : cases)
        EXPECT_EQ(leadingNumber(QString::fromUtf8(c.text)), c.n) << c.text;
}
