#include "ScoresFixture.h"
#include "scores/model/PageSetup.h"

using scores::Orientation;
using scores::PageSetupInput;
namespace msg = scores::msg;

namespace {

// A4 portrait, 20 mm margins, `rows` a page, as the boxes would hold it.
PageSetupInput a4(const QString& rows = QStringLiteral("30")) {
    PageSetupInput in;
    in.boxes = {QString(), "20", "20", "20", "20", "210", "297", rows};
    in.paperIndex = 1;
    in.orientation = Orientation::Portrait;
    return in;
}

} // namespace

class PageSetup : public ScoresFixture {
protected:
    // "js4" of the first thirteen records, read back from the file.
    QStringList pageColumn() {
        QStringList out;
        auto rs = table();
        int i = 0;
        for (rs->MoveFirst(); !rs->isEOF() && i < 13; rs->MoveNext(), ++i)
            out << rs->text(QStringLiteral("js4"));
        return out;
    }
    // The score grid's columns summed to exactly `twips`.
    void gridWidth(int twips) {
        shell::Grid& g = scores::ScoreModelAccess::scoreGrid(model);
        g.setColWidth(0, twips);
        for (int c = 1; c < g.cols(); ++c)
            g.setColWidth(c, 0);
    }
};

TEST_F(PageSetup, FormShowsTheStoredValuesAndMendsOutOfRangeChoices) {
    openClass();
    scores::PageSetupForm f = scores::pageSetupForm(model.classData());
    EXPECT_EQ(f.paperIndex, 1);
    EXPECT_EQ(f.orientation, Orientation::Portrait);
    EXPECT_EQ(QStringList(f.boxes.begin() + 1, f.boxes.end()),
              (QStringList{"20", "20", "20", "20", "210", "297", "30"}));

    // A damaged or foreign class: a paper index and orientation outside the lists.
    setField(QStringLiteral("listKM7"), QStringLiteral("js4"), QStringLiteral("99"));
    setField(QStringLiteral("listKM8"), QStringLiteral("js4"), QStringLiteral("5"));
    model.LoadSettings();
    f = scores::pageSetupForm(model.classData());
    EXPECT_EQ(f.paperIndex, scores::kCustomPaper);
    EXPECT_EQ(f.orientation, Orientation::Portrait);
    EXPECT_EQ(scores::paperNames().value(f.paperIndex), QStringLiteral("自定义"));
}

TEST_F(PageSetup, PaperListIsTheProgramsOwn) {
    EXPECT_EQ(scores::paperNames(),
              (QStringList{"A3 297 x 420 毫米", "A4 210 x 297 毫米", "A5 148 x 210 毫米", "B5 182 x 257 毫米",
                           "8 开 260 x 368 毫米 ", "16开 184 x 260 毫米", "32开 130 x 184 毫米", "自定义"}));
    EXPECT_EQ(scores::paperSizeMm(0), QSize(297, 420));
    EXPECT_EQ(scores::paperSizeMm(7), QSize(210, 297));
    EXPECT_EQ(scores::paperSizeMm(42), QSize(210, 297));
}

TEST_F(PageSetup, ConfirmedValuesAreStoredAndLoaded) {
    openClass();
    PageSetupInput in;
    in.boxes = {QString(), " 15 ", "12.5", "10", "10", "297", "210", "20"};
    in.paperIndex = 1;
    in.orientation = Orientation::Landscape;
    const scores::Outcome out = scores::storePageSetup(model, in);
    ASSERT_TRUE(out.ok) << out.messages.join(u' ').toStdString();
    EXPECT_EQ(pageColumn(),
              (QStringList{"0", "15", "12.5", "10", "10", "297", "210", "1", "1", "20", "0", "0", "0"}));
    // The model reloaded them: twips for printing, integers for the choices.
    const auto& d = model.classData();
    EXPECT_EQ(d.pageTwips[2], qRound(12.5 * 56.7));
    EXPECT_EQ(d.pageTwips[5], qRound(297 * 56.7));
    EXPECT_EQ(d.pageInts[8], 1);
    EXPECT_EQ(d.pageInts[9], 20);
}

