#include "Printers.h"
#include "WidgetSupport.h"
#include "shell/Windows.h"
#include "shell/core/Calendar.h"
#include "shell/windows/frmDate.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDate>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTime>
#include <gtest/gtest.h>

using testing_support::child;

namespace {

void settle() {
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QLabel* cell(QWidget* w, int i) {
    return child<QLabel>(w, QStringLiteral("labDate(%1)").arg(i));
}

// The visible cells as "index:day" pairs, and the highlighted cell (0 = none).
struct Grid {
    QList<int> days; // day shown in cells 1..42, 0 when hidden
    int highlighted = 0;
};
Grid grid(QWidget* w) {
    Grid g;
    for (int i = 1; i <= 42; ++i) {
        QLabel* c = cell(w, i);
        g.days << (c->isVisibleTo(w) ? c->text().toInt() : 0);
        if (c->palette().color(QPalette::Window) == shell::frmDate::kHighlightColor) {
            EXPECT_EQ(g.highlighted, 0) << "two cells highlighted";
            g.highlighted = i;
        }
    }
    return g;
}

shell::frmDate* openCalendar() {
    auto* w = qobject_cast<shell::frmDate*>(shell::Windows::instance().open("frmDate"));
    EXPECT_NE(w, nullptr);
    return w;
}

void show(QWidget* w, const QString& year, int month) {
    child<QLineEdit>(w, "Text1")->setText(year);
    child<QComboBox>(w, "cobMonth")->setCurrentIndex(month - 1);
    static_cast<shell::frmDate*>(w)->ShowMonth();
}

} // namespace

TEST(CalendarWindow, OpensOnTodayWithItsControls) {
    auto* w = openCalendar();
    const QDate today = QDate::currentDate();
    EXPECT_EQ(w->windowTitle(), QStringLiteral("日历表"));
    EXPECT_EQ(child<QLineEdit>(w, "Text1")->text(), QString::number(today.year()));
    EXPECT_EQ(child<QComboBox>(w, "cobMonth")->currentText(), shell::monthName(today.month()));
    EXPECT_EQ(child<QComboBox>(w, "cobMonth")->count(), 12);
    EXPECT_EQ(cell(w, 0)->text(), QString::number(today.day()));
    EXPECT_EQ(child<QLabel>(w, "labWeek")->text(), QStringLiteral(" 日  一  二  三  四  五  六"));
    EXPECT_EQ(child<QPushButton>(w, "cmdYear(0)")->text(), "A");
    EXPECT_EQ(child<QPushButton>(w, "cmdYear(1)")->text(), "V");
    EXPECT_TRUE(child<QPushButton>(w, "cmdYesNo(0)")->isVisible());
    for (int i = 1; i <= 3; ++i)
        EXPECT_FALSE(child<QPushButton>(w, QStringLiteral("cmdYesNo(%1)").arg(i))->isVisible());
    const Grid g = grid(w);
    EXPECT_EQ(g.days[g.highlighted - 1], today.day());
    // Sunday red, Saturday magenta.
    EXPECT_EQ(cell(w, 1)->palette().color(QPalette::WindowText), QColor(Qt::red));
    EXPECT_EQ(cell(w, 7)->palette().color(QPalette::WindowText), QColor(255, 0, 255));
    w->close();
    settle();
}

TEST(CalendarWindow, GridFollowsYearAndMonthAndKeepsTheChosenDay) {
    auto* w = openCalendar();
    show(w, "2003", 3); // Saturday the first, 31 days
    QTest::mouseClick(cell(w, 7), Qt::LeftButton);
    EXPECT_EQ(cell(w, 0)->text(), "1");
    Grid g = grid(w);
    EXPECT_EQ(g.highlighted, 7);
    for (int i = 1; i <= 42; ++i)
        EXPECT_EQ(g.days[i - 1], i >= 7 && i <= 37 ? i - 6 : 0) << i;

    // Day 31 chosen, then a 30-day month: the 30th is highlighted and is the
    // date given; the chosen day is kept for longer months.
    QTest::mouseClick(cell(w, 37), Qt::LeftButton);
    EXPECT_EQ(cell(w, 0)->text(), "31");
    child<QComboBox>(w, "cobMonth")->setCurrentIndex(8); // 九月 2003: Monday the first
    g = grid(w);
    EXPECT_EQ(g.highlighted, 31);
    EXPECT_EQ(g.days[1], 1);
    EXPECT_EQ(g.days[30], 30);
    EXPECT_EQ(g.days[31], 0);
    EXPECT_EQ(w->dateText(), "2003-9-30");
    EXPECT_EQ(cell(w, 0)->text(), "31");

    // "A" and "V" step the year and redraw; the highlight follows day 31.
    child<QComboBox>(w, "cobMonth")->setCurrentIndex(11);
    QTest::mouseClick(child<QPushButton>(w, "cmdYear(0)"), Qt::LeftButton);
    EXPECT_EQ(child<QLineEdit>(w, "Text1")->text(), "2004");
    g = grid(w);
    EXPECT_EQ(g.days[3], 1);          // 2004-12-1 is a Wednesday
    EXPECT_EQ(g.highlighted, 3 + 31); // the 31st
    QTest::mouseClick(child<QPushButton>(w, "cmdYear(1)"), Qt::LeftButton);
    QTest::mouseClick(child<QPushButton>(w, "cmdYear(1)"), Qt::LeftButton);
    EXPECT_EQ(child<QLineEdit>(w, "Text1")->text(), "2002");
    EXPECT_EQ(grid(w).days[0], 1); // 2002-12-1 is a Sunday

    // A month text that names no month (typing on the way to one) keeps the
    // grid.
    const QList<int> before = grid(w).days;
    child<QComboBox>(w, "cobMonth")->setEditText(QStringLiteral("十三月"));
    EXPECT_EQ(grid(w).days, before);
    child<QComboBox>(w, "cobMonth")->setEditText(QStringLiteral("二月"));
    EXPECT_EQ(grid(w).days[5], 1); // 2002-2-1 is a Friday
    w->close();
    settle();
}

TEST(CalendarWindow, YearBoxMonthListAndGridAlwaysShowOneMonth) {
    // From 2003-8 with the 31st chosen, the year box is given a text and then
    // a month is chosen or a year button pressed.
    struct Case {
        const char* yearText;
        const char* action; // a month name, "A", "V" or "确定"
        const char* yearShown;
        const char* monthShown;
        int firstCell; // cell of the 1st in the grid
        const char* date;
    } cases[] = {
        {"二〇〇三", "七月", "2003", "七月", 3, "2003-7-31"}, // not a number: back to the year shown
        {"", "七月", "2003", "七月", 3, "2003-7-31"},
        {"0", "六月", "2003", "六月", 1, "2003-6-30"},
        {"10000", "A", "2003", "八月", 6, "2003-8-31"},
        {"20o3", "V", "2003", "八月", 6, "2003-8-31"},
        {"2004", "二月", "2004", "二月", 1, "2004-2-29"},
        {" 2005 ", "二月", " 2005 ", "二月", 3, "2005-2-28"}, // a usable year stays as typed
        {"2003", "A", "2004", "八月", 1, "2004-8-31"},
        {"二〇〇三", "确定", "2003", "八月", 6, "2003-8-31"},
        {"2004", "确定", "2004", "八月", 1, "2004-8-31"}, // a year typed counts on "确定"
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.yearText) + " / " + c.action);
        auto* w = shell::frmDate::openFor(shell::frmDate::SemesterStart);
        ASSERT_NE(w, nullptr);
        show(w, "2003", 8);
        QTest::mouseClick(cell(w, 36), Qt::LeftButton); // 2003-8-31
        ASSERT_EQ(cell(w, 0)->text(), "31");
        QSignalSpy chosen(w, &shell::frmDate::dateChosen);
        child<QLineEdit>(w, "Text1")->setText(QString::fromUtf8(c.yearText));
        const QString action = QString::fromUtf8(c.action);
        if (action == u"A")
            QTest::mouseClick(child<QPushButton>(w, "cmdYear(0)"), Qt::LeftButton);
        else if (action == u"V")
            QTest::mouseClick(child<QPushButton>(w, "cmdYear(1)"), Qt::LeftButton);
        else if (action == u"确定")
            child<QPushButton>(w, "cmdYesNo(1)")->click();
        else
            child<QComboBox>(w, "cobMonth")->setCurrentIndex(shell::monthNumber(action) - 1);
        if (action == u"确定") {
            ASSERT_EQ(chosen.size(), 1);
            EXPECT_EQ(chosen.at(0).at(1).toString(), QString::fromUtf8(c.date));
            settle();
            continue;
        }
        EXPECT_EQ(child<QLineEdit>(w, "Text1")->text(), QString::fromUtf8(c.yearShown));
        EXPECT_EQ(child<QComboBox>(w, "cobMonth")->currentText(), QString::fromUtf8(c.monthShown));
        const Grid g = grid(w);
        EXPECT_EQ(g.days.indexOf(1) + 1, c.firstCell);
        EXPECT_EQ(w->dateText(), QString::fromUtf8(c.date));
        // The highlight is the day "确定" gives.
        EXPECT_EQ(QString::number(g.days[g.highlighted - 1]), w->dateText().section(u'-', 2));
        w->close();
        settle();
    }
}

