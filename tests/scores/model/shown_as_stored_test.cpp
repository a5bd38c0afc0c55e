// The score grid and the student count show the class as stored after
// anything adds or removes students: an import, the comment writer or
// another program writing the same class.

#include "ScoresFixture.h"
#include "scores/model/ScoreImport.h"

namespace {

class ShownAsStored : public ScoresFixture {
protected:
    void SetUp() override {
        openClass();
        addSubjects({"语文"});
        ASSERT_TRUE(model.addStudent("张三", "1").ok);
    }
    // Another writer of the same class: the comment writer's or another
    // program's model, with its own class state.
    classes::ClassState otherState;
    scores::ScoreModel other{otherState};
    void openOther() { ASSERT_TRUE(other.classOpened(cls.workingClass()).ok); }
};

} // namespace

TEST_F(ShownAsStored, AnImportOf40StudentsIsCountedAtOnce) {
    EXPECT_EQ(model.statusPanel(2), QStringLiteral("共 1 位学生"));
    scores::ImportRequest r;
    r.rows << QStringList{"学号", "姓名", "语文"};
    for (int i = 0; i < 40; ++i)
        r.rows << QStringList{QString::number(100 + i), QStringLiteral("学生%1").arg(i), "80"};
    r.columns = {scores::kImportNumber, scores::kImportName, scores::kImportFirstSubject};
    ASSERT_TRUE(scores::importStudents(model, r).ok);
    EXPECT_EQ(model.statusPanel(2), QStringLiteral("共 41 位学生"));
    EXPECT_EQ(model.scoreGrid().text(41, 1), QStringLiteral("学生39"));
}

TEST_F(ShownAsStored, StudentsAddedOrRemovedElsewhereAreShownOnRefresh) {
    openOther();
    // The roster view: filled again.
    ASSERT_TRUE(other.addBatch("201", "3").ok);
    model.refreshIfChanged();
    EXPECT_EQ(model.statusPanel(2), QStringLiteral("共 4 位学生"));
    EXPECT_EQ(model.scoreGrid().text(4, 2), QStringLiteral("203"));

    // The score table: filled again, scores written elsewhere included.
    model.ShowScoreTable();
    ASSERT_TRUE(other.deleteStudent("201").ok);
    other.chooseEntrySubject(0);
    ASSERT_TRUE(other.storeScore("语文", false, "202", "97.4").ok);
    model.refreshIfChanged();
    EXPECT_EQ(model.statusPanel(2), QStringLiteral("共 3 位学生"));
    EXPECT_EQ(column(2, 3), (QStringList{"1", "202", "203"}));
    EXPECT_EQ(model.scoreGrid().text(2, 3), QStringLiteral("97.4"));

    // An empty filter view stays empty; the count follows the class.
    model.FilterHeading();
    ASSERT_TRUE(other.addStudent("李四", "301").ok);
    model.refreshIfChanged();
    EXPECT_EQ(model.statusPanel(2), QStringLiteral("共 4 位学生"));
    EXPECT_EQ(model.scoreGrid().text(1, 1), QString());

    // Nothing changed: nothing is filled again (a sorted table keeps its order).
    model.ShowScoreTable();
    shell::Grid& g = scores::ScoreModelAccess::scoreGrid(model);
    g.setText(1, 1, QStringLiteral("标记"));
    model.refreshIfChanged();
    EXPECT_EQ(model.scoreGrid().text(1, 1), QStringLiteral("标记"));
}
