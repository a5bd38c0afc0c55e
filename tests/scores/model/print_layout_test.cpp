#include "ScoresFixture.h"
#include "scores/model/ScorePrint.h"

using scores::PageGeometry;
using scores::ScorePrintLayout;
using shell::DrawOp;
using shell::DrawPage;

namespace {

// Two columns (400 and 600 twips wide) under a heading row, `rows` table
// rows below it ("r1", "r2", ... in column 0, column 1 empty from row 3).
shell::Grid grid(int rows) {
    shell::Grid g(rows + 1, 2);
    g.setColWidth(0, 400);
    g.setColWidth(1, 600);
    g.setText(0, 0, QStringLiteral("姓名"));
    g.setText(0, 1, QStringLiteral("分数"));
    for (int r = 1; r <= rows; ++r) {
        g.setText(r, 0, QStringLiteral("r%1").arg(r));
        if (r <= 2) g.setText(r, 1, QString::number(80 + r));
    }
    return g;
}

// Margins 1000 twips, paper 10000 x 12000, `n` rows a page.
PageGeometry geometry(int n) {
    return PageGeometry{1000, 1000, 1000, 1000, 10000, 12000, n};
}

DrawOp text(int x, int y, int size, const char* t) {
    return DrawOp::textAt(x, y, size, QString::fromUtf8(t));
}
DrawOp line(int x1, int y1, int x2, int y2) {
    return DrawOp::line(x1, y1, x2, y2);
}

} // namespace

// Title at the top margin centred by 200 twips a character; heading row at
// T + 700; rows 240 apart with a rule 30 above each; a full page closed at
// Y0 + 240(N+1), a short one with its empty slots ruled at -30; vertical
// rules at each column's left edge - 30 and after the last; the page text
// below the bottom margin, at the same place on every page.
TEST(ScorePrintLayout, PagesAreTheExpectedDrawOperations) {
    const ScorePrintLayout layout(grid(3), QStringLiteral("成绩表"), geometry(2));
    ASSERT_EQ(layout.pageCount(), 2);
    EXPECT_EQ(layout.paperTwips(), QSize(10000, 12000));
    EXPECT_EQ(layout.fontFamily(), QStringLiteral("宋体"));

    const DrawPage heading{
        text(4700, 1000, 18, "成绩表"),
        line(970, 1670, 1990, 1670),
        text(1000, 1700, 10, "姓名"),
        text(1400, 1700, 10, "分数"),
    };
    const DrawPage verticals{line(970, 1670, 970, 2420), line(1370, 1670, 1370, 2420),
                             line(1970, 1670, 1970, 2420)};

    DrawPage first = heading;
    first << line(970, 1910, 1990, 1910) << text(1000, 1940, 10, "r1") << text(1400, 1940, 10, "81")
          << line(970, 2150, 1990, 2150) << text(1000, 2180, 10, "r2") << text(1400, 2180, 10, "82")
          << line(970, 2420, 1990, 2420) // a full page's closing rule
          << verticals << text(4970, 11100, 10, "第 1页");
    EXPECT_EQ(layout.page(0), first);

    DrawPage second = heading;
    second << line(970, 1910, 1990, 1910) << text(1000, 1940, 10, "r3") << line(970, 2150, 1990, 2150)
           << line(970, 2390, 1990, 2390) // empty slots
           << verticals << text(4970, 11100, 10, "第 2页");
    EXPECT_EQ(layout.page(1), second);

    EXPECT_TRUE(layout.page(2).isEmpty());
    EXPECT_TRUE(layout.page(-1).isEmpty());
}

