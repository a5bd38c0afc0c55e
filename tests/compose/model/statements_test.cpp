#include "Printers.h"
#include "TestSupport.h"
#include "compose/model/Statements.h"
#include "store/Store.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace compose;
using shell::Reason;

namespace {
// A data folder with the two libraries made empty, and a way to append
// records as another program would have stored them.
struct Libraries {
    testing_support::DataFolder folder;
    Libraries() {
        for (const QString& f : {libraryFile(Writer::Plan), libraryFile(Writer::Summary)})
            for (const QString& t :
                 {QStringLiteral("jhStartData"), QStringLiteral("jhMidData"), QStringLiteral("jhEndData"),
                  QStringLiteral("zjStartData"), QStringLiteral("zjMidData"), QStringLiteral("zjEndData")})
                clear(f, t);
    }
    void clear(const QString& file, const QString& table) {
        auto rs = store::Recordset::OpenTable(folder.file(file), table);
        if (!rs) return;
        for (rs->MoveFirst(); !rs->isEOF();)
            ASSERT_TRUE(rs->Delete());
    }
    void add(Writer w, Stage s, const QString& category, const QString& title, const QString& text,
             QVariant month = {}, QVariant week = {}) {
        auto t = shell::StatementTable::open(folder.file(libraryFile(w)), tableName(w, s));
        ASSERT_TRUE(t);
        ASSERT_TRUE(t->append(category, title, text, month, week));
    }
    int count(Writer w, Stage s) {
        auto t = shell::StatementTable::open(folder.file(libraryFile(w)), tableName(w, s));
        return t ? t->count() : -1;
    }
};
} // namespace

TEST(StatementLibrary, ReadsTitlesTextsMonthsAndWeeksByField) {
    Libraries lib;
    lib.add(Writer::Plan, Stage::Start, "倡议型", "甲", "开头甲");
    lib.add(Writer::Plan, Stage::Start, "详述型", "乙", "开头乙");
    lib.add(Writer::Plan, Stage::Start, "倡议型", "", "没有标题的不列出");
    lib.add(Writer::Plan, Stage::Start, "倡议型", "甲", "后来的甲");
    lib.add(Writer::Plan, Stage::Middle, "2", "九月", "九月要点", 9, 3);
    lib.add(Writer::Plan, Stage::Middle, "3", "十一月", "十一月要点", 11, 6);
    lib.add(Writer::Plan, Stage::Middle, "1", "散文", "散文段落");
    lib.add(Writer::Summary, Stage::Start, "3", "议论", "议论开头");
    lib.add(Writer::Summary, Stage::Start, "8", "通用", "通用开头");
    lib.add(Writer::Summary, Stage::Start, "2", "简述", "简述开头");

    const StatementLibrary plan(Writer::Plan, lib.folder.path());
    EXPECT_EQ(plan.titles(Stage::Start, {"倡议型"}), (QStringList{"甲", "甲"}));
    EXPECT_EQ(plan.find(Stage::Start, "甲"), QStringLiteral("后来的甲")); // the last one wins
    EXPECT_EQ(plan.find(Stage::Start, "丙"), std::nullopt);
    EXPECT_EQ(plan.monthStatements(9), QStringList{"九月要点"});
    EXPECT_EQ(plan.monthStatements(1), QStringList{});
    for (int w : {2, 3, 4})
        EXPECT_EQ(plan.weekStatements(w), QStringList{"九月要点"}) << w;
    EXPECT_EQ(plan.weekStatements(5), QStringList{"十一月要点"});
    EXPECT_EQ(plan.weekStatements(1), QStringList{});

    // The summary library stores 内容 first: read by name all the same.
    const StatementLibrary summary(Writer::Summary, lib.folder.path());
    EXPECT_EQ(summary.titles(Stage::Start, {"3", "8"}), (QStringList{"议论", "通用"}));
    EXPECT_EQ(summary.find(Stage::Start, "通用"), QStringLiteral("通用开头"));
}