TEST(CalendarWindow, ClockShowsTheTimeInTheLocalesFormat) {
    // The window's clock follows the locale: with en_US it has AM or PM.
    const QLocale before;
    QLocale::setDefault(QLocale(QStringLiteral("en_US")));
    auto* w = openCalendar();
    const QString shown = child<QLabel>(w, "labTim(1)")->text();
    QLocale::setDefault(before);
    EXPECT_TRUE(shown.endsWith(u"AM") || shown.endsWith(u"PM")) << shown.toStdString();
    EXPECT_TRUE(QTime::fromString(shown, QStringLiteral("h:mm:ss AP")).isValid()) << shown.toStdString();
    EXPECT_EQ(child<QLabel>(w, "labTim(2)")->text(), shown);
    w->close();
    settle();
}

TEST(CalendarWindow, OkHandsTheDateToThePlanWritersBoxAndCloses) {
    auto& windows = shell::Windows::instance();
    QWidget* plan = windows.load("frmKaiXueJiHua");
    ASSERT_NE(plan, nullptr);
    QLineEdit* boxes[3] = {};
    for (int i = 1; i <= 2; ++i) {
        boxes[i] = child<QLineEdit>(plan, QStringLiteral("Text%1").arg(i));
        ASSERT_NE(boxes[i], nullptr);
        boxes[i]->clear();
    }
    // The plan writer's "开学时间" and "期末时间" open the calendar.
    auto openFromPlan = [&](int purpose) {
        child<QPushButton>(plan, purpose == 1 ? "Command2" : "Command3")->click();
        return qobject_cast<shell::frmDate*>(windows.find("frmDate"));
    };

    for (int purpose : {1, 2}) {
        auto* w = openFromPlan(purpose);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->windowTitle(), purpose == 1 ? QStringLiteral("日历表＿设置开学时间")
                                                 : QStringLiteral("日历表＿设置期末时间"));
        auto* ok = child<QPushButton>(w, QStringLiteral("cmdYesNo(%1)").arg(purpose));
        EXPECT_TRUE(ok->isVisible());
        EXPECT_EQ(ok->text(), QStringLiteral("确定"));
        EXPECT_FALSE(child<QPushButton>(w, QStringLiteral("cmdYesNo(%1)").arg(3 - purpose))->isVisible());
        show(w, purpose == 1 ? "2003" : "2004", purpose == 1 ? 9 : 1);
        QTest::mouseClick(cell(w, purpose == 1 ? 2 : 5),
                          Qt::LeftButton); // 2003-9-1 Monday, 2004-1-1 Thursday
        QSignalSpy chosen(w, &shell::frmDate::dateChosen);
        ok->click();
        settle();
        EXPECT_EQ(chosen.size(), 1);
        EXPECT_EQ(windows.find("frmDate"), nullptr);
    }
    EXPECT_EQ(boxes[1]->text(), "2003-9-1");
    EXPECT_EQ(boxes[2]->text(), "2004-1-1");

    // "取消" writes nothing.
    boxes[1]->clear();
    auto* w = openFromPlan(1);
    ASSERT_NE(w, nullptr);
    child<QPushButton>(w, "cmdYesNo(0)")->click();
    settle();
    EXPECT_EQ(windows.find("frmDate"), nullptr);
    EXPECT_EQ(boxes[1]->text(), "");
    windows.unload("frmKaiXueJiHua");
    settle();
}
