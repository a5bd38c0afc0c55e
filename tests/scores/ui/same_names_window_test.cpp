// Two students named 王伟 in the score window: the by-name combo tells them
// apart, and entering, finding and renumbering act on the one picked.

#include "ScoreWindowFixture.h"
#include "ScoresFixture.h"

#include <QComboBox>
#include <QRadioButton>

namespace msg = scores::msg;

namespace {

class SameNamesWindow : public ScoreWindow {
protected:
    void SetUp() override {
        ScoreWindow::SetUp();
        createClass(QStringLiteral("初二3班"));
        scores::ScoreModel& m = w->model();
        ASSERT_TRUE(m.addSubject(QStringLiteral("语文"), QStringLiteral("100")).ok);
        for (const auto& [name, number] :
             {std::pair{"王伟", "2023101"}, {"李四", "2023201"}, {"王伟", "2023301"}})
            ASSERT_TRUE(m.addStudent(QString::fromUtf8(name), QString::fromUtf8(number)).ok);
        shell::MessageBox::takeShown();
    }
};

} // namespace

TEST_F(SameNamesWindow, EntryByNameWritesTheSecondWangWei) {
    menu("mEditSubject");
    scores::TaskFrame* entry = w->frame(2);
    auto* subject = get<QComboBox>(entry, QStringLiteral("cobKM"));
    auto* student = get<QComboBox>(entry, QStringLiteral("cobXBBH"));
    auto* score = get<QLineEdit>(entry, QStringLiteral("txtStudensCj"));
    subject->setCurrentIndex(0);
    get<QRadioButton>(entry, QStringLiteral("optStdNameNumberSelect(1)"))->click();
    ASSERT_EQ(student->count(), 3);
    EXPECT_EQ(student->itemText(0), QStringLiteral("王伟（2023101）"));
    EXPECT_EQ(student->itemText(2), QStringLiteral("王伟（2023301）"));

    // Picked from the list.
    student->setCurrentIndex(2);
    QTest::keyClicks(score, QStringLiteral("88"));
    QTest::keyClick(score, Qt::Key_Return);
    EXPECT_EQ(shell::MessageBox::takeShown(), QStringList{msg::kScoreStored});
    EXPECT_EQ(cell(1, 3), QStringLiteral("0"));
    EXPECT_EQ(cell(3, 3), QStringLiteral("88"));

    // Picked by a click on the first 王伟's row, then "下一个" twice to the second.
    clickCell(1, 3);
    EXPECT_EQ(student->currentText(), QStringLiteral("王伟（2023101）"));
    score->setText(QStringLiteral("61"));
    QTest::keyClick(score, Qt::Key_Return);
    EXPECT_EQ(cell(1, 3), QStringLiteral("61"));
    EXPECT_EQ(cell(3, 3), QStringLiteral("88"));
    shell::MessageBox::takeShown();
    get<QPushButton>(entry, QStringLiteral("cmdNamePage(3)"))->click();
    get<QPushButton>(entry, QStringLiteral("cmdNamePage(3)"))->click();
    EXPECT_EQ(student->currentText(), QStringLiteral("王伟（2023301）"));
}

TEST_F(SameNamesWindow, FindAndRenumberActOnTheStudentPicked) {
    menu("mDataFind");
    scores::TaskFrame* find = w->frame(3);
    auto* combo = get<QComboBox>(find, QStringLiteral("cobListStdXB"));
    combo->setEditText(QStringLiteral("王伟（2023301）"));
    get<QPushButton>(find, QStringLiteral("optViewPrint(2)"))->click();
    EXPECT_EQ(shell::MessageBox::takeShown(), QStringList());
    EXPECT_EQ(cell(1, 2), QStringLiteral("2023301"));
    ASSERT_EQ(combo->count(), 3);
    EXPECT_EQ(combo->itemText(0), QStringLiteral("王伟（2023101）"));
    // A click on the found row names that student again.
    clickCell(1, 1);
    EXPECT_EQ(combo->currentText(), QStringLiteral("王伟（2023301）"));
    get<QPushButton>(find, QStringLiteral("optViewPrint(0)"))->click();

    menu("mEditStudens");
    scores::TaskFrame* roster = w->frame(1);
    clickCell(3, 1);
    auto* number = get<QLineEdit>(roster, QStringLiteral("txtStdNameNum(1)"));
    EXPECT_EQ(number->text(), QStringLiteral("2023301"));
    number->setText(QStringLiteral("2023302"));
    get<QPushButton>(roster, QStringLiteral("cmdEditStdNameNum(2)"))->click();
    EXPECT_EQ(shell::MessageBox::takeShown(), QStringList{msg::kRenumbered});
    EXPECT_EQ(cell(1, 2), QStringLiteral("2023101"));
    EXPECT_EQ(cell(3, 2), QStringLiteral("2023302"));
}
