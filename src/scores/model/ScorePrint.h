#pragma once

// The score table's printed pages: a centred title, the grid's heading row
// on every page, a fixed number of ruled table rows per page and the page
// number at the foot, laid out from a Grid value, a title and the class's
// page values as draw operations. Printing and the print preview draw the
// same operations, so the paper looks exactly like the preview.

#include "ScoreModel.h"

#include "shell/core/Grid.h"
#include "shell/docs/DrawOps.h"

#include <QSize>
#include <QString>
#include <memory>
#include <vector>

namespace scores {

// Page values in twips (margins, paper as the page setup turned it) and
// the table rows per page.
struct PageGeometry {
    int top = 0, bottom = 0, left = 0, right = 0;
    int width = 0, height = 0;
    int rowsPerPage = 0;
};

// The open class's page values, as LoadSettings derived them.
PageGeometry pageGeometry(const ClassData& data);
// Why no page can be laid out with these values (a damaged or foreign
// class, or one whose page setup was never valid); empty when fine.
QString pageProblem(const PageGeometry& g);

namespace printing {
constexpr int kRowHeight = 240;   // a printed table row
constexpr int kHeadingGap = 700;  // from the title's top to the heading row
constexpr int kRuleOffset = 30;   // rules run this far above and left of the text
constexpr int kRuleEndInset = 10; // horizontal rules stop short of the last column's edge
constexpr int kTitleSize = 18;
constexpr int kTextSize = 10;
constexpr int kTitleCharWidth = 200; // twips per title character when centring it
// The largest paper or margin taken, in millimetres: far beyond any paper,
// and it keeps every position of a page well inside an int.
constexpr int kMaxPaperMm = 5000;
} // namespace printing

class ScorePrintLayout : public shell::PageSource {
public:
    // `grid` is copied (its cells are shared, not duplicated). The
    // geometry must have passed pageProblem().
    ScorePrintLayout(const shell::Grid& grid, const QString& title, const PageGeometry& geometry);

    QSize paperTwips() const override { return {g_.width, g_.height}; }
    QString fontFamily() const override;
    int pageCount() const override;
    shell::DrawPage page(int index) const override;

    // Every grid row below the heading row, empty rows included.
    int tableRows() const { return qMax(0, grid_.rows() - 1); }
    // Whether page `number` (from 1) has a page after it: the table holds
    // more rows than `number` full pages.
    bool hasPageAfter(int number) const;
    // The last cell printed (the last row's last column), where the grid's
    // current cell stays after printing.
    int lastRow() const { return grid_.rows() - 1; }
    int lastColumn() const { return grid_.cols() - 1; }
    const PageGeometry& geometry() const { return g_; }
    const QString& title() const { return title_; }
    // The page text at the foot: "第 " number "页".
    static QString pageText(int number);

private:
    void addRow(shell::DrawPage& ops, int gridRow, int y) const;
    void addRule(shell::DrawPage& ops, int y) const;

    shell::Grid grid_;
    QString title_;
    PageGeometry g_;
    std::vector<int> columnX_; // left edge of each column
    int tableWidth_ = 0;       // W: the columns' widths summed
};

namespace msg {
inline const QString kPrintRowsBad = QStringLiteral("每页打印行数不对，请先进行页面设置！");
inline const QString kPrintPaperBad = QStringLiteral("纸张大小或页边距不对，请先进行页面设置！");
} // namespace msg

// The table the score window shows, with its print title and the class's
// page values. Refused when no class is open or the page values cannot lay
// out a page (the message asks for the page setup).
Outcome layoutScoreTable(const ScoreModel& model, std::unique_ptr<ScorePrintLayout>& out);

} // namespace scores
