#include "AnalysisFixture.h"

using scores::FormulaRow;
namespace msg = scores::msg;

// ---------------------------------------------------------------- weighted total

TEST_F(AnalysisFixture, CompositeFormulaWeightsTheTotalAndKeepsDividingByN) {
    openClass();
    addSubjects({"语文", "数学", "英语"});
    addStudents({{"张三", "1", "80", "70", "90"}});
    const auto form = scores::compositeForm(model.classData());
    EXPECT_EQ(form.captions, (QStringList{"语文卷面分 X", "数学卷面分 X", "英语卷面分 X"}));
    EXPECT_EQ(form.title, QStringLiteral("综合分"));

    ASSERT_TRUE(scores::saveCompositeFormula(model, QStringLiteral(" 期评 "),
                                             {{true, "100"}, {true, "100"}, {true, " 50"}})
                    .ok);
    EXPECT_EQ(model.classData().totalTitle, QStringLiteral("期评"));
    model.ShowScoreTable();
    EXPECT_EQ(gridRow(0).mid(6), (QStringList{"期评", "平均"}));
    EXPECT_EQ(gridRow(1).mid(3), (QStringList{"80", "70", "90", "195", "65"}));

    // Unchecking a subject stores 0 whatever its box holds; the average
    // still divides by the three subjects.
    ASSERT_TRUE(scores::saveCompositeFormula(model, QStringLiteral("总分"),
                                             {{true, "100"}, {false, "abc"}, {true, "100"}})
                    .ok);
    EXPECT_EQ(model.classData().subjectWeights[1].toString(), QStringLiteral("0"));
    model.ShowScoreTable();
    EXPECT_EQ(gridRow(1).mid(6), (QStringList{"170", "56.6666666666667"}));
    EXPECT_FALSE(scores::compositeForm(model.classData()).rows[1].checked);
}

TEST_F(AnalysisFixture, FormulasRefuseNonNumbersAndStoreNothing) {
    openClass();
    addSubjects({"语文", "数学"});
    const QStringList before = snapshot();
    struct Case {
        const char* what;
        std::function<scores::Outcome()> save;
    };
    const Case cases[] = {
        {"composite weight",
         [&] {
             return scores::saveCompositeFormula(model, "总分", {{true, "80"}, {true, "8a"}});
         }},
        {"empty weight",
         [&] {
             return scores::saveCompositeFormula(model, "总分", {{true, ""}, {true, "100"}});
         }},
        {"negative weight",
         [&] {
             return scores::saveCompositeFormula(model, "总分", {{true, "-5"}, {true, "1"}});
         }},
        {"level weight",
         [&] {
             return scores::savePointsFormula(model, {{true, "x"}}, {false, ""});
         }},
        {"expected count",
         [&] {
             return scores::savePointsFormula(model, {{true, "100"}}, {true, "4/0"});
         }},
    };
    for (const Case& c : cases) {
        const scores::Outcome o = c.save();
        EXPECT_FALSE(o.ok) << c.what;
        EXPECT_EQ(o.messages, QStringList{msg::kNumberOnly}) << c.what;
        EXPECT_EQ(snapshot(), before) << c.what;
    }
}

TEST_F(AnalysisFixture, CompositeWeightFollowsItsSubjectAcrossAFreeSlot) {
    openClass();
    addSubjects({"语文", "数学", "英语"});
    ASSERT_TRUE(model.deleteSubject(1, "数学", "100").ok); // slots 0 and 2 remain
    ASSERT_EQ(model.classData().subjectCount, 2);
    ASSERT_TRUE(scores::saveCompositeFormula(model, "总分", {{true, "100"}, {true, "40"}}).ok);
    EXPECT_EQ(model.classData().subjectWeights[0].toString(), QStringLiteral("100"));
    EXPECT_EQ(model.classData().subjectWeights[1].toString(), QStringLiteral("40"));
}

// ---------------------------------------------------------------- per-subject report

class PointsReport : public AnalysisFixture {
protected:
    // 40 students in 语文: average 75.5, 36 at or above 60, 10 at or above 85.
    void SetUp() override {
        openClass();
        addSubjects({"语文"});
        threeLevels();
        QList<QStringList> rows;
        auto add = [&](int count, const QString& score) {
            for (int i = 0; i < count; ++i) {
                const QString number = QString::number(rows.size() + 1);
                rows << QStringList{QStringLiteral("学生") + number, number, score};
            }
        };
        add(10, "95");
        add(4, "40");
        add(24, "73");
        add(2, "79");
        addStudents(rows);
    }
    void formula(const QString& expected, bool participation = true) {
        // Levels 不及格, 及格, 优秀, then the average.
        ASSERT_TRUE(scores::savePointsFormula(model,
                                              {{false, "0"}, {true, "100"}, {true, "100"}, {true, "100"}},
                                              {participation, expected})
                        .ok);
    }
};

