#include "ScoreWindowFixture.h"
#include "ScoresFixture.h"
#include "WidgetSupport.h"

#include "scores/model/ScoreAnalysis.h"
#include "scores/ui/frames/Frame4Levels.h"
#include "scores/ui/frames/TaskFrame.h"
#include "scores/ui/frmStudenCJ.h"
#include "shell/Windows.h"
#include "shell/ui/GridView.h"
#include "shell/ui/MessageBox.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

using testing_support::child;
namespace msg = scores::msg;

namespace {

// The program's score window with a class of three subjects and four
// students, driven through its menus and the frames' controls.
class AnalysisWindow : public ScoreWindow {
protected:
    void SetUp() override {
        ScoreWindow::SetUp();
        const QString name = QStringLiteral("初二3班");
        ASSERT_TRUE(classes::ClassFiles::create(name, false));
        w->classHandedBack(name, true);
        scores::ScoreModel& m = w->model();
        for (const char* s : {"语文", "数学", "英语"})
            ASSERT_TRUE(m.addSubject(QString::fromUtf8(s), "100").ok);
        auto rs = store::Recordset::OpenTable(folder.file(store::kClassDb), name);
        const QList<QStringList> rows{{"甲", "1", "100", "95", "90"},
                                      {"乙", "2", "50", "40", "30"},
                                      {"丙", "3", "70", "59.5", "99.5"},
                                      {"丁", "4", "60", "60", "60"}};
        for (const QStringList& r : rows) {
            rs->AddNew();
            rs->SetField(QStringLiteral("姓名"), r[0]);
            rs->SetField(QStringLiteral("编号"), r[1]);
            for (int k = 0; k < 3; ++k)
                rs->SetField(QStringLiteral("js%1").arg(k), r[2 + k]);
            ASSERT_TRUE(rs->Update());
        }
        m.LoadRoster();
        shell::MessageBox::takeShown();
    }
};

} // namespace

TEST_F(AnalysisWindow, GradeLevelFrameStoresAndEmptiesARejectedStart) {
    w->show();
    menu("mSetDJ");
    ASSERT_TRUE(frameShown(4));
    EXPECT_EQ(w->frame(4)->title(), QString());
    auto* title = get<QComboBox>(QStringLiteral("cobGradeTitle"));
    auto* start = get<QLineEdit>(QStringLiteral("txtGradeStart"));
    EXPECT_EQ(title->count(), 9);
    EXPECT_EQ(title->currentText(), QStringLiteral("不及格"));
    EXPECT_EQ(start->text(), QStringLiteral("0"));

    // A rejected key: the message, the key kept, the box emptied at the tenth tick.
    auto* timer = w->findChild<QTimer*>(QStringLiteral("timReText"));
    ASSERT_TRUE(timer);
    start->clear();
    start->setFocus();
    QTest::keyClicks(start, QStringLiteral("8a"));
    EXPECT_EQ(shell::MessageBox::takeShown(), QStringList{msg::kNumberOnly});
    EXPECT_EQ(start->text(), QStringLiteral("8a"));
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), 10);
    ASSERT_TRUE(testing_support::waitFor([&] { return !timer->isActive(); }, 2000));
    EXPECT_EQ(static_cast<scores::Frame4Levels*>(w->frame(4))->ticks(), 10);
    EXPECT_EQ(start->text(), QString());

    // Choosing the third level and renaming it.
    Q_EMIT title->activated(2);
    EXPECT_EQ(w->model().viewState().chosenLevel, 2);
    EXPECT_EQ(start->text(), QStringLiteral("70"));
    title->setEditText(QStringLiteral(" 合格 "));
    start->setText(QStringLiteral("65"));
    get<QPushButton>(QStringLiteral("cmdGrade(1)"))->click();
    EXPECT_EQ(shell::MessageBox::takeShown(), QStringList());
    EXPECT_EQ(w->model().classData().levelTitles[2], QStringLiteral("合格"));
    EXPECT_EQ(title->itemText(2), QStringLiteral("合格"));
    EXPECT_TRUE(frameShown(4)); // the frame stays for the next level

    Q_EMIT title->activated(1);
    start->setText(QStringLiteral("6x"));
    get<QPushButton>(QStringLiteral("cmdGrade(1)"))->click();
    EXPECT_EQ(shell::MessageBox::takeShown(), QStringList{msg::kLevelWrongType});
    get<QPushButton>(QStringLiteral("cmdGrade(0)"))->click();
    EXPECT_FALSE(frameShown(4));
}

