// Every column of every score view and report is as wide as its widest
// text, measured in the fonts the window uses, so that no number is cut off
// ("1523.7211" shown as "523.7211") or runs into its neighbour.

#include "AnalysisFixture.h"

#include "shell/core/Units.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontMetrics>

namespace {

// The fonts a grid cell may be drawn in: the platform's default and the
// program's own 9-point UI font.
QList<QFont> cellFonts() {
    QList<QFont> fonts{QApplication::font()};
    if (QFontDatabase::families().contains(QStringLiteral("Noto Sans CJK SC"))) {
        QFont f(QStringLiteral("Noto Sans CJK SC"));
        f.setPointSize(9);
        fonts << f;
    }
    return fonts;
}

// Cells from row `from` down, each checked against its column's width as the
// grid view sets it, with the cell's text margins (3 pixels a side).
void expectTextsFit(const shell::Grid& g, int from, const char* view) {
    for (const QFont& font : cellFonts()) {
        const QFontMetrics fm(font);
        for (int c = 0; c < g.cols(); ++c) {
            const int width = qMax(1, shell::twipsToPx(g.colWidth(c)));
            for (int r = from; r < g.rows(); ++r) {
                const QString t = g.text(r, c);
                if (t.isEmpty()) continue;
                EXPECT_GE(width, fm.horizontalAdvance(t) + 6)
                    << view << " (" << r << ", " << c << ") \"" << t.toStdString() << "\" in "
                    << font.family().toStdString();
            }
        }
    }
}

} // namespace

TEST_F(AnalysisFixture, EveryColumnIsAsWideAsItsWidestText) {
    openClass();
    addSubjects({"物理", "化学"});
    threeLevels();
    QList<QStringList> rows;
    for (int i = 1; i <= 12; ++i)
        rows << QStringList{i == 5 ? QStringLiteral("欧阳娜娜") : QStringLiteral("学生%1").arg(i),
                            QString::number(1234567880 + i), QString::number(1400 + i * 10.37),
                            QString::number(88 + i)};
    addStudents(rows);
    ASSERT_TRUE(scores::saveCompositeFormula(model, "综合分", {{true, "66.67"}, {true, "33.33"}}).ok);

    model.ShowScoreTable();
    ASSERT_EQ(cell(12, 5), QStringLiteral("1049.6741")) << gridRow(12).join(u' ');
    expectTextsFit(model.scoreGrid(), 0, "score table");
    scores::SortScores(model, true);
    expectTextsFit(model.scoreGrid(), 0, "sorted score table");
    model.LoadRoster();
    expectTextsFit(model.scoreGrid(), 0, "roster");

    scores::OpenFilter(model);
    expectTextsFit(model.spareGrid(), 0, "spare grid");
    scores::ChooseKeyColumn(model, 0);
    ASSERT_TRUE(scores::RunFilter(model, 0, "5", "物理").ok);
    expectTextsFit(model.scoreGrid(), 0, "top five");
    scores::OpenFilter(model);
    ASSERT_TRUE(scores::RunFilter(model, 3, QString(), QString()).ok);
    expectTextsFit(model.scoreGrid(), 0, "all passed");

    ASSERT_TRUE(
        scores::FindStudent(model, true, "欧阳娜娜", scores::FindOptions{false, true, true}).outcome.ok);
    expectTextsFit(model.scoreGrid(), 0, "found");

    // The reports' headings wrap in two lines; their cells fit.
    ASSERT_TRUE(scores::savePointsFormula(model, {{true, "50"}, {true, "50"}, {true, "33.3"}, {true, "1"}},
                                          {true, "13"})
                    .ok);
    scores::ShowSubjectReport(model);
    expectTextsFit(model.scoreGrid(), 1, "subject report");
    scores::ShowBandReport(model);
    expectTextsFit(model.scoreGrid(), 1, "band report");
}