TEST_F(PointsReport, WorkedExamplesGive190Point5And152Point4) {
    formula("40");
    scores::ShowSubjectReport(model);
    EXPECT_EQ(gridRow(0),
              (QStringList{"", "科目", "应考人数", "参考人数", "参考率%", "总分", "平均分", "及格人数",
                           "及格率%", "优秀人数", "优秀率%", "单科积分", "", "", "", "", "", ""}));
    EXPECT_EQ(gridRow(1).mid(1, 11),
              (QStringList{"语文", "40", "40", "100", "3020", "75.5", "36", "90", "10", "25", "190.5"}));
    EXPECT_EQ(model.viewState().printTitle, QStringLiteral("初一1班各科单科积分表"));
    const shell::Grid& g = model.scoreGrid();
    EXPECT_EQ(g.rowHeight(0), 600);
    EXPECT_TRUE(g.wordWrap());
    EXPECT_EQ(g.colWidth(11), 1000);
    EXPECT_EQ(g.colWidth(12), 680);

    formula("50");
    scores::ShowSubjectReport(model);
    EXPECT_EQ(cell(1, 4), QStringLiteral("80"));
    EXPECT_EQ(cell(1, 11), QStringLiteral("152.4"));
}

TEST_F(PointsReport, FailingLevelCountsStudentsBelowThePassLine) {
    ASSERT_TRUE(scores::savePointsFormula(model, {{true, "100"}, {false, "0"}, {false, "0"}, {false, "0"}},
                                          {true, "40"})
                    .ok);
    scores::ShowSubjectReport(model);
    // Columns 2 to 4 only; the average's columns stay empty, its value still counts.
    EXPECT_EQ(gridRow(0).mid(1, 9), (QStringList{"科目", "应考人数", "参考人数", "参考率%", "", "",
                                                 "不及格人数", "不及格率%", "单科积分"}));
    EXPECT_EQ(gridRow(1).mid(1, 9), (QStringList{"语文", "40", "40", "100", "", "", "4", "10", "85.5"}));
}

TEST_F(PointsReport, OnlyParticipationGivesTheAverageTimesTheShare) {
    ASSERT_TRUE(scores::savePointsFormula(model, {{false, "0"}, {false, "0"}, {false, "0"}, {false, "0"}},
                                          {true, "80"})
                    .ok);
    scores::ShowSubjectReport(model);
    EXPECT_EQ(cell(0, 7), QStringLiteral("单科积分"));
    EXPECT_EQ(cell(1, 7), QStringLiteral("37.75"));
    EXPECT_EQ(cell(1, 5), QString());
}

TEST_F(PointsReport, DivisionsWithoutAValueLeaveTheCellEmpty) {
    // No expected count: the points divide by 0.
    formula("0", false);
    scores::ShowSubjectReport(model);
    EXPECT_EQ(cell(1, 6), QStringLiteral("75.5"));
    EXPECT_EQ(cell(0, 11), QStringLiteral("单科积分"));
    EXPECT_EQ(cell(1, 11), QString());

    // A class without students: counts 0, no rates, no average, no points.
    auto rs = table();
    for (rs->MoveFirst(); !rs->isEOF(); rs->MoveNext())
        if (!classes::isSettingsRow(rs->text(QStringLiteral("编号")))) {
            ASSERT_TRUE(rs->Delete());
        }
    formula("40");
    scores::ShowSubjectReport(model);
    EXPECT_EQ(gridRow(1).mid(1, 11), (QStringList{"语文", "40", "0", "0", "0", "", "0", "", "0", "", ""}));
    for (int r = 0; r < model.scoreGrid().rows(); ++r)
        for (const QString& t : gridRow(r)) {
            EXPECT_FALSE(t.contains(QStringLiteral("inf"), Qt::CaseInsensitive)) << r;
            EXPECT_FALSE(t.contains(QStringLiteral("nan"), Qt::CaseInsensitive)) << r;
        }
}