TEST_F(AnalysisWindow, FormulaFramesSaveAndTheReportsShow) {
    menu("mSetStudens");
    ASSERT_TRUE(frameShown(5));
    EXPECT_EQ(get<QCheckBox>(QStringLiteral("cekJMFS(1)"))->text(), QStringLiteral("数学卷面分 X"));
    EXPECT_FALSE(get<QCheckBox>(QStringLiteral("cekJMFS(2)"))->isHidden());
    EXPECT_TRUE(get<QCheckBox>(QStringLiteral("cekJMFS(3)"))->isHidden());
    EXPECT_EQ(get<QComboBox>(QStringLiteral("cobZHF"))->currentText(), QStringLiteral("综合分"));
    get<QLineEdit>(QStringLiteral("txtBFS(2)"))->setText(QStringLiteral("5o"));
    get<QPushButton>(QStringLiteral("cmdStdCJSum(1)"))->click();
    EXPECT_EQ(shell::MessageBox::takeShown(), QStringList{msg::kNumberOnly});
    EXPECT_TRUE(frameShown(5));
    get<QLineEdit>(QStringLiteral("txtBFS(2)"))->setText(QStringLiteral("50"));
    get<QComboBox>(QStringLiteral("cobZHF"))->setEditText(QStringLiteral("期评"));
    get<QPushButton>(QStringLiteral("cmdStdCJSum(1)"))->click();
    EXPECT_FALSE(frameShown(5));
    menu("mIamgeStd");
    EXPECT_EQ(cell(0, 6), QStringLiteral("期评"));
    EXPECT_EQ(cell(1, 6), QStringLiteral("240")); // 100 + 95 + 90 / 2

    menu("mSetDKJSGS");
    ASSERT_TRUE(frameShown(6));
    // Six template levels, then the average; rows 7 and 8 hidden, 9 shown.
    EXPECT_EQ(get<QCheckBox>(QStringLiteral("cekDKGL(1)"))->text(), QStringLiteral("及格率 X"));
    EXPECT_EQ(get<QCheckBox>(QStringLiteral("cekDKGL(6)"))->text(), QStringLiteral("平均分 X"));
    EXPECT_TRUE(get<QCheckBox>(QStringLiteral("cekDKGL(6)"))->isChecked());
    EXPECT_TRUE(get<QCheckBox>(QStringLiteral("cekDKGL(7)"))->isHidden());
    EXPECT_FALSE(get<QCheckBox>(QStringLiteral("cekDKGL(9)"))->isHidden());
    get<QCheckBox>(QStringLiteral("cekDKGL(1)"))->setChecked(true);
    get<QLineEdit>(QStringLiteral("txtSubjectBFS(1)"))->setText(QStringLiteral("100"));
    get<QCheckBox>(QStringLiteral("cekDKGL(9)"))->setChecked(true);
    get<QLineEdit>(QStringLiteral("txtSubjectBFS(9)"))->setText(QStringLiteral("5"));
    get<QPushButton>(QStringLiteral("cmdSubSum(1)"))->click();
    EXPECT_EQ(shell::MessageBox::takeShown(), QStringList());
    EXPECT_FALSE(frameShown(6));

    menu("mIamgeGKBB");
    EXPECT_EQ(w->model().viewState().printTitle, QStringLiteral("初二3班各科单科积分表"));
    EXPECT_EQ(cell(0, 9), QStringLiteral("单科积分"));
    // 语文: average 70, pass rate 75%: (70 + 75) x 4 / 5.
    EXPECT_EQ(cell(1, 9), QStringLiteral("116"));
    EXPECT_EQ(cell(1, 4), QStringLiteral("80"));

    menu("mSetFSD");
    ASSERT_TRUE(frameShown(7));
    auto* box = get<QLineEdit>(QStringLiteral("txtSetFSD"));
    EXPECT_EQ(box->text(), QStringLiteral("10"));
    box->setText(QStringLiteral("25"));
    get<QPushButton>(QStringLiteral("optSetFSD(1)"))->click();
    EXPECT_FALSE(frameShown(7));
    menu("mIamgeGKFSD");
    EXPECT_EQ(cell(0, 0), QStringLiteral("分数段"));
    EXPECT_EQ(cell(2, 0), QStringLiteral("0-24.9"));
    EXPECT_EQ(cell(6, 0), QStringLiteral("100-124.9"));
    EXPECT_EQ(cell(6, 1), QStringLiteral("1"));
    EXPECT_EQ(w->model().viewState().printTitle, QStringLiteral("初二3班成绩分数段"));
}

