// Numbers at the edges of what the class table holds: a typed number past
// the stored range is refused with the frame's number message, and totals,
// sums and sorting never wrap, however large the stored values are.

#include "AnalysisFixture.h"

using scores::FormulaRow;
namespace msg = scores::msg;

namespace {
// One past the largest stored amount (2^63 - 1 ten-thousandths), each way.
const QString kPastMax = QStringLiteral("922337203685477.5808");
const QString kPastMin = QStringLiteral("-922337203685477.5809");
const QString kHuge = QStringLiteral("100000000000000000000");
} // namespace

TEST_F(AnalysisFixture, NumbersPastTheStoredRangeAreRefused) {
    openClass();
    addSubjects({"语文", "数学"});
    ASSERT_TRUE(model.addStudent("张三", "1").ok);
    QString band = kPastMax;
    QString band2 = kHuge;
    expectRefusals({
        {"score", [&] { return model.storeScore("语文", false, "1", kPastMax); }, msg::kNumberOnly},
        {"negative score", [&] { return model.storeScore("语文", false, "1", kPastMin); }, msg::kNumberOnly},
        {"score of 21 digits", [&] { return model.storeScore("语文", false, "1", kHuge); }, msg::kNumberOnly},
        {"full marks", [&] { return model.addSubject("英语", kPastMax); }, msg::kNumberOnly},
        {"changed full marks", [&] { return model.changeSubject(0, "语文", kHuge); }, msg::kNumberOnly},
        {"weight",
         [&] {
             return scores::saveCompositeFormula(model, "总分", {{true, "50"}, {true, kPastMax}});
         },
         msg::kNumberOnly},
        {"level weight",
         [&] {
             return scores::savePointsFormula(model, {{true, kHuge}}, {false, ""});
         },
         msg::kNumberOnly},
        {"expected candidates",
         [&] {
             return scores::savePointsFormula(model, {{true, "100"}}, {true, kPastMax});
         },
         msg::kNumberOnly},
        {"level start", [&] { return scores::storeLevel(model, 2, "优秀", kPastMax); }, msg::kLevelWrongType},
        {"band interval", [&] { return scores::storeBandInterval(model, band); }, msg::kLevelWrongType},
        {"band interval of 21 digits", [&] { return scores::storeBandInterval(model, band2); },
         msg::kLevelWrongType},
        {"batch past the largest number", [&] { return model.addBatch("922337203685477.5807", "2"); },
         msg::kNumberTooLong},
    });
}

// Each score and weight fits the stored range, their totals do not: the
// totals are shown exactly, in the score table, the filters, find and the
// per-subject report, and sort as numbers.
TEST_F(AnalysisFixture, TotalsPastTheStoredRangeAreShownWhole) {
    openClass();
    addSubjects({"语文", "数学"});
    addStudents({{"大", "1", "900000000000000", "900000000000000"},
                 {"小", "2", "1", "2"},
                 {"中", "3", "922337203685477.5807", "0.0001"}});
    ASSERT_TRUE(scores::saveCompositeFormula(model, "总分", {{true, "100"}, {true, "100"}}).ok);
    model.ShowScoreTable();
    EXPECT_EQ(gridRow(1).mid(5), (QStringList{"1800000000000000", "900000000000000"}));
    EXPECT_EQ(gridRow(3).mid(5), (QStringList{"922337203685477.5808", "461168601842739"}));

    // A weight of a million percent: 9e14 x 10000 = 9e18 per subject.
    ASSERT_TRUE(scores::saveCompositeFormula(model, "总分", {{true, "1000000"}, {true, "1000000"}}).ok);
    model.ShowScoreTable();
    EXPECT_EQ(cell(1, 5), QStringLiteral("18000000000000000000"));
    EXPECT_EQ(cell(2, 5), QStringLiteral("30000"));

    scores::SortScores(model, true);
    EXPECT_EQ(model.scoreGrid().column(1).mid(0, 3), (QStringList{"大", "中", "小"}));
    scores::SortScores(model, false);
    EXPECT_EQ(model.scoreGrid().column(1).mid(0, 3), (QStringList{"小", "中", "大"}));

    // Filter 3 ("各科全部及格", a pass line of 0 here) lists everyone with
    // the same totals.
    for (int row = 0; row < 6; ++row)
        ASSERT_TRUE(scores::storeLevel(model, row, QString(), QString()).ok);
    ASSERT_TRUE(scores::storeLevel(model, 0, "不及格", "0").ok);
    ASSERT_TRUE(scores::storeLevel(model, 1, "及格", "0").ok);
    scores::OpenFilter(model);
    ASSERT_TRUE(scores::RunFilter(model, 3, QString(), QString()).ok);
    EXPECT_EQ(cell(1, 5), QStringLiteral("18000000000000000000"));

    const auto found = scores::FindStudent(model, false, "1", scores::FindOptions{false, true, true});
    ASSERT_TRUE(found.outcome.ok);
    EXPECT_EQ(cell(1, 5), QStringLiteral("1800000000000000"));

    // The per-subject report's sum over the class.
    ASSERT_TRUE(scores::savePointsFormula(model, {{false, ""}, {false, ""}, {true, "100"}}, {true, "3"}).ok);
    scores::ShowSubjectReport(model);
    EXPECT_EQ(cell(1, 5), QStringLiteral("1822337203685478.5807"));
}

TEST(ScoreNumbers, CellsOfAnyLengthReadAsTheirNumber) {
    struct Case {
        const char* text;
        std::optional<double> value;
    };
    const Case cases[] = {
        {"85", 85},
        {"84.3333", 84.3333},
        {"-0.5", -0.5},
        {"123456789012345", 123456789012345.0},
        // Longer than the direct reading takes: read in full, never wrapped.
        {"18000000000000000000", 1.8e19},
        {"99999999999999999999999999", 1e26},
        {"-922337203685477.58080000001", -922337203685477.5808},
        {"0.00000000000000000001", 1e-20},
        {"", std::nullopt},
        {"优秀", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const auto v = scores::cellNumber(QString::fromUtf8(c.text));
        ASSERT_EQ(v.has_value(), c.value.has_value());
        if (v) {
            EXPECT_DOUBLE_EQ(*v, *c.value);
        }
    }
}

// Full marks far beyond any paper would need millions of bands: the band
// report leaves that subject out and says so, and counts the others.
TEST_F(AnalysisFixture, BandsOfHugeFullMarksAreLeftOut) {
    openClass();
    addSubjects({"语文"});
    ASSERT_TRUE(model.addSubject("天文", "900000000000000").ok);
    addStudents({{"张三", "1", "85", "90"}});
    QString box = QStringLiteral("10");
    ASSERT_TRUE(scores::storeBandInterval(model, box).ok);
    scores::ShowBandReport(model);
    EXPECT_EQ(cell(1, 1), QStringLiteral("1"));
    EXPECT_EQ(cell(10, 1), QStringLiteral("1")); // 80-89.9
    EXPECT_EQ(cell(1, 3), QString());
    EXPECT_EQ(model.scoreGrid().rows(), 31);
    EXPECT_TRUE(model.statusPanel(0).startsWith(QStringLiteral("天文的卷面总分"))) << model.statusPanel(0);
}
