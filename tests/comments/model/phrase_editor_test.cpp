// The library editor's operations: refusals write nothing, an added phrase
// gets the largest 序号 + 1, the grid lists one category and title only.
#include "TestSupport.h"
#include "comments/model/PhraseEditor.h"
#include "comments/model/PhraseLibrary.h"
#include "shell/core/StatementTable.h"
#include "store/Recordset.h"

#include <gtest/gtest.h>

using namespace comments;
using shell::Reason;

namespace {

int libraryCount() {
    auto t = shell::StatementTable::open(libraryPath(), kPhraseTable);
    return t ? t->count() : -1;
}

void addRaw(const QString& category, const QString& title, const QString& text, int number) {
    auto rs = store::Recordset::OpenTable(libraryPath(), kPhraseTable);
    ASSERT_TRUE(rs);
    rs->AddNew();
    rs->SetField(QStringLiteral("类别"), category);
    rs->SetField(QStringLiteral("标题"), title);
    rs->SetField(QStringLiteral("内容"), text);
    rs->SetField(QStringLiteral("序号"), number);
    ASSERT_TRUE(rs->Update());
}

} // namespace

TEST(PhraseEditor, RefusalsWriteNothing) {
    testing_support::DataFolder folder;
    PhraseEditor editor;
    struct Case {
        const char* category;
        QString title;
        Reason reason;
        QString message;
    };
    const Case cases[] = {
        {"", "有礼貌", Reason::Invalid, "请输入项目名称！"},
        {"本期印象", "  ", Reason::Invalid, "请输入项目名称！"},
        {"本期", "有礼貌", Reason::Invalid, "输入名称错误，请重选！"},
        {"第十三类", "有礼貌", Reason::Invalid, "输入名称错误，请重选！"},
        {"本期印象", QString(51, QChar(u'长')), Reason::Invalid, "项目名称太长，不要超过50个字！"},
    };
    for (const Case& c : cases) {
        const shell::Outcome o = editor.add(QString::fromUtf8(c.category), c.title, "你很好。");
        EXPECT_FALSE(o) << c.category;
        EXPECT_EQ(o.reason, c.reason) << c.category;
        EXPECT_EQ(o.messages, QStringList{c.message}) << c.category;
    }
    EXPECT_EQ(libraryCount(), 0);
    // A title of exactly the field's size is taken.
    EXPECT_TRUE(editor.add("本期印象", QString(50, QChar(u'长')), "你很好。"));
    EXPECT_EQ(libraryCount(), 1);

    const shell::Outcome chosen = editor.chooseCategory("印象");
    EXPECT_EQ(chosen.reason, Reason::Invalid);
    EXPECT_EQ(chosen.messages, QStringList{"输入名称错误，请重选！"});
    EXPECT_EQ(editor.openTitle("", "有礼貌").messages, QStringList{"请输入项目名称！"});
}

TEST(PhraseEditor, AddListsTheNewTitleAndNumbersAfterTheLargest) {
    testing_support::DataFolder folder;
    addRaw("1", "有礼貌", "你有礼貌。", 1);
    addRaw("1", "有礼貌", "你尊敬师长。", 7); // numbering with a gap
    addRaw("2", "有礼貌", "另一类的同名项目。", 3);
    PhraseEditor editor;
    ASSERT_TRUE(editor.chooseCategory("本期印象"));
    EXPECT_EQ(editor.titles(), QStringList{"有礼貌"});

    const shell::Outcome added = editor.add(" 本期印象 ", " 爱劳动 ", "你热爱劳动。");
    ASSERT_TRUE(added);
    EXPECT_EQ(added.messages, QStringList{"该条评语已经成功添加！"});
    EXPECT_EQ(editor.title(), "爱劳动");
    EXPECT_EQ(editor.grid().text(1, 1), "8");
    EXPECT_EQ(editor.selectedNumber(), "8");           // the phrase added is the one selected
    ASSERT_TRUE(editor.add("本期印象", "爱劳动", "")); // an empty text is stored as such
    EXPECT_EQ(editor.grid().text(2, 1), "9");
    ASSERT_TRUE(editor.chooseCategory("本期印象"));
    EXPECT_EQ(editor.titles(), QStringList({"有礼貌", "爱劳动"}));

    // The grid lists category 1's 有礼貌 only, not category 2's.
    ASSERT_TRUE(editor.openTitle("本期印象", "有礼貌"));
    EXPECT_EQ(editor.grid().column(1).mid(0, 3), QStringList({"1", "7", ""}));
    EXPECT_EQ(editor.grid().rows(), 16);
    auto t = shell::StatementTable::open(libraryPath(), kPhraseTable);
    ASSERT_EQ(t->count(), 5);
    EXPECT_EQ(t->rows()[3].category, "1");
    EXPECT_EQ(t->rows()[3].title, "爱劳动");
}

TEST(PhraseEditor, SelectAndUpdate) {
    testing_support::DataFolder folder;
    addRaw("1", "有礼貌", "你有礼貌。", 1);
    addRaw("1", "有礼貌", "你尊敬师长。", 2);
    PhraseEditor editor;
    // Nothing selected yet.
    shell::Outcome o = editor.update("改过的。");
    EXPECT_EQ(o.reason, Reason::NotChosen);
    EXPECT_EQ(o.messages, QStringList{"该条评语更新失败！"});

    ASSERT_TRUE(editor.openTitle("本期印象", "有礼貌"));
    EXPECT_EQ(editor.selectRow(2), QString("你尊敬师长。"));
    EXPECT_EQ(editor.selectedNumber(), "2");
    o = editor.update("你尊敬老师，团结同学。");
    ASSERT_TRUE(o);
    EXPECT_EQ(o.messages, QStringList{"该条评语已经成功更新！"});
    auto t = shell::StatementTable::open(libraryPath(), kPhraseTable);
    EXPECT_EQ(t->rows()[1].text, "你尊敬老师，团结同学。");
    EXPECT_EQ(t->rows()[0].text, "你有礼貌。");

    // A blank row selects nothing that an update could change.
    EXPECT_FALSE(editor.selectRow(5).has_value());
    o = editor.update("不应写入。");
    EXPECT_FALSE(o);
    EXPECT_EQ(o.messages, QStringList{"该条评语更新失败！"});
    editor.reset();
    EXPECT_EQ(editor.selectedNumber(), "0");

    // A phrase removed meanwhile by another copy: not found, nothing written.
    ASSERT_TRUE(editor.openTitle("本期印象", "有礼貌"));
    ASSERT_TRUE(editor.selectRow(1).has_value());
    {
        auto rs = store::Recordset::OpenTable(libraryPath(), kPhraseTable);
        rs->MoveFirst();
        ASSERT_TRUE(rs->Delete());
    }
    o = editor.update("x");
    EXPECT_EQ(o.reason, Reason::NotFound);
    EXPECT_EQ(libraryCount(), 1);
}