TEST(LibraryEditor, ChoosesLibrariesAndTypesAndListsNumbers) {
    Libraries lib;
    for (int i = 0; i < 7; ++i)
        lib.add(Writer::Plan, Stage::End, i < 5 ? "1" : "3", QStringLiteral("结尾%1").arg(i), "文");
    LibraryEditor ed(Writer::Plan, lib.folder.path());
    const shell::Outcome bad = ed.selectLibrary("中段");
    EXPECT_EQ(bad.reason, Reason::Invalid);
    EXPECT_EQ(bad.messages, QStringList{"输入名称错误，请重选！"});
    ASSERT_TRUE(ed.selectLibrary(" 结尾语句 "));
    EXPECT_EQ(ed.types(), (QStringList{"散文方式", "纲要型", "阐述型"}));
    EXPECT_EQ(ed.libTable(), "jhEndData");
    ed.selectType("散文方式");
    EXPECT_EQ(ed.typeCode(), "1");
    EXPECT_EQ(ed.numbers(), (QStringList{"1", "2", "3", "4", "5"}));
    EXPECT_EQ(ed.grid().rows(), 16); // a heading and 15 blank rows at least
    ed.selectType("纲要型");
    EXPECT_TRUE(ed.numbers().isEmpty());
    EXPECT_FALSE(ed.usesMonthWeek("纲要型")); // only the middle library has months
    ASSERT_TRUE(ed.selectLibrary("中段语句"));
    EXPECT_TRUE(ed.usesMonthWeek("阐述型"));
    EXPECT_FALSE(ed.usesMonthWeek("散文方式"));
    ASSERT_TRUE(ed.selectLibrary("开头语句"));
    EXPECT_EQ(ed.types().size(), 8);
    ed.selectType("倡议型");
    EXPECT_EQ(ed.typeCode(), "倡议型");

    LibraryEditor sum(Writer::Summary, lib.folder.path());
    ASSERT_TRUE(sum.selectLibrary("开头语句"));
    EXPECT_EQ(sum.types().size(), 11);
    EXPECT_EQ(sum.types().last(), "教师个人总结");
    ASSERT_TRUE(sum.selectLibrary("中段语句"));
    EXPECT_EQ(sum.types().last(), "综合型");
    sum.selectType("纲要型");
    EXPECT_EQ(sum.typeCode(), "6");
}

TEST(LibraryEditor, PlanAddAndUpdateWithTheirChecks) {
    Libraries lib;
    LibraryEditor ed(Writer::Plan, lib.folder.path());
    // Nothing chosen yet.
    EXPECT_EQ(ed.add("", "标题", "文").messages, QStringList{"请输入项目名称！"});
    ASSERT_TRUE(ed.selectLibrary("中段语句"));
    ed.selectType("纲要型");
    struct Refused {
        QString title, month, week, message;
    } refused[] = {
        {"  ", "9", "3", "请输入项目名称！"},
        {QString(51, u'题'), "9", "3", "标题太长，不要超过50个字！"},
        {"九月", "13", "3", "输入数字错误，请重写！"},
        {"九月", "9", "29", "输入数字错误，请重写！"},
        {"九月", "abc", "3", "输入数字错误，请重写！"},
    };
    for (const Refused& r : refused) {
        const shell::Outcome o = ed.add("纲要型", r.title, "文", r.month, r.week);
        EXPECT_EQ(o.messages, QStringList{r.message}) << r.title.size();
        EXPECT_EQ(lib.count(Writer::Plan, Stage::Middle), 0);
    }
    // The checked numbers are stored, not the boxes' text.
    const shell::Outcome added = ed.add("纲要型", " 九月 ", "九月要点", "9abc", "3");
    EXPECT_EQ(added.messages, QStringList{"该段语句已经成功添加！"});
    EXPECT_EQ(ed.numbers(), QStringList{"1"});
    auto t = shell::StatementTable::open(lib.folder.file(libraryFile(Writer::Plan)), "jhmiddata");
    ASSERT_EQ(t->count(), 1);
    EXPECT_EQ(t->rows()[0].category, "2");
    EXPECT_EQ(t->rows()[0].title, "九月");
    EXPECT_EQ(t->rows()[0].month.toInt(), 9);
    EXPECT_EQ(t->rows()[0].week.toInt(), 3);
    t.reset();
    const StatementLibrary plan(Writer::Plan, lib.folder.path());
    for (int w : {2, 3, 4})
        EXPECT_EQ(plan.weekStatements(w), QStringList{"九月要点"});

    // A prose statement leaves month and week empty; 序号 after the largest.
    lib.add(Writer::Plan, Stage::Middle, "1", "旧的", "文"); // 序号 2
    ASSERT_TRUE(ed.add("散文方式", "散文", "段落", "13", "40"));
    t = shell::StatementTable::open(lib.folder.file(libraryFile(Writer::Plan)), "jhMidData");
    EXPECT_EQ(t->rows().last().number, 3);
    EXPECT_TRUE(t->rows().last().month.isNull());
    t.reset();

    // Update: nothing picked, then the picked record.
    EXPECT_EQ(ed.update("x", "y").messages, QStringList{"该语句更新失败！"});
    ed.selectType("纲要型");
    const auto picked = ed.pick("1");
    ASSERT_TRUE(picked);
    EXPECT_EQ(picked->title, "九月");
    EXPECT_EQ(picked->month, 9);
    EXPECT_EQ(picked->week, 3);
    EXPECT_EQ(ed.update("", "y").messages, QStringList{"请输入项目名称！"});
    EXPECT_EQ(ed.update("九月上旬", "新要点").messages, QStringList{"该段语句已经成功更新！"});
    EXPECT_EQ(plan.monthStatements(9), QStringList{"新要点"});
    ed.pick("77");
    EXPECT_EQ(ed.update("a", "b").reason, Reason::NotFound);
}