TEST_F(AnalysisWindow, FilterFrameRunsTopNAndColouredFilters) {
    menu("mDataFilter");
    ASSERT_TRUE(frameShown(8));
    EXPECT_EQ(w->frame(8)->title(), QStringLiteral("高级筛选"));
    EXPECT_EQ(w->grid()->grid().rows(), 2);
    EXPECT_EQ(w->model().classData().rowCount, 4);
    auto* subject = get<QComboBox>(QStringLiteral("cobSetFilter"));
    auto* number = get<QLineEdit>(QStringLiteral("txtSetFilter"));
    auto* top = get<QRadioButton>(QStringLiteral("optSetFilter(0)"));
    EXPECT_TRUE(top->isChecked());
    EXPECT_EQ(subject->count(), 5);
    EXPECT_EQ(get<QLabel>(QStringLiteral("labSetFilter"))->text(), QStringLiteral("前      名"));

    number->setFocus();
    QTest::keyClicks(number, QStringLiteral("5"));
    EXPECT_EQ(shell::MessageBox::takeShown(), QStringList{msg::kFilterTooMany});
    EXPECT_EQ(number->text(), QString());
    QTest::keyClicks(number, QStringLiteral("2"));
    subject->setCurrentIndex(1);
    Q_EMIT subject->activated(1);
    EXPECT_EQ(top->text(), QStringLiteral("数学前2名"));
    get<QPushButton>(QStringLiteral("cmdSetFilterYesNo(1)"))->click();
    EXPECT_FALSE(frameShown(8));
    EXPECT_EQ(names(), (QStringList{"甲", "丁"}));

    menu("mDataFilter");
    get<QRadioButton>(QStringLiteral("optSetFilter(1)"))->setChecked(true);
    EXPECT_EQ(get<QLabel>(QStringLiteral("labSetFilter"))->text(), QStringLiteral(">=      分"));
    get<QRadioButton>(QStringLiteral("optSetFilter(4)"))->setChecked(true);
    get<QPushButton>(QStringLiteral("cmdSetFilterYesNo(1)"))->click();
    EXPECT_EQ(names(), (QStringList{"乙", "丙"}));
    EXPECT_EQ(w->statusPanel(0)->text(), QStringLiteral("有一科或多科不及格学生 2 位"));
    const QModelIndex failing = w->grid()->model()->index(2, 4); // 丙's 59.5 in 数学
    EXPECT_EQ(cell(2, 4), QStringLiteral("59.5"));
    EXPECT_EQ(failing.data(Qt::ForegroundRole).value<QBrush>().color(), QColor(0xFF, 0, 0));
}

TEST_F(AnalysisWindow, SortEntriesAndAdvancedSort) {
    menu("mDataSortDown");
    EXPECT_EQ(names(), (QStringList{"甲", "丙", "丁", "乙"}));
    menu("mDataSortUp");
    EXPECT_EQ(names(), (QStringList{"乙", "丁", "丙", "甲"}));

    menu("mDataSortHigh");
    ASSERT_TRUE(frameShown(9));
    EXPECT_EQ(names(), (QStringList{"甲", "乙", "丙", "丁"})); // the table, unsorted
    EXPECT_TRUE(get<QRadioButton>(QStringLiteral("optSetSort(0)"))->isChecked());
    w->model().setKeyColumn(0); // nothing chosen yet in this window
    get<QPushButton>(QStringLiteral("cmdSetSortYesNo(1)"))->click();
    EXPECT_EQ(shell::MessageBox::takeShown(), QStringList{msg::kNoSortKey});
    EXPECT_TRUE(frameShown(9));

    auto* key = get<QComboBox>(QStringLiteral("cobSetSort"));
    EXPECT_EQ(key->count(), 5);
    key->setCurrentIndex(2);
    Q_EMIT key->activated(2); // 英语
    get<QRadioButton>(QStringLiteral("optSetSort(1)"))->setChecked(true);
    get<QPushButton>(QStringLiteral("cmdSetSortYesNo(1)"))->click();
    EXPECT_FALSE(frameShown(9));
    EXPECT_EQ(names(), (QStringList{"乙", "丁", "甲", "丙"}));
}

TEST_F(AnalysisWindow, FindFrameShowsGradesTotalAndAverage) {
    menu("mDataFind");
    ASSERT_TRUE(frameShown(3));
    auto* combo = get<QComboBox>(QStringLiteral("cobListStdXB"));
    EXPECT_EQ(combo->count(), 4);
    EXPECT_EQ(combo->currentText(), QStringLiteral("4"));
    get<QCheckBox>(QStringLiteral("cekViewStd(0)"))->setChecked(true);
    get<QCheckBox>(QStringLiteral("cekViewStd(1)"))->setChecked(true);
    get<QCheckBox>(QStringLiteral("cekViewStd(2)"))->setChecked(true);
    combo->setEditText(QStringLiteral("丙"));
    get<QPushButton>(QStringLiteral("optViewPrint(2)"))->click();
    EXPECT_EQ(shell::MessageBox::takeShown(), QStringList());
    EXPECT_EQ(cell(1, 1), QStringLiteral("丙"));
    EXPECT_EQ(cell(1, 3), QStringLiteral("中等"));
    EXPECT_EQ(cell(1, 4), QStringLiteral("不及格"));
    EXPECT_EQ(cell(1, 5), QStringLiteral("优秀"));
    EXPECT_EQ(cell(1, 6), QStringLiteral("229"));
    EXPECT_EQ(cell(1, 7), QStringLiteral("76.3333333333333"));
    EXPECT_EQ(combo->itemText(0), QStringLiteral("甲")); // refilled with the names

    combo->setEditText(QStringLiteral("9"));
    get<QPushButton>(QStringLiteral("optViewPrint(1)"))->click();
    EXPECT_EQ(shell::MessageBox::takeShown(), QStringList{msg::kNoSuchNumber});
    get<QPushButton>(QStringLiteral("optViewPrint(0)"))->click();
    EXPECT_FALSE(frameShown(3));
}
