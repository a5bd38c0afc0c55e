#include "ScorePrint.h"

#include "shell/core/TextRules.h"
#include "shell/core/Units.h"

#include <climits>
#include <cmath>

namespace scores {

using printing::kHeadingGap;
using printing::kMaxPaperMm;
using printing::kRuleEndInset;
using printing::kRuleOffset;
using printing::kTextSize;
using printing::kTitleCharWidth;
using printing::kTitleSize;
constexpr int kLine = printing::kRowHeight;

PageGeometry pageGeometry(const ClassData& data) {
    PageGeometry g;
    g.top = data.pageTwips[1];
    g.bottom = data.pageTwips[2];
    g.left = data.pageTwips[3];
    g.right = data.pageTwips[4];
    g.width = data.pageTwips[5];
    g.height = data.pageTwips[6];
    g.rowsPerPage = data.pageInts[9];
    return g;
}

QString pageProblem(const PageGeometry& g) {
    const int most = shell::mmToTwips(kMaxPaperMm);
    for (int margin : {g.top, g.bottom, g.left, g.right})
        if (margin < 0 || margin > most) return msg::kPrintPaperBad;
    if (g.width <= 0 || g.height <= 0 || g.width > most || g.height > most) return msg::kPrintPaperBad;
    // Fewer than one row a page would never end a page; more than the
    // paper holds would run off it (the page setup refuses both).
    if (g.rowsPerPage < 1) return msg::kPrintRowsBad;
    const qint64 content = kHeadingGap + qint64(kLine) * g.rowsPerPage;
    if (content > qint64(g.height) - g.top - g.bottom) return msg::kPrintRowsBad;
    return {};
}

ScorePrintLayout::ScorePrintLayout(const shell::Grid& grid, const QString& title,
                                   const PageGeometry& geometry)
    : grid_(grid), title_(title), g_(geometry) {
    // Column positions once for every page. A width is held to the paper's
    // largest size so that no sum of them can overflow.
    const int most = shell::mmToTwips(kMaxPaperMm);
    qint64 x = g_.left;
    columnX_.reserve(size_t(qMax(0, grid_.cols())));
    for (int c = 0; c < grid_.cols(); ++c) {
        columnX_.push_back(int(qMin<qint64>(x, INT_MAX / 4)));
        x += qBound(0, grid_.colWidth(c), most);
    }
    tableWidth_ = int(qMin<qint64>(x - g_.left, INT_MAX / 4));
}

QString ScorePrintLayout::fontFamily() const {
    return QStringLiteral("宋体");
}

int ScorePrintLayout::pageCount() const {
    const int n = qMax(1, g_.rowsPerPage);
    return qMax(1, (tableRows() + n - 1) / n);
}

bool ScorePrintLayout::hasPageAfter(int number) const {
    return qint64(number) * qMax(1, g_.rowsPerPage) < tableRows();
}

QString ScorePrintLayout::pageText(int number) {
    return QStringLiteral("第 ") + QString::number(number) + QStringLiteral("页");
}

void ScorePrintLayout::addRule(shell::DrawPage& ops, int y) const {
    ops << shell::DrawOp::line(g_.left - kRuleOffset, y, g_.left + tableWidth_ - kRuleEndInset, y);
}

void ScorePrintLayout::addRow(shell::DrawPage& ops, int gridRow, int y) const {
    addRule(ops, y - kRuleOffset);
    for (int c = 0; c < grid_.cols(); ++c) {
        const QString text = grid_.text(gridRow, c);
        if (!text.isEmpty()) ops << shell::DrawOp::textAt(columnX_[size_t(c)], y, kTextSize, text);
    }
}

shell::DrawPage ScorePrintLayout::page(int index) const {
    shell::DrawPage ops;
    if (index < 0 || index >= pageCount()) return ops;
    const int n = g_.rowsPerPage;
    const int y0 = g_.top + kHeadingGap;
    const int first = index * n + 1; // grid row of the page's first table row
    const int count = qBound(0, tableRows() - index * n, n);
    ops.reserve(4 + (count + 1) * (grid_.cols() + 1) + (n - count) + grid_.cols() + 2);

    // The title centred on the paper; one wider than the paper starts at
    // the left margin rather than off the sheet.
    const qint64 chars = shell::characters(title_);
    const double centred = g_.width / 2.0 - double(chars) * kTitleCharWidth / 2.0;
    const int titleX = qMax<int>(g_.left, int(std::lround(qMax(centred, double(INT_MIN / 2)))));
    ops << shell::DrawOp::textAt(titleX, g_.top, kTitleSize, title_);

    addRow(ops, 0, y0);
    for (int k = 1; k <= count; ++k)
        addRow(ops, first + k - 1, y0 + kLine * k);
    const int bottom = y0 + kLine * (n + 1);
    if (count == n) {
        addRule(ops, bottom);
    } else {
        // The unused slots show as empty ruled rows.
        for (int j = count + 1; j <= n + 1; ++j)
            addRule(ops, y0 + kLine * j - kRuleOffset);
    }
    for (int x : columnX_)
        ops << shell::DrawOp::line(x - kRuleOffset, y0 - kRuleOffset, x - kRuleOffset, bottom);
    const int right = g_.left + tableWidth_ - kRuleOffset;
    ops << shell::DrawOp::line(right, y0 - kRuleOffset, right, bottom);

    // The page number at the same place on every page, below the bottom margin.
    ops << shell::DrawOp::textAt(int(std::lround(g_.width / 2.0 - kRuleOffset)), g_.height - g_.bottom + 100,
                                 kTextSize, pageText(index + 1));
    return ops;
}

Outcome layoutScoreTable(const ScoreModel& model, std::unique_ptr<ScorePrintLayout>& out) {
    out.reset();
    if (Outcome open = model.requireClass(); !open) return open;
    const PageGeometry g = pageGeometry(model.classData());
    if (const QString why = pageProblem(g); !why.isEmpty()) return Outcome::fail(Reason::Invalid, why);
    out = std::make_unique<ScorePrintLayout>(model.scoreGrid(), model.viewState().printTitle, g);
    return Outcome::done();
}

} // namespace scores
