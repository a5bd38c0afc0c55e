#include "WriterFixture.h"
#include "compose/ui/frmKaiXueJiHua.h"
#include "shell/docs/Article.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTextDocument>

using compose::Stage;
using compose::Writer;

namespace {
QString articleText(compose::WriterWindow* w) {
    return w->article().text();
}
} // namespace

TEST_F(WriterTest, PlanProseFlowComposesOpeningMiddlesAndEnding) {
    add(Writer::Plan, Stage::Start, "倡议型", "开头O", "O");
    add(Writer::Plan, Stage::Start, "详述型", "别的类型", "X");
    add(Writer::Plan, Stage::Middle, "1", "T1", "M1");
    add(Writer::Plan, Stage::Middle, "1", "T2", "M2");
    add(Writer::Plan, Stage::Middle, "2", "纲要", "不在散文里");
    add(Writer::Plan, Stage::End, "1", "结尾E", "E");
    auto* w = open("frmKaiXueJiHua");
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->windowTitle(), "开学计划高手");
    EXPECT_EQ(w->highlightedStep(), 0);

    // A group node starts nothing.
    clickNode(w, "SanWen0", true);
    EXPECT_FALSE(list(w, 0)->isVisible());
    clickNode(w, "swCy1", true);
    EXPECT_EQ(items(w, 0), QStringList{"开头O"});
    EXPECT_EQ(child<QLabel>(w, "Label1")->text(), "倡议型");
    EXPECT_FALSE(child<shell::TreeView>(w, "tvwMode")->isVisible());
    EXPECT_FALSE(button(w, 1)->isEnabled());
    EXPECT_EQ(w->highlightedStep(), 1);

    // A click previews and enables "进入中段", which takes the opening.
    w->article().replaceAll("老的文字");
    pickItem(w, 0, "开头O", false);
    auto* preview = shell::Windows::instance().find("frmViewText");
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(child<QPlainTextEdit>(preview, "txtViewText")->toPlainText(), "O");
    ASSERT_TRUE(button(w, 1)->isEnabled());
    button(w, 1)->click();
    EXPECT_EQ(articleText(w), "O");
    EXPECT_EQ(shell::Windows::instance().find("frmViewText"), nullptr);
    // The replaced text is one undo away.
    w->article().document()->undo();
    EXPECT_EQ(articleText(w), "老的文字");
    w->article().document()->redo();
    EXPECT_EQ(articleText(w), "O");

    EXPECT_EQ(items(w, 1), (QStringList{"T1", "T2"}));
    pickItem(w, 1, "T1", true);
    pickItem(w, 1, "T2", true);
    EXPECT_TRUE(button(w, 3)->isEnabled());
    button(w, 3)->click();
    EXPECT_EQ(w->highlightedStep(), 3);
    EXPECT_EQ(items(w, 2), QStringList{"结尾E"});
    pickItem(w, 2, "结尾E", true);
    EXPECT_EQ(articleText(w), "O\n一、T1\nM1\n二、T2\nM2\nE");
    EXPECT_EQ(w->highlightedStep(), 4);
    EXPECT_TRUE(child<QLabel>(w, "imgJH")->isVisible());
    EXPECT_TRUE(shell::MessageBox::takeShown().isEmpty());

    // Step 0 brings the tree back and keeps the article.
    QTest::mouseClick(child<QLabel>(w, "labGCtext(0)"), Qt::LeftButton);
    EXPECT_TRUE(child<shell::TreeView>(w, "tvwMode")->isVisible());
    EXPECT_FALSE(child<QLabel>(w, "imgJH")->isVisible());
    EXPECT_EQ(articleText(w), "O\n一、T1\nM1\n二、T2\nM2\nE");
    // Steps 1 to 3 do nothing.
    QTest::mouseClick(child<QLabel>(w, "imgViewGC(2)"), Qt::LeftButton);
    EXPECT_EQ(w->highlightedStep(), 0);
}

