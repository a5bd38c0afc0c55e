// The comment phrase library: its tree by category and title, the titles of
// a category and the phrases of a title.
#include "TestSupport.h"
#include "comments/model/PhraseLibrary.h"
#include "store/Recordset.h"
#include "store/Schema.h"

#include <gtest/gtest.h>

using namespace comments;

namespace {

void addPhrases(const QList<QStringList>& rows) {
    auto rs = store::Recordset::OpenTable(libraryPath(), kPhraseTable);
    ASSERT_TRUE(rs);
    int n = rs->RecordCount();
    for (const QStringList& r : rows) {
        rs->AddNew();
        rs->SetField(QStringLiteral("类别"), r[0]);
        rs->SetField(QStringLiteral("标题"), r[1]);
        rs->SetField(QStringLiteral("内容"), r[2]);
        rs->SetField(QStringLiteral("序号"), ++n);
        ASSERT_TRUE(rs->Update()) << rs->lastError().toStdString();
    }
}

PhraseLibrary loaded() {
    PhraseLibrary lib;
    EXPECT_TRUE(lib.load());
    return lib;
}

} // namespace

TEST(PhraseLibrary, CategoryNumbersFollowTheFixedOrder) {
    EXPECT_EQ(categoryNames().size(), 12);
    EXPECT_EQ(categoryNumber("本期印象"), 1);
    EXPECT_EQ(categoryNumber("课堂上课"), 6);
    EXPECT_EQ(categoryNumber("评语范例"), 12);
    EXPECT_EQ(categoryNumber("评语"), 0);
    EXPECT_EQ(categoryNumber(""), 0);
}

TEST(PhraseLibrary, EmptyLibraryGivesRootAndTwelveEmptyCategories) {
    testing_support::DataFolder folder;
    const shell::Tree tree = loaded().BuildPhraseTree();
    ASSERT_EQ(tree.count(), 13);
    const shell::TreeNode& root = tree.node(0);
    EXPECT_EQ(root.key, "explor");
    EXPECT_EQ(root.text, "学生评语库");
    EXPECT_EQ(root.tag, "root");
    EXPECT_EQ(root.icon, "explorer");
    EXPECT_TRUE(root.expanded);
    const QStringList keys = tree.childKeys("explor");
    ASSERT_EQ(keys.size(), 12);
    EXPECT_EQ(keys.first(), "C1");
    EXPECT_EQ(keys.last(), "C12");
    EXPECT_EQ(tree.childTexts("explor"), categoryNames());
    for (const QString& k : keys) {
        EXPECT_TRUE(tree.children(k).isEmpty()) << k.toStdString();
        EXPECT_EQ(tree.node(tree.indexOf(k)).icon, "sortOff");
        EXPECT_EQ(tree.node(tree.indexOf(k)).selectedIcon, "sortOn");
    }
}

TEST(PhraseLibrary, TreeTitlesAndPhrases) {
    testing_support::DataFolder folder;
    addPhrases({
        {"1", "有礼貌", "你待人有礼貌。", ""},
        {"2", "守纪律", "你遵守纪律。", ""},
        {"1", "有礼貌", "你见到老师主动问好。", ""},
        {"1", "爱劳动", "", ""},                 // shown through its title, never offered
        {"2", "有礼貌", "你讲文明懂礼貌。", ""}, // the same title in another category
        {"1", "", "没有标题的一句。", ""},       // never a title
        {"13", "越界", "第十三类。", ""},        // outside 1..12: hidden
        {"0", "零类", "零。", ""},
        {" 3 ", "交朋友", "你乐于交友。", ""}, // compared as a number
    });
    const PhraseLibrary lib = loaded();
    EXPECT_EQ(lib.ListTitles(1), QStringList({"有礼貌", "爱劳动"}));
    EXPECT_EQ(lib.ListTitles(2), QStringList({"守纪律", "有礼貌"}));
    EXPECT_EQ(lib.ListTitles(3), QStringList({"交朋友"}));
    EXPECT_TRUE(lib.ListTitles(13).isEmpty());
    EXPECT_TRUE(lib.ListTitles(0).isEmpty());
    EXPECT_EQ(lib.ListPhrases("有礼貌"),
              QStringList({"你待人有礼貌。", "你见到老师主动问好。", "你讲文明懂礼貌。"}));
    EXPECT_TRUE(lib.ListPhrases("爱劳动").isEmpty());
    EXPECT_TRUE(lib.ListPhrases("有礼").isEmpty()); // whole-text comparison

    const shell::Tree tree = lib.BuildPhraseTree();
    // Keys follow the running counter: root 1, C1 2, its titles 3 and 4,
    // C2 5, its titles 6 and 7, C3 8, its title 9.
    EXPECT_EQ(tree.childKeys("C1"), QStringList({"kt2", "kt3"}));
    EXPECT_EQ(tree.childTexts("C1"), QStringList({"有礼貌", "爱劳动"}));
    EXPECT_EQ(tree.childKeys("C2"), QStringList({"kt5", "kt6"}));
    EXPECT_EQ(tree.childKeys("C3"), QStringList({"kt8"}));
    const shell::TreeNode& title = tree.node(tree.indexOf("kt2"));
    EXPECT_EQ(title.icon, "fileOff");
    EXPECT_EQ(title.selectedIcon, "fileOn");
    EXPECT_EQ(title.parentKey, "C1");
    EXPECT_EQ(tree.count(), 13 + 5);
    for (const shell::TreeNode& n : tree.nodes())
        EXPECT_TRUE(n.text != "越界" && n.text != "零类" && !n.text.isEmpty()) << n.key.toStdString();
}

TEST(PhraseLibrary, CategoryWithManyTitlesListsThemAll) {
    testing_support::DataFolder folder;
    QList<QStringList> rows;
    for (int i = 1; i <= 25; ++i) {
        rows << QStringList{"4", QStringLiteral("项目%1").arg(i), QStringLiteral("第%1句。").arg(i), ""};
        rows << QStringList{"4", QStringLiteral("项目%1").arg(i), QStringLiteral("又一句。"), ""};
    }
    addPhrases(rows);
    const PhraseLibrary lib = loaded();
    const QStringList titles = lib.ListTitles(4);
    ASSERT_EQ(titles.size(), 25);
    EXPECT_EQ(titles.first(), "项目1");
    EXPECT_EQ(titles.last(), "项目25");
    EXPECT_EQ(lib.BuildPhraseTree().childTexts("C4"), titles);
}

TEST(PhraseLibrary, MissingLibraryIsReported) {
    testing_support::DataFolder folder(false);
    PhraseLibrary lib;
    const shell::Outcome o = lib.load();
    EXPECT_FALSE(o);
    EXPECT_EQ(o.reason, shell::Reason::Failed);
    EXPECT_FALSE(o.messages.value(0).isEmpty());
    EXPECT_EQ(lib.BuildPhraseTree().count(), 13); // still the bare tree
}
