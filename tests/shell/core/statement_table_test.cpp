// The statement table on the two field orders the libraries use, its
// numbering, and the tree value the library windows show.
#include "TestSupport.h"
#include "shell/core/StatementTable.h"
#include "shell/core/Tree.h"
#include "store/Recordset.h"
#include "store/Schema.h"

#include <gtest/gtest.h>

using namespace shell;

namespace {

// Appends raw records (category, title, text, number) the way another copy
// of the program or an older library would have left them.
void addRaw(const QString& db, const QString& table, const QList<QStringList>& rows) {
    auto rs = store::Recordset::OpenTable(db, table);
    ASSERT_TRUE(rs);
    for (const QStringList& r : rows) {
        rs->AddNew();
        rs->SetField(QStringLiteral("类别"), r[0]);
        rs->SetField(QStringLiteral("标题"), r[1]);
        rs->SetField(QStringLiteral("内容"), r[2]);
        if (!r[3].isEmpty()) rs->SetField(QStringLiteral("序号"), r[3].toLongLong());
        ASSERT_TRUE(rs->Update()) << rs->lastError().toStdString();
    }
}

struct Library {
    QString db;
    QString table;
};

class StatementTableTest : public ::testing::TestWithParam<Library> {
protected:
    testing_support::DataFolder folder;
    QString db() const { return folder.file(GetParam().db); }
};

} // namespace

// studenPy stores 类别, 标题, 内容, 序号; zjStartData stores 内容, 标题, 类别,
// 序号. Both read and write by name, whatever case the caller spells.
TEST_P(StatementTableTest, ReadsAndWritesFieldsByNameWhateverTheirOrder) {
    addRaw(db(), GetParam().table,
           {{"1", "有礼貌", "你待人有礼貌。", "1"}, {"2", "守纪律", "你遵守纪律。", "2"}});
    QString error;
    auto t = StatementTable::open(db(), GetParam().table.toUpper(), &error);
    ASSERT_TRUE(t) << error.toStdString();
    ASSERT_EQ(t->count(), 2);
    EXPECT_EQ(t->rows()[1].category, "2");
    EXPECT_EQ(t->rows()[1].title, "守纪律");
    EXPECT_EQ(t->rows()[1].text, "你遵守纪律。");
    EXPECT_EQ(t->rows()[1].number, 2);

    ASSERT_TRUE(t->append("3", "爱劳动", "你热爱劳动。"));
    ASSERT_TRUE(t->update(0, "你总是彬彬有礼。", QStringLiteral("懂礼貌")));

    auto again = StatementTable::open(db(), GetParam().table);
    ASSERT_TRUE(again);
    ASSERT_EQ(again->count(), 3);
    EXPECT_EQ(again->rows()[2].category, "3");
    EXPECT_EQ(again->rows()[2].text, "你热爱劳动。");
    EXPECT_EQ(again->rows()[2].number, 3);
    EXPECT_EQ(again->rows()[0].title, "懂礼貌");
    EXPECT_EQ(again->rows()[0].text, "你总是彬彬有礼。");
    EXPECT_EQ(again->rows()[0].category, "1");
}

INSTANTIATE_TEST_SUITE_P(BothOrders, StatementTableTest,
                         ::testing::Values(Library{store::kCommonDb, QStringLiteral("studenPy")},
                                           Library{store::kSummaryDb, QStringLiteral("zjStartData")}));

TEST(StatementTable, NextNumberIsTheLargestPlusOne) {
    testing_support::DataFolder folder;
    const QString db = folder.file(store::kCommonDb);
    auto empty = StatementTable::open(db, QStringLiteral("studenpy"));
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->nextNumber(), 1);
    empty.reset();

    // Numbered 1..3 the next is 4 (count + 1); with a gap and a record
    // without a number it is still the largest + 1, never a number in use.
    addRaw(db, "studenPy", {{"1", "a", "x", "1"}, {"1", "a", "y", "2"}, {"1", "a", "z", "3"}});
    EXPECT_EQ(StatementTable::open(db, "studenPy")->nextNumber(), 4);
    addRaw(db, "studenPy", {{"1", "a", "w", "9"}, {"1", "a", "v", ""}});
    auto t = StatementTable::open(db, "studenPy");
    EXPECT_EQ(t->count(), 5);
    EXPECT_EQ(t->nextNumber(), 10);
    EXPECT_FALSE(t->rows()[4].number.has_value());
    ASSERT_TRUE(t->append("1", "a", "u"));
    ASSERT_TRUE(t->append("1", "a", "t"));
    EXPECT_EQ(t->rows()[5].number, 10);
    EXPECT_EQ(t->rows()[6].number, 11);
    EXPECT_EQ(t->findNumber(9), 3);
    EXPECT_EQ(t->findNumber(42), -1);
}