TEST(ScorePrintLayout, PageCountFollowsTheRowsPerPage) {
    struct Case {
        int rows, perPage, pages;
        std::vector<bool> nextEnabled; // "下页" on pages 1, 2, ...
    } cases[] = {
        {2, 5, 1, {false}},         {5, 5, 1, {false}},
        {6, 5, 2, {true, false}},   {0, 5, 1, {false}},
        {48, 24, 2, {true, false}}, {30, 24, 2, {true, false}},
        {1, 1, 1, {false}},         {3, 1, 3, {true, true, false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.rows << " rows, " << c.perPage << " a page");
        const ScorePrintLayout layout(grid(c.rows), QStringLiteral("表"), geometry(c.perPage));
        EXPECT_EQ(layout.tableRows(), c.rows);
        EXPECT_EQ(layout.pageCount(), c.pages);
        for (size_t p = 0; p < c.nextEnabled.size(); ++p)
            EXPECT_EQ(layout.hasPageAfter(int(p) + 1), c.nextEnabled[p]) << "page " << p + 1;
    }
}

TEST(ScorePrintLayout, ShortLastPageRulesEveryEmptySlot) {
    // 30 rows at 24 a page: page 2 holds 6 rows and 18 empty ruled slots
    // plus the closing rule.
    const ScorePrintLayout layout(grid(30), QStringLiteral("表"), geometry(24));
    const DrawPage last = layout.page(1);
    int horizontal = 0, cells = 0;
    for (const DrawOp& op : last) {
        if (op.kind == DrawOp::Kind::Line && op.y == op.y2) ++horizontal;
        if (op.kind == DrawOp::Kind::Text && op.size == 10 && op.y > 1700 && op.y < 11000) ++cells;
    }
    EXPECT_EQ(horizontal, 1 + 6 + 19); // heading, rows, slots 7..25
    EXPECT_EQ(cells, 6);
    EXPECT_EQ(last.back().text, QStringLiteral("第 2页"));
}

TEST(ScorePrintLayout, TitleIsCentredOnThePaperAndNeverLeftOfTheMargin) {
    const ScorePrintLayout shortTitle(grid(1), QStringLiteral("初一1班成绩表"), geometry(5));
    // 7 characters: 5000 - 700.
    EXPECT_EQ(shortTitle.page(0).front(), DrawOp::textAt(4300, 1000, 18, QStringLiteral("初一1班成绩表")));
    const QString longTitle(80, QChar(u'长'));
    const ScorePrintLayout wide(grid(1), longTitle, geometry(5));
    EXPECT_EQ(wide.page(0).front().x, 1000);
}

TEST(ScorePrintLayout, PagesThatCannotBeLaidOutAreNamed) {
    namespace msg = scores::msg;
    struct Case {
        const char* what;
        PageGeometry g;
        QString problem;
    } cases[] = {
        {"fine", geometry(24), {}},
        {"no rows a page", geometry(0), msg::kPrintRowsBad},
        {"negative rows", geometry(-3), msg::kPrintRowsBad},
        {"more rows than the paper holds", geometry(41), msg::kPrintRowsBad},
        {"rows that would overflow", geometry(2147483647), msg::kPrintRowsBad},
        {"no paper", PageGeometry{1000, 1000, 1000, 1000, 0, 12000, 5}, msg::kPrintPaperBad},
        {"negative margin", PageGeometry{-5, 1000, 1000, 1000, 10000, 12000, 5}, msg::kPrintPaperBad},
        {"paper beyond reason", PageGeometry{0, 0, 0, 0, 2147483647, 2147483647, 5}, msg::kPrintPaperBad},
    };
    for (const Case& c : cases)
        EXPECT_EQ(scores::pageProblem(c.g), c.problem) << c.what;
}

TEST_F(ScoresFixture, ScoreTableLayoutTakesTheGridTitleAndPageValues) {
    std::unique_ptr<ScorePrintLayout> layout;
    EXPECT_EQ(scores::layoutScoreTable(model, layout).reason, scores::Reason::NotOpen);
    EXPECT_FALSE(layout);

    openClass();
    ASSERT_TRUE(scores::layoutScoreTable(model, layout).ok);
    ASSERT_TRUE(layout);
    // The template's page: A4 with 20 mm margins, 30 rows a page.
    EXPECT_EQ(layout->paperTwips(), QSize(qRound(210 * 56.7), qRound(297 * 56.7)));
    EXPECT_EQ(layout->geometry().rowsPerPage, 30);
    EXPECT_EQ(layout->title(), QStringLiteral("初一1班成绩表"));
    EXPECT_EQ(layout->tableRows(), 24);

    // A class whose rows per page reads 0 asks for the page setup.
    setField(QStringLiteral("listKM9"), QStringLiteral("js4"), QStringLiteral("0"));
    model.LoadSettings();
    const scores::Outcome refused = scores::layoutScoreTable(model, layout);
    EXPECT_EQ(refused.reason, scores::Reason::Invalid);
    EXPECT_EQ(refused.messages, QStringList{scores::msg::kPrintRowsBad});
    EXPECT_FALSE(layout);
}