// The starter bank's prose statements, picked out of their order: the
// article numbers them 一、二、三 as they stand.
TEST_F(WriterTest, PlanNumbersItsSectionsInOrderWhateverIsPicked) {
    addStarter(Writer::Plan, Stage::Start);
    addStarter(Writer::Plan, Stage::Middle);
    auto* w = open("frmKaiXueJiHua");
    ASSERT_NE(w, nullptr);
    clickNode(w, "swXs1", true);
    const QStringList openings = items(w, 0);
    ASSERT_FALSE(openings.isEmpty());
    pickItem(w, 0, openings.first(), true);
    const QStringList middles = items(w, 1);
    ASSERT_GE(middles.size(), 5);
    for (int i : {0, 2, 4})
        pickItem(w, 1, middles[i], true);
    EXPECT_EQ(w->article().headings(),
              (QStringList{"一、" + middles[0], "二、" + middles[2], "三、" + middles[4]}));
    const QStringList lines = articleText(w).split(u'\n');
    ASSERT_EQ(lines.size(), 7);
    EXPECT_EQ(lines[1], "一、" + middles[0]);
    EXPECT_EQ(lines[3], "二、" + middles[2]);
    EXPECT_EQ(lines[5], "三、" + middles[4]);
    EXPECT_EQ(lines[6], *w->library().find(Stage::Middle, middles[4]));
}

TEST_F(WriterTest, PlanMonthItemsGoUnderTheirOwnMonth) {
    add(Writer::Plan, Stage::Start, "纲要型", "纲要开头", "开头");
    add(Writer::Plan, Stage::Middle, "2", "一月", "一月要点", 1, 1);
    add(Writer::Plan, Stage::Middle, "2", "十一月", "十一月要点", 11, 9);
    add(Writer::Plan, Stage::Middle, "3", "十一月阐述", "十一月阐述", 11, 10);
    auto* w = open("frmKaiXueJiHua");
    clickNode(w, "gyMouth2", true);
    pickItem(w, 0, "纲要开头", true);
    EXPECT_TRUE(child<QWidget>(w, "fraJhMidSelect(0)")->isVisible());
    EXPECT_FALSE(child<QWidget>(w, "fraJhMidSelect(1)")->isVisible());
    EXPECT_TRUE(button(w, 6)->isVisible());
    EXPECT_EQ(items(w, 3), (QStringList{"一月", "十一月"})); // the kind's titles before a pick

    child<QRadioButton>(w, "optMouth(11)")->click();
    EXPECT_EQ(items(w, 3), (QStringList{"十一月要点", "十一月阐述"}));
    pickItem(w, 3, "十一月要点", true);
    pickItem(w, 3, "十一月阐述", true);
    child<QRadioButton>(w, "optMouth(1)")->click();
    pickItem(w, 3, "一月要点", true);
    EXPECT_EQ(articleText(w), "开头\n月份：11\n*十一月阐述\n*十一月要点\n月份：1\n*一月要点");

    // The ending keeps the panel; "返回中段" returns to the month list.
    button(w, 7)->click();
    EXPECT_TRUE(child<QWidget>(w, "fraJhMidSelect(0)")->isVisible());
    button(w, 4)->click();
    EXPECT_TRUE(list(w, 3)->isVisible());
    EXPECT_FALSE(list(w, 1)->isVisible());
}