TEST_F(AnalysisFixture, ReportGrowsForManyWeightedLevelsAndThirteenSubjects) {
    openClass();
    QStringList names;
    for (int k = 0; k < 13; ++k)
        names << QStringLiteral("科%1").arg(k);
    addSubjects(names);
    ASSERT_TRUE(scores::storeLevel(model, 6, "特优", "95").ok);
    ASSERT_TRUE(scores::storeLevel(model, 7, "顶级", "99").ok);
    ASSERT_EQ(model.classData().levelCount, 8);
    addStudents({{"甲", "1", "100", "50"}});
    QList<FormulaRow> rows(9, FormulaRow{true, "10"});
    ASSERT_TRUE(scores::savePointsFormula(model, rows, {true, "1"}).ok);
    scores::ShowSubjectReport(model);
    const shell::Grid& g = model.scoreGrid();
    EXPECT_EQ(g.cols(), 24); // eight level pairs after column 6, then 单科积分
    EXPECT_EQ(g.text(0, 23), QStringLiteral("单科积分"));
    EXPECT_EQ(g.text(0, 21), QStringLiteral("顶级人数"));
    EXPECT_EQ(g.text(13, 1), QStringLiteral("科12"));
    // 100 reaches every level from 及格 up (cumulative rates), 50 only 不及格.
    EXPECT_EQ(g.text(1, 7), QStringLiteral("0"));
    EXPECT_EQ(g.text(1, 21), QStringLiteral("1"));
    EXPECT_EQ(g.text(2, 7), QStringLiteral("1"));
    EXPECT_EQ(g.text(2, 9), QStringLiteral("0"));
    // (100 + 7 levels x 10% x 100%) x 1 / 1
    EXPECT_EQ(g.text(1, 23), QStringLiteral("170"));
}

// ---------------------------------------------------------------- grade levels

TEST_F(AnalysisFixture, StoringLevelsRenamesClearsAndRefuses) {
    openClass();
    ASSERT_TRUE(scores::storeLevel(model, 2, QStringLiteral(" 合格 "), QStringLiteral(" 65 ")).ok);
    EXPECT_EQ(model.classData().levelTitles[2], QStringLiteral("合格"));
    EXPECT_EQ(model.classData().levelStarts[2], QStringLiteral("65"));

    // An empty title takes the level out of use: "000" in both fields.
    ASSERT_TRUE(scores::storeLevel(model, 3, QString(), QStringLiteral("80")).ok);
    EXPECT_EQ(model.classData().levelCount, 5);
    EXPECT_EQ(model.viewState().levelComboItems[3], QStringLiteral("---"));
    EXPECT_TRUE(snapshot()[3].startsWith(QStringLiteral("000|000|listKM3|0|")));

    const QStringList before = snapshot();
    struct Case {
        int level;
        QString title, start, message;
    };
    const Case cases[] = {
        {2, "中等", "8a", msg::kLevelWrongType},  {2, "中等", "", msg::kLevelWrongType},
        {2, "中等", "7/0", msg::kLevelWrongType}, {-1, "中等", "70", msg::kLevelNotChosen},
        {8, "中等", "70", msg::kLevelNotChosen}, // the extra "---" is row 8, the total's title
    };
    for (const Case& c : cases) {
        const scores::Outcome o = scores::storeLevel(model, c.level, c.title, c.start);
        EXPECT_EQ(o.messages, QStringList{c.message}) << c.start;
        EXPECT_EQ(snapshot(), before) << c.start;
    }
}

TEST_F(AnalysisFixture, LevelLinesScaleWithFullMarks) {
    openClass();
    ASSERT_TRUE(model.addSubject("数学", "150").ok);
    ASSERT_TRUE(scores::storeLevel(model, 2, "良好", "75").ok);
    ASSERT_TRUE(scores::storeLevel(model, 3, "优秀", "85").ok);
    ASSERT_TRUE(scores::storeLevel(model, 4, "满分", "100").ok);
    ASSERT_TRUE(scores::storeLevel(model, 5, "", "").ok);
    const auto& s = model.classData();
    ASSERT_EQ(s.levelCount, 5);
    EXPECT_DOUBLE_EQ(scores::levelLine(s, 1, 0), 90);                   // pass line
    EXPECT_DOUBLE_EQ(scores::levelLine(s, s.levelCount - 2, 0), 127.5); // excellent line
    EXPECT_DOUBLE_EQ(scores::levelLine(s, s.levelCount - 1, 0), 150);   // full line
}

// ---------------------------------------------------------------- bands

