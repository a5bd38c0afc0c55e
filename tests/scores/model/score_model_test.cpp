#include "ScoresFixture.h"

#include <QSqlDatabase>
#include <QSqlQuery>

using scores::Outcome;
namespace msg = scores::msg;

// ---------------------------------------------------------------- settings

TEST_F(ScoresFixture, NewClassLoadsTemplateSettingsAndAnEmptyRoster) {
    openClass();
    const auto& s = model.classData();
    const auto& v = model.viewState();
    EXPECT_TRUE(cls.scoresOpen());
    EXPECT_EQ(s.subjectCount, 0);
    EXPECT_EQ(v.subjectListItems, QStringList(13, QStringLiteral("---")));
    EXPECT_EQ(s.levelCount, 6);
    EXPECT_EQ(v.levelComboItems,
              (QStringList{"不及格", "及格", "中等", "良好", "优秀", "满分", "---", "---", "---"}));
    EXPECT_EQ(s.levelStarts[1], QStringLiteral("60"));
    EXPECT_EQ(v.gradeStartText, QStringLiteral("0"));
    EXPECT_EQ(s.totalTitle, QStringLiteral("综合分"));
    EXPECT_EQ(s.pointWeights[6], QStringLiteral("100")); // the average's weight sits after the levels
    EXPECT_EQ(s.bandInterval, 10);
    EXPECT_EQ(s.pageTwips[1], qRound(20 * 56.7));
    EXPECT_EQ(v.printTitle, QStringLiteral("初一1班成绩表"));

    // The roster view: heading only, no students.
    EXPECT_EQ(model.scoreGrid().rows(), 25);
    EXPECT_EQ(model.scoreGrid().cols(), 3);
    EXPECT_EQ(model.scoreGrid().text(0, 2), QStringLiteral("学号"));
    EXPECT_EQ(model.statusPanel(0), QStringLiteral("初一1班"));
    EXPECT_EQ(model.statusPanel(1), QStringLiteral("当前第 1 位"));
    EXPECT_EQ(model.statusPanel(2), QStringLiteral("共 0 位学生"));
    EXPECT_EQ(s.rowCount, 1);
}

TEST_F(ScoresFixture, LoadSettingsDoesNothingWithoutAnOpenClass) {
    model.LoadSettings();
    EXPECT_EQ(model.classData().levelCount, 0);
    EXPECT_TRUE(model.viewState().subjectListItems.isEmpty());
}

// ---------------------------------------------------------------- headings and fills

TEST_F(ScoresFixture, ScoreTableHeadingLaysOutSubjectsTotalAndAverage) {
    openClass();
    addSubjects({"语文", "数学", "英语"});
    model.ScoreTableHeading();
    const shell::Grid& g = model.scoreGrid();
    EXPECT_EQ(g.rows(), 25);
    EXPECT_EQ(g.cols(), 8);
    QStringList heading;
    for (int c = 0; c < g.cols(); ++c)
        heading << g.text(0, c);
    EXPECT_EQ(heading, (QStringList{"", "姓名", "学号", "语文", "数学", "英语", "综合分", "平均"}));
    EXPECT_EQ(g.colWidth(0), 420);
    EXPECT_EQ(g.colWidth(1), 950);
    EXPECT_EQ(g.colWidth(2), shell::Grid::DefaultColWidth);
    EXPECT_EQ(g.colWidth(6), 800);
    EXPECT_EQ(g.colWidth(7), scores::kAverageWidth);
    EXPECT_EQ(g.rowHeight(24), 320);
    EXPECT_EQ(model.viewState().entrySubjectItems, (QStringList{"语文", "数学", "英语"}));
    EXPECT_EQ(model.viewState().sortKeyItems, (QStringList{"语文", "数学", "英语", "综合分", "平均"}));

    model.SpareGridHeading();
    EXPECT_EQ(model.spareGrid().rows(), 3);
    EXPECT_EQ(model.spareGrid().text(0, 6), QStringLiteral("综合分"));
    EXPECT_EQ(model.viewState().filterKeyItems.size(), 5);

    model.FilterHeading();
    EXPECT_EQ(model.scoreGrid().rows(), 2);
    EXPECT_EQ(model.scoreGrid().cols(), 8);
    EXPECT_EQ(model.scoreGrid().colWidth(2), 950);
}