TEST_F(WriterTest, PlanWeekScheduleAndItems) {
    add(Writer::Plan, Stage::Start, "阐述型", "阐述开头", "开头");
    add(Writer::Plan, Stage::Middle, "3", "第三周", "三周事项", {}, 3);
    auto* w = open("frmKaiXueJiHua");
    clickNode(w, "csWeek3", true);
    pickItem(w, 0, "阐述开头", true);
    ASSERT_TRUE(child<QWidget>(w, "fraJhMidSelect(1)")->isVisible());
    EXPECT_FALSE(child<QRadioButton>(w, "optWeek(1)")->isVisible());

    // A date box that is not a date: told, nothing appended.
    child<QLineEdit>(w, "Text2")->setText("六月底");
    child<QPushButton>(w, "Command1")->click();
    EXPECT_EQ(shell::MessageBox::takeShown(), QStringList{"期末时间“六月底”不是日期，请重写！"});
    EXPECT_EQ(articleText(w), "开头");

    child<QLineEdit>(w, "Text2")->setText("2003-6-29");
    child<QPushButton>(w, "Command1")->click();
    for (int n = 1; n <= 28; ++n)
        EXPECT_EQ(child<QRadioButton>(w, QStringLiteral("optWeek(%1)").arg(n))->isVisible(), n <= 21) << n;
    const QString text = articleText(w);
    EXPECT_TRUE(text.startsWith("开头\n具体工作安排如下：\n第1周:2003-2-9----2003-2-15\n"));
    EXPECT_TRUE(text.endsWith("\n第21周:2003-6-29----2003-7-5\n"));

    child<QRadioButton>(w, "optWeek(3)")->click();
    EXPECT_EQ(static_cast<compose::frmKaiXueJiHua*>(w)->headingNumber(), 4);
    EXPECT_EQ(items(w, 4), QStringList{"三周事项"});
    pickItem(w, 4, "三周事项", true);
    EXPECT_TRUE(articleText(w).contains("第3周:2003-2-23----2003-3-1\n*三周事项\n\n第4周:"));

    // A second 确定 appends another schedule.
    child<QPushButton>(w, "Command1")->click();
    EXPECT_EQ(articleText(w).count("具体工作安排如下："), 2);
}

TEST_F(WriterTest, PlanEditorAddsAMonthStatementTheWriterThenLists) {
    auto* w = open("frmKaiXueJiHua");
    action(w, "mWindowAdd")->trigger();
    EXPECT_TRUE(child<QWidget>(w, "fraAddJH")->isVisible());
    EXPECT_FALSE(child<QWidget>(w, "fraJHShengCheng")->isVisible());
    auto* library = child<QComboBox>(w, "cobAddText(0)");
    library->setCurrentIndex(1); // 中段语句
    Q_EMIT library->activated(1);
    auto* type = child<QComboBox>(w, "cobAddText(1)");
    EXPECT_EQ(type->currentText(), "阐述型");
    EXPECT_TRUE(child<QLineEdit>(w, "txtMW(0)")->isVisible());

    // An out-of-range month is reset to 1 with the message.
    child<QLineEdit>(w, "txtMW(0)")->setText("13");
    EXPECT_EQ(shell::MessageBox::takeShown(), QStringList{"输入数字错误，请重写！"});
    EXPECT_EQ(child<QLineEdit>(w, "txtMW(0)")->text(), "1");
    type->setCurrentIndex(1); // 纲要型
    Q_EMIT type->activated(1);
    child<QLineEdit>(w, "txtMW(0)")->setText("9");
    child<QLineEdit>(w, "txtMW(1)")->setText("3");
    child<QLineEdit>(w, "txtMW(2)")->setText("九月开学");
    child<QTextEdit>(w, "txtAddJH")->setPlainText("做好开学准备。");
    child<QPushButton>(w, "cmdAddText(1)")->click();
    EXPECT_EQ(shell::MessageBox::takeShown(), QStringList{"该段语句已经成功添加！"});
    const auto* grid = child<shell::GridView>(w, "msGridJH");
    EXPECT_EQ(grid->grid().text(1, 1), "1");

    // "更新" before a pick.
    child<QPushButton>(w, "cmdAddText(2)")->click();
    EXPECT_EQ(shell::MessageBox::takeShown(), QStringList{"该语句更新失败！"});

    if (const QString shots = qEnvironmentVariable("VELTRANO_SHOT_DIR"); !shots.isEmpty())
        w->grab().save(shots + "/PlanEditorPanel.png");
    child<QPushButton>(w, "cmdAddBack")->click();
    EXPECT_TRUE(child<QWidget>(w, "fraJHShengCheng")->isVisible());
    const compose::StatementLibrary lib(Writer::Plan);
    EXPECT_EQ(lib.monthStatements(9), QStringList{"做好开学准备。"});
    EXPECT_EQ(lib.weekStatements(4), QStringList{"做好开学准备。"});
}