TEST_F(PageSetup, RefusedValuesLeaveTheClassTableAsItWas) {
    openClass();
    auto with = [](int box, const QString& text) {
        PageSetupInput in = a4();
        in.boxes[size_t(box)] = text;
        return in;
    };
    auto store = [this](PageSetupInput in) {
        return [this, in] { return scores::storePageSetup(model, in); };
    };
    expectRefusals({
        {"empty margin", store(with(1, "")), msg::kPageNotNumber},
        {"blank width", store(with(5, "  ")), msg::kPageNotNumber},
        {"a fraction", store(with(3, "1/2")), msg::kPageNotNumber},
        {"a slash alone", store(with(4, "/")), msg::kPageNotNumber},
        {"two points", store(with(2, "1.2.3")), msg::kPageNotNumber},
        {"a negative margin", store(with(1, "-5")), msg::kPageNotNumber},
        {"letters", store(with(6, "abc")), msg::kPageNotNumber},
        {"empty rows", store(a4("")), msg::kPageNotNumber},
        {"no rows", store(a4("0")), msg::kPageRowsWhole},
        {"part of a row", store(a4("2.5")), msg::kPageRowsWhole},
        {"paper beyond reason", store(with(5, "99999999")), msg::kPageTooLarge},
        {"rows beyond the paper", store(a4("900000000")), msg::kContentTooHigh},
        {"no room for the columns", store(with(5, "40")), msg::kContentTooWide},
    });
}

// A4 portrait with 20 mm margins leaves (210 - 40) x 56.7 = 9639 twips.
TEST_F(PageSetup, WidthCheckIsExactAtTheEdge) {
    openClass();
    gridWidth(9640);
    expectRefusals({{"one twip too wide", [this] { return scores::storePageSetup(model, a4()); },
                     msg::kContentTooWide}});
    gridWidth(9639);
    EXPECT_TRUE(scores::storePageSetup(model, a4()).ok);
}

// 297 - 122 - 122.09 = 52.91 mm, just under 3000 twips: 9 rows (2860) fit, 10 (3100) do not.
TEST_F(PageSetup, HeightCheckCountsRowsAndTheHeading) {
    openClass();
    auto tall = [](const char* rows) {
        PageSetupInput in = a4(QString::fromLatin1(rows));
        in.boxes[1] = QStringLiteral("122");
        in.boxes[2] = QStringLiteral("122.09");
        return in;
    };
    expectRefusals(
        {{"ten rows", [&] { return scores::storePageSetup(model, tall("10")); }, msg::kContentTooHigh}});
    EXPECT_TRUE(scores::storePageSetup(model, tall("9")).ok);
    EXPECT_EQ(model.classData().pageInts[9], 9);
}

TEST_F(PageSetup, OnlyRecordsNumberedByTheirPositionTakeTheirValue) {
    openClass();
    setField(QStringLiteral("listKM3"), QStringLiteral("编号"), QStringLiteral("listKM30"));
    PageSetupInput in = a4();
    in.boxes[3] = QStringLiteral("15");
    in.boxes[1] = QStringLiteral("25");
    ASSERT_TRUE(scores::storePageSetup(model, in).ok);
    const QStringList js4 = pageColumn();
    EXPECT_EQ(js4[1], QStringLiteral("25"));
    EXPECT_EQ(js4[3], QStringLiteral("20")); // record 3 is not "listKM3": left as it was
}

TEST_F(PageSetup, NothingIsStoredWithoutAnOpenClass) {
    const scores::Outcome out = scores::storePageSetup(model, a4());
    EXPECT_EQ(out.reason, scores::Reason::NotOpen);
}
