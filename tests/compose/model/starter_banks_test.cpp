#include "Printers.h"
#include "compose/model/Statements.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <gtest/gtest.h>

using namespace compose;

namespace {
struct Bank {
    QStringList fields;
    QList<QHash<QString, QString>> rows;
};

// The starter statement banks as shipped in data/.
Bank readBank(const QString& table) {
    const QString path =
        QFileInfo(QString::fromUtf8(__FILE__)).dir().filePath("../../../data/" + table + ".tsv");
    QFile f(path);
    Bank b;
    if (!f.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "cannot read " << path.toStdString();
        return b;
    }
    const QStringList lines = QString::fromUtf8(f.readAll()).split(u'\n', Qt::SkipEmptyParts);
    b.fields = lines.value(0).split(u'\t');
    for (const QString& line : lines.mid(1)) {
        const QStringList cells = line.split(u'\t');
        EXPECT_EQ(cells.size(), b.fields.size()) << line.toStdString();
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