TEST_F(AnalysisFixture, BandIntervalIsStoredAtLeastOneAndRefusesNonNumbers) {
    openClass();
    QString box = QStringLiteral("0.5");
    ASSERT_TRUE(scores::storeBandInterval(model, box).ok);
    EXPECT_EQ(box, QStringLiteral("1"));
    EXPECT_EQ(model.classData().bandInterval, 1);

    box = QStringLiteral("5");
    ASSERT_TRUE(scores::storeBandInterval(model, box).ok);
    EXPECT_EQ(model.classData().bandInterval, 5);

    const QStringList before = snapshot();
    for (const auto& [text, message] :
         {std::pair{"", msg::kLevelNotChosen}, std::pair{"  ", msg::kLevelNotChosen},
          std::pair{"1a", msg::kLevelWrongType}, std::pair{"99999", msg::kLevelWrongType}}) {
        box = QString::fromUtf8(text);
        EXPECT_EQ(scores::storeBandInterval(model, box).messages, QStringList{message}) << text;
        EXPECT_EQ(snapshot(), before) << text;
    }
}

TEST_F(AnalysisFixture, BandReportCountsEachSubjectsBands) {
    openClass();
    ASSERT_TRUE(model.addSubject("语文", "120").ok);
    ASSERT_TRUE(model.addSubject("数学", "100").ok);
    addStudents({{"甲", "1", "119.5", "100"},
                 {"乙", "2", "0", "59.5"},
                 {"丙", "3", "60", "59.9"},
                 {"丁", "4", "130", "50"}});
    scores::ShowBandReport(model);
    const shell::Grid& g = model.scoreGrid();
    EXPECT_EQ(model.viewState().printTitle, QStringLiteral("初一1班成绩分数段"));
    EXPECT_EQ(g.rows(), 31);
    EXPECT_EQ(g.cols(), 5);
    EXPECT_EQ(gridRow(0), (QStringList{"分数段", "语文", "占百分比", "数学", "占百分比"}));
    EXPECT_EQ(g.colWidth(0), 1200);
    EXPECT_EQ(g.colWidth(3), 600);
    EXPECT_EQ(g.colWidth(4), 1000);
    EXPECT_EQ(gridRow(1), (QStringList{"参考人数", "4", "", "4", ""}));
    EXPECT_EQ(gridRow(2), (QStringList{"0-9.9", "1", "25%", "", ""}));
    EXPECT_EQ(gridRow(7), (QStringList{"50-59.9", "", "", "3", "75%"}));
    EXPECT_EQ(gridRow(8), (QStringList{"60-69.9", "1", "25%", "", ""}));
    EXPECT_EQ(gridRow(12), (QStringList{"100-109.9", "", "", "1", "25%"}));
    // The first subject's thirteen bands label rows 13 and 14; 130 is past
    // its last band and counts nowhere.
    EXPECT_EQ(gridRow(13), (QStringList{"110-119.9", "1", "25%", "", ""}));
    EXPECT_EQ(gridRow(14), (QStringList{"120-129.9", "", "", "", ""}));
    EXPECT_EQ(gridRow(15), (QStringList{"", "", "", "", ""}));
}

TEST_F(AnalysisFixture, BandTableGrowsPastTwentyNineBands) {
    openClass();
    ASSERT_TRUE(model.addSubject("语文", "150").ok);
    QString box = QStringLiteral("1");
    ASSERT_TRUE(scores::storeBandInterval(model, box).ok);
    addStudents({{"甲", "1", "150"}, {"乙", "2", "3.5"}});
    scores::ShowBandReport(model);
    const shell::Grid& g = model.scoreGrid();
    EXPECT_EQ(g.rows(), 153); // heading, 参考人数 and 151 bands
    EXPECT_EQ(g.rowHeight(152), 320);
    EXPECT_EQ(gridRow(152), (QStringList{"150-150.9", "1", "50%"}));
    EXPECT_EQ(gridRow(5), (QStringList{"3-3.9", "1", "50%"}));
}

TEST_F(AnalysisFixture, BandReportWithoutStudentsOrSubjects) {
    openClass();
    scores::ShowBandReport(model);
    EXPECT_EQ(model.scoreGrid().cols(), 18);
    EXPECT_EQ(gridRow(1), QStringList(18, QString()));
    ASSERT_TRUE(model.addSubject("语文", "100").ok);
    scores::ShowBandReport(model);
    EXPECT_EQ(gridRow(1), QStringList(3, QString()));
}
