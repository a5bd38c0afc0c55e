#include "Printers.h"
#include "TestSupport.h"
#include "compose/model/Statements.h"
#include "shell/core/StarterContent.h"
#include "store/Schema.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <gtest/gtest.h>

using namespace compose;

namespace {
struct Bank {
    QStringList fields;
    QList<QHash<QString, QString>> rows;
};

// The starter statement banks as the program carries them.
Bank readBank(const QString& table) {
    Bank b;
    QString why;
    const auto rows = shell::starterRows(table, &why);
    if (!rows) {
        ADD_FAILURE() << "no starter rows for " << table.toStdString() << ": " << why.toStdString();
        return b;
    }
    b.fields = rows->fields;
    for (const QStringList& cells : rows->rows) {
        EXPECT_EQ(cells.size(), b.fields.size()) << cells.join(u'|').toStdString();
        QHash<QString, QString> row;
        for (int i = 0; i < b.fields.size(); ++i)
            row[b.fields[i]] = cells.value(i);
        b.rows << row;
    }
    return b;
}

int count(const Bank& b, const QString& field, const QString& value) {
    int n = 0;
    for (const auto& r : b.rows)
        n += r.value(field) == value;
    return n;
}

void checkTitlesAndNumbers(const Bank& b, int titleLimit, const char* table) {
    QSet<QString> titles;
    int number = 0;
    for (const auto& r : b.rows) {
        const QString t = r.value("标题");
        EXPECT_FALSE(t.isEmpty()) << table;
        EXPECT_LE(t.size(), titleLimit) << table << ' ' << t.toStdString();
        EXPECT_FALSE(titles.contains(t)) << table << " repeats " << t.toStdString();
        // The article numbers its headings itself, in the order they stand:
        // a number in a title would number them in the order of the bank.
        static const QRegularExpression numbered(
            QStringLiteral("^(?:[一二三四五六七八九十]+|[0-9]+)[、．.]"));
        EXPECT_FALSE(numbered.match(t).hasMatch()) << table << ' ' << t.toStdString();
        titles.insert(t);
        EXPECT_FALSE(r.value("内容").trimmed().isEmpty()) << t.toStdString();
        EXPECT_EQ(r.value("序号").toInt(), ++number) << table;
    }
}
} // namespace

TEST(StarterBanks, PlanLibraryCoversEveryTypeMonthAndWeek) {
    const Bank start = readBank("jhStartData");
    EXPECT_EQ(start.fields, (QStringList{"类别", "标题", "内容", "序号"}));
    for (const QString& type : planOpeningTypes())
        EXPECT_GE(count(start, "类别", type), 3) << type.toStdString();
    checkTitlesAndNumbers(start, 50, "jhStartData");

    const Bank mid = readBank("jhMidData");
    EXPECT_EQ(mid.fields, (QStringList{"类别", "标题", "内容", "序号", "月份", "周别"}));
    EXPECT_GE(count(mid, "类别", "1"), 3);
    for (int m = 1; m <= 12; ++m) {
        int items = 0;
        for (const auto& r : mid.rows)
            if (r.value("月份") == QString::number(m)) {
                ++items;
                EXPECT_FALSE(r.value("内容").contains(u'\n'));
                EXPECT_TRUE(r.value("类别") == u"2" || r.value("类别") == u"3");
            }
        EXPECT_GE(items, 3) << "month " << m;
    }
    for (int w = 1; w <= 21; ++w)
        EXPECT_GE(count(mid, "周别", QString::number(w)), 1) << "week " << w;
    checkTitlesAndNumbers(mid, 50, "jhMidData");

    const Bank end = readBank("jhEndData");
    for (const char* kind : {"1", "2", "3"})
        EXPECT_GE(count(end, "类别", kind), 3) << kind;
    checkTitlesAndNumbers(end, 50, "jhEndData");
}

TEST(StarterBanks, SummaryLibraryCoversEveryTypeAndSample) {
    const Bank start = readBank("zjStartData");
    EXPECT_EQ(start.fields, (QStringList{"内容", "标题", "类别", "序号"}));
    for (const QString& type : summaryTypeNames())
        EXPECT_GE(count(start, "类别", summaryTypeCode(type)), 1) << type.toStdString();
    checkTitlesAndNumbers(start, 30, "zjStartData");

    const Bank mid = readBank("zjMidData");
    for (const QString& type : summaryTypeNames())
        EXPECT_GE(count(mid, "类别", summaryTypeCode(type)), 1) << type.toStdString();
    checkTitlesAndNumbers(mid, 50, "zjMidData");

    const Bank end = readBank("zjEndData");
    EXPECT_GE(end.rows.size(), 8);
    checkTitlesAndNumbers(end, 30, "zjEndData");
}

// A fresh data folder gets the banks, and the writers read them.
TEST(StarterBanks, AFreshDataFolderHasThemForTheWriters) {
    testing_support::DataFolder folder(false);
    QList<store::CreatedTable> created;
    EXPECT_TRUE(store::ensureDataFiles(folder.path(), &created).isEmpty());
    EXPECT_EQ(shell::loadStarterContent(created), QStringList{});
    const StatementLibrary plan(Writer::Plan, folder.path());
    EXPECT_EQ(plan.titles(Stage::Start, {"倡议型"}).size(), 3);
    EXPECT_EQ(plan.monthStatements(9).size(), 3);
    EXPECT_GE(plan.weekStatements(1).size(), 2); // weeks 1 and 2
    const StatementLibrary summary(Writer::Summary, folder.path());
    EXPECT_GE(summary.titles(Stage::Middle, {"11", "8"}).size(), 3);
    EXPECT_GE(summary.titles(Stage::End).size(), 8);
}