TEST_F(ScoresFixture, HeadingWithoutSubjectsKeepsEighteenColumns) {
    model.ScoreTableHeading(); // no class: name and number only
    EXPECT_EQ(model.scoreGrid().cols(), 18);
    EXPECT_EQ(model.scoreGrid().text(0, 3), QString());
    openClass();
    model.ScoreTableHeading();
    EXPECT_EQ(model.scoreGrid().cols(), 18);
    EXPECT_EQ(model.scoreGrid().text(0, 3), QStringLiteral("综合分"));
    EXPECT_EQ(model.scoreGrid().text(0, 4), QStringLiteral("平均"));
}

TEST_F(ScoresFixture, WeightedTotalsAndAveragesAsTheGridShowsThem) {
    struct Case {
        const char* what;
        QStringList weights, scores;
        QString total, average;
    };
    const Case cases[] = {
        {"plain sum", {"100", "100", "100"}, {"85", "90", "78"}, "253", "84.3333333333333"},
        {"weights 50 and 150", {"50", "150"}, {"80", "60"}, "130", "65"},
        {"weight 0 leaves a subject out, the average still divides by n",
         {"100", "0"},
         {"80", "70"},
         "80",
         "40"},
        // Each term is rounded to four places before it is added: 3 x 0.3333.
        {"rounded after each step", {"33.3333", "33.3333", "33.3333"}, {"1", "1", "1"}, "0.9999", "0.3333"},
        {"decimal scores", {"100", "100"}, {"89.5", "70.25"}, "159.75", "79.875"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        testing_support::DataFolder own;
        classes::ClassState st;
        scores::ScoreModel m(st);
        ASSERT_TRUE(classes::ClassFiles::create(QStringLiteral("c"), false));
        m.classOpened(QStringLiteral("c"));
        for (int k = 0; k < c.weights.size(); ++k)
            ASSERT_TRUE(m.addSubject(QStringLiteral("科%1").arg(k), "100").ok);
        ASSERT_TRUE(m.addStudent(QStringLiteral("张三"), QStringLiteral("1")).ok);
        {
            auto rs = store::Recordset::OpenTable(own.file(store::kClassDb), QStringLiteral("c"));
            for (rs->MoveFirst(); !rs->isEOF(); rs->MoveNext()) {
                const QString number = rs->text(QStringLiteral("编号"));
                rs->Edit();
                for (int k = 0; k < c.weights.size(); ++k) {
                    if (number == QStringLiteral("listKM%1").arg(k))
                        rs->SetField(QStringLiteral("js2"), c.weights[k]);
                    if (number == u"1") rs->SetField(QStringLiteral("js%1").arg(k), c.scores[k]);
                }
                ASSERT_TRUE(rs->Update());
            }
        }
        m.LoadSettings();
        m.ShowScoreTable();
        const int n = int(c.weights.size());
        EXPECT_EQ(m.scoreGrid().text(1, n + 3), c.total);
        EXPECT_EQ(m.scoreGrid().text(1, n + 4), c.average);
        EXPECT_EQ(m.scoreGrid().text(1, 3), c.scores[0]);
    }
}

TEST_F(ScoresFixture, StudentsWithoutSubjectsHaveTotalZeroAndNoAverage) {
    openClass();
    ASSERT_TRUE(model.addBatch(QStringLiteral("1"), QStringLiteral("2")).ok);
    model.ShowScoreTable();
    EXPECT_EQ(model.scoreGrid().text(1, 3), QStringLiteral("0"));
    EXPECT_EQ(model.scoreGrid().text(1, 4), QString()); // no division by zero, no nan
    EXPECT_EQ(model.classData().rowCount, 3);
}

TEST_F(ScoresFixture, FillsGrowPastTwentyFourRowsAndSpareCountsStudents) {
    openClass();
    addSubjects({"语文"});
    ASSERT_TRUE(model.addBatch(QStringLiteral("1"), QStringLiteral("30")).ok);
    model.ShowScoreTable();
    EXPECT_EQ(model.scoreGrid().rows(), 31);
    EXPECT_EQ(model.scoreGrid().rowHeight(30), 320);
    EXPECT_EQ(model.scoreGrid().text(30, 2), QStringLiteral("30"));
    EXPECT_EQ(model.classData().rowCount, 31);
    model.SpareGridHeading();
    model.FillSpareGrid();
    EXPECT_EQ(model.spareGrid().rows(), 31);
    EXPECT_EQ(model.classData().rowCount, 30);
}

TEST_F(ScoresFixture, EmptyClassScoreTableKeepsTwentyFourEmptyRows) {
    openClass();
    model.ShowScoreTable();
    EXPECT_EQ(model.scoreGrid().rows(), 25);
    EXPECT_EQ(model.classData().rowCount, 1);
    model.MoveCurrent(1);
    EXPECT_FALSE(model.viewState().pageEnabled[1]);
    EXPECT_FALSE(model.viewState().pageEnabled[3]);
}

// ---------------------------------------------------------------- position

TEST_F(ScoresFixture, MoveCurrentAndGridClickFollowTheirRules) {
    openClass();
    addSubjects({"语文", "数学"});
    ASSERT_TRUE(model.addBatch(QStringLiteral("1"), QStringLiteral("3")).ok);
    model.ShowScoreTable(); // rowCount 4
    model.MoveCurrent(1);
    EXPECT_EQ(model.viewState().currentRow, 2);
    EXPECT_EQ(model.statusPanel(1), QStringLiteral("当前第 2 位"));
    EXPECT_TRUE(model.viewState().pageEnabled[0]);
    EXPECT_TRUE(model.viewState().pageEnabled[3]);
    model.MoveCurrent(3);
    EXPECT_EQ(model.viewState().currentRow, 3);
    EXPECT_FALSE(model.viewState().pageEnabled[1]);
    EXPECT_FALSE(model.viewState().pageEnabled[3]);
    EXPECT_EQ(model.currentStudentText(false), QStringLiteral("3"));
    model.MoveCurrent(2);
    model.MoveCurrent(0);
    EXPECT_EQ(model.viewState().currentRow, 1);
    EXPECT_FALSE(model.viewState().pageEnabled[0]);

    // A click on the last student makes the one before it current while the
    // status shows the clicked row; "下一个" then reaches the last student.
    auto click = model.gridClick(3, 4);
    EXPECT_EQ(model.viewState().currentRow, 2);
    EXPECT_EQ(model.statusPanel(1), QStringLiteral("当前第 3 位"));
    EXPECT_TRUE(click.subjectColumn);
    EXPECT_EQ(click.subjectText, QStringLiteral("数学"));
    EXPECT_EQ(model.viewState().entrySubject, 1);
    model.MoveCurrent(1);
    EXPECT_EQ(model.viewState().currentRow, 3);

    click = model.gridClick(20, 5); // below the students, the total column
    EXPECT_EQ(model.viewState().currentRow, 2);
    EXPECT_FALSE(click.subjectColumn);
    EXPECT_EQ(click.subjectText, QString());
    EXPECT_EQ(model.viewState().entrySubject, 1); // kept
}

// The model reuses its last read of the class table only while nothing has
// changed: writes by other cursors, by another connection, and edits through
// editClass() that were rolled back all show in the next fill.
TEST_F(ScoresFixture, FillsSeeEveryChangeToTheTable) {
    openClass();
    addSubjects({"语文"});
    ASSERT_TRUE(model.addStudent("张三", "1").ok);
    model.ShowScoreTable();
    EXPECT_EQ(model.scoreGrid().text(1, 3), QStringLiteral("0"));

    setField("1", "js0", "70"); // another cursor on the same file
    model.FillScoreGrid();
    EXPECT_EQ(model.scoreGrid().text(1, 3), QStringLiteral("70"));

    {
        QSqlDatabase other =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("other-writer"));
        other.setDatabaseName(dbPath());
        ASSERT_TRUE(other.open());
        QSqlQuery q(other);
        ASSERT_TRUE(q.exec(QStringLiteral("UPDATE \"初一1班\" SET js0 = 810000 WHERE \"编号\" = '1'")));
        other.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("other-writer"));
    model.FillScoreGrid();
    EXPECT_EQ(model.scoreGrid().text(1, 3), QStringLiteral("81"));

    // An edit that writes through the model's cursor, then rolls back and
    // reports the failure.
    const scores::Outcome edited = model.editClass([](store::Recordset& rs) {
        store::Database db = rs.database();
        EXPECT_TRUE(db.beginTransaction());
        for (; !rs.isEOF(); rs.MoveNext())
            if (rs.text(QStringLiteral("编号")) == u"1") {
                rs.Edit();
                rs.SetField(QStringLiteral("js0"), QStringLiteral("99"));
                EXPECT_TRUE(rs.Update());
            }
        EXPECT_TRUE(db.rollback());
        return scores::Outcome::fail(scores::Reason::Failed);
    });
    ASSERT_FALSE(edited.ok);
    model.FillScoreGrid();
    EXPECT_EQ(model.scoreGrid().text(1, 3), QStringLiteral("81"));
}