TEST(LibraryEditor, SummaryTitlesAreUniqueAndFitTheirField) {
    Libraries lib;
    LibraryEditor ed(Writer::Summary, lib.folder.path());
    ASSERT_TRUE(ed.selectLibrary("开头语句"));
    ed.selectType("议论型");
    const QString long31(31, u'长');
    EXPECT_EQ(ed.add("议论型", long31, "文").messages, QStringList{"标题太长，不要超过30个字！"});
    EXPECT_EQ(ed.checkTitleLength(long31).reason, Reason::Invalid);
    ASSERT_TRUE(ed.add("议论型", "反思", "文"));
    EXPECT_EQ(ed.add("议论型", "反思", "文").messages, QStringList{"该段语句标题已经存在，请另写！"});
    ASSERT_TRUE(ed.add("议论型", "收获", "文"));
    EXPECT_EQ(lib.count(Writer::Summary, Stage::Start), 2);

    ed.pick("2");
    const shell::Outcome dup = ed.update("反思", "文");
    EXPECT_EQ(dup.reason, Reason::Exists);
    EXPECT_EQ(dup.messages, QStringList{"更新失败：该段语句标题已经存在，请另写标题！"});
    EXPECT_EQ(ed.update("收获", "新文").messages, QStringList{"更新成功！！！"}); // its own title
    EXPECT_EQ(StatementLibrary(Writer::Summary, lib.folder.path()).find(Stage::Start, "收获"), "新文");

    // The middle library's titles are longer.
    ASSERT_TRUE(ed.selectLibrary("中段语句"));
    ed.selectType("综合型");
    EXPECT_TRUE(ed.add("综合型", long31, "文"));
    EXPECT_EQ(ed.add("综合型", QString(51, u'长'), "文").messages, QStringList{"标题太长，不要超过50个字！"});
}

TEST(StatementHeading, DropsTheNumberAndTheBanksTypeLabelOnly) {
    const std::pair<const char*, const char*> cases[] = {
        {"综合·不足之处", "不足之处"},
        {"一、思想教育", "思想教育"},
        {"十二、总结", "总结"},
        {"3．复习", "复习"},
        {"（二）家访", "家访"},
        {"二、详述·教学工作", "教学工作"},
        {"鲁迅·故乡", "鲁迅·故乡"},
        {"一、", "一、"},
        {"综合·", "综合·"},
        {" 班级管理 ", "班级管理"},
        {"一二九运动", "一二九运动"},
    };
    for (const auto& [title, heading] : cases)
        EXPECT_EQ(statementHeading(QString::fromUtf8(title)), QString::fromUtf8(heading)) << title;
}