TEST(StatementTable, RefusedWriteLeavesTheTableAsItWas) {
    testing_support::DataFolder folder;
    const QString db = folder.file(store::kSummaryDb);
    addRaw(db, "zjStartData", {{"1", "开头", "正文。", "1"}});
    auto t = StatementTable::open(db, "zjStartData");
    ASSERT_TRUE(t);
    EXPECT_EQ(t->fieldSize("标题"), 30);
    EXPECT_EQ(t->fieldSize("内容"), 0);
    const QString tooLong(31, QChar(u'长'));
    const Outcome added = t->append("1", tooLong, "x");
    EXPECT_FALSE(added);
    EXPECT_EQ(added.reason, Reason::Failed);
    ASSERT_EQ(added.messages.size(), 1);
    EXPECT_TRUE(added.messages[0].startsWith("保存失败：")) << added.messages[0].toStdString();
    EXPECT_FALSE(t->update(0, "新正文。", tooLong));
    EXPECT_EQ(t->count(), 1);

    auto again = StatementTable::open(db, "zjStartData");
    ASSERT_EQ(again->count(), 1);
    EXPECT_EQ(again->rows()[0].title, "开头");
    EXPECT_EQ(again->rows()[0].text, "正文。");
}

TEST(StatementTable, MissingTableOrFieldIsNamed) {
    testing_support::DataFolder folder;
    QString error;
    EXPECT_FALSE(StatementTable::open(folder.file(store::kCommonDb), "noSuchTable", &error));
    EXPECT_FALSE(error.isEmpty());
    // The bookmark table has no 序号: not a library.
    error.clear();
    EXPECT_FALSE(StatementTable::open(folder.file(store::kCommonDb), "filedata", &error));
    EXPECT_TRUE(error.contains("类别") || error.contains("标题")) << error.toStdString();
}

TEST(NumberedGrid, FifteenBlankRowsAtLeastAndGrowsPastThem) {
    const Grid empty = numberedGrid({});
    EXPECT_EQ(empty.rows(), 16);
    EXPECT_EQ(empty.cols(), 2);
    EXPECT_EQ(empty.text(0, 0), "序号");
    EXPECT_EQ(empty.text(0, 1), "编号");
    EXPECT_EQ(empty.colWidth(0), 500);
    EXPECT_EQ(empty.colWidth(1), 700);
    EXPECT_EQ(empty.colAlign(1), Grid::Align::Left);
    EXPECT_TRUE(empty.text(1, 0).isEmpty());

    QStringList numbers;
    for (int i = 0; i < 20; ++i)
        numbers << QString::number(100 + i);
    const Grid full = numberedGrid(numbers);
    EXPECT_EQ(full.rows(), 21);
    for (int r = 0; r < full.rows(); ++r)
        EXPECT_EQ(full.rowHeight(r), 320) << r;
    EXPECT_EQ(full.text(20, 0), "20");
    EXPECT_EQ(full.text(20, 1), "119");
}

TEST(Tree, KeysAreUniqueAndParentsMustExist) {
    Tree t;
    EXPECT_TRUE(t.add({}, "root", "根", "explorer"));
    EXPECT_TRUE(t.add("root", "a", "甲", "sortOff", "sortOn"));
    EXPECT_TRUE(t.add("root", "b", "乙"));
    EXPECT_TRUE(t.add("a", "a1", "甲一"));
    EXPECT_FALSE(t.add("root", "a", "重复"));  // a key in use
    EXPECT_FALSE(t.add("nowhere", "c", "丙")); // no such parent
    EXPECT_FALSE(t.add("root", "", "空键"));
    EXPECT_EQ(t.count(), 4);
    EXPECT_EQ(t.childKeys("root"), QStringList({"a", "b"}));
    EXPECT_EQ(t.childTexts("a"), QStringList({"甲一"}));
    EXPECT_EQ(t.childKeys({}), QStringList({"root"}));
    EXPECT_EQ(t.node(t.indexOf("a")).selectedIcon, "sortOn");
    t.setExpanded("root");
    EXPECT_TRUE(t.node(0).expanded);
    t.clear();
    EXPECT_EQ(t.count(), 0);
    EXPECT_TRUE(t.add({}, "root", "根"));
}
