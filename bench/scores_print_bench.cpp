// Printing the score table of a whole grade (2,000 students, 13 subjects)
// and of ten times that: the whole table into a PDF file, and one page turn
// of the print preview. Each is measured beside a hand-written baseline
// that does the same per-row work (positions computed in the loop, the
// same texts and rules drawn with QPainter) without the draw-operation
// lists, so the cost of laying pages out as values shows.

#include "scores/model/ScorePrint.h"
#include "scores/ui/frmPrintView.h"
#include "shell/core/Units.h"
#include "shell/ui/Fonts.h"
#include "shell/ui/PagePainter.h"

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <map>

namespace {

constexpr int kSubjects = 13;
constexpr int kPerPage = 30;

// The score table as the score window shows it: number, name, student
// number, 13 scores, weighted total and average, widths as the fill sets them.
const shell::Grid& table(int students) {
    static std::map<int, shell::Grid> made;
    if (auto it = made.find(students); it != made.end()) return it->second;
    shell::Grid g(students + 1, kSubjects + 5);
    g.setColWidth(0, 420);
    g.setColWidth(1, 950);
    for (int c = 2; c < g.cols(); ++c)
        g.setColWidth(c, 800);
    g.setColWidth(kSubjects + 4, 2200);
    g.setText(0, 1, QStringLiteral("姓名"));
    g.setText(0, 2, QStringLiteral("学号"));
    for (int k = 0; k < kSubjects; ++k)
        g.setText(0, 3 + k, QStringLiteral("科目%1").arg(k));
    g.setText(0, kSubjects + 3, QStringLiteral("综合分"));
    g.setText(0, kSubjects + 4, QStringLiteral("平均"));
    for (int r = 1; r <= students; ++r) {
        g.setText(r, 0, QString::number(r));
        g.setText(r, 1, QStringLiteral("学生%1").arg(r));
        g.setText(r, 2, QString::number(100000 + r));
        int total = 0;
        for (int k = 0; k < kSubjects; ++k) {
            const int score = 40 + (r * 7 + k * 13) % 61;
            total += score;
            g.setText(r, 3 + k, QString::number(score));
        }
        g.setText(r, kSubjects + 3, QString::number(total));
        g.setText(r, kSubjects + 4, shell::numberText(total / double(kSubjects)));
    }
    return made.emplace(students, std::move(g)).first->second;
}

// A3 landscape, 20 mm margins, 30 rows a page: the table's 18 columns fit.
scores::PageGeometry a3Landscape() {
    const int m = shell::mmToTwips(20);
    return {m, m, m, m, shell::mmToTwips(420), shell::mmToTwips(297), kPerPage};
}

QTemporaryDir& outDir() {
    static QTemporaryDir dir;
    return dir;
}

void BM_PrintPdf(benchmark::State& state) {
    shell::installFontSubstitutions();
    const shell::Grid& g = table(int(state.range(0)));
    const QString pdf = outDir().filePath(QStringLiteral("print.pdf"));
    for (auto _ : state) {
        const scores::ScorePrintLayout layout(g, QStringLiteral("初三年级成绩表"), a3Landscape());
        if (!shell::printPagesToPdf(layout, pdf).ok) state.SkipWithError("PDF not written");
    }
    state.counters["pages"] = double(scores::ScorePrintLayout(g, {}, a3Landscape()).pageCount());
}

// The same pages drawn straight from the grid: the positions worked out in
// the loop, the same texts and rules, one QPainter on a PDF writer.
void BM_PrintPdfByHand(benchmark::State& state) {
    shell::installFontSubstitutions();
    const shell::Grid& g = table(int(state.range(0)));
    const scores::PageGeometry geo = a3Landscape();
    const QString pdf = outDir().filePath(QStringLiteral("hand.pdf"));
    for (auto _ : state) {
        QPdfWriter writer(pdf);
        writer.setResolution(1200);
        writer.setPageSize(QPageSize(QSizeF(297, 420), QPageSize::Millimeter));
        writer.setPageOrientation(QPageLayout::Landscape);
        writer.setPageMargins(QMarginsF());
        QPainter p(&writer);
        const double k = 1200 / 1440.0;
        QFont title(QStringLiteral("宋体")), cell(QStringLiteral("宋体"));
        title.setPixelSize(qRound(18 * 1200 / 72.0));
        cell.setPixelSize(qRound(10 * 1200 / 72.0));
        int width = 0;
        for (int c = 0; c < g.cols(); ++c)
            width += g.colWidth(c);
        const int rows = g.rows() - 1;
        const int y0 = geo.top + 700;
        for (int first = 1, page = 1; first <= qMax(1, rows); first += kPerPage, ++page) {
            if (page > 1) writer.newPage();
            p.setFont(title);
            p.drawText(QPointF(geo.width / 2.0 * k - 700 * k, (geo.top + 317) * k),
                       QStringLiteral("初三年级成绩表"));
            p.setFont(cell);
            const int count = qMin(kPerPage, rows - first + 1);
            for (int j = 0; j <= count; ++j) {
                const int r = j == 0 ? 0 : first + j - 1;
                const double y = (y0 + 240 * j) * k;
                p.drawLine(QPointF((geo.left - 30) * k, y - 30 * k),
                           QPointF((geo.left + width - 10) * k, y - 30 * k));
                int x = geo.left;
                for (int c = 0; c < g.cols(); ++c) {
                    const QString t = g.text(r, c);
                    if (!t.isEmpty()) p.drawText(QPointF(x * k, y + 176 * k), t);
                    x += g.colWidth(c);
                }
            }
            const double bottom = (y0 + 240 * (kPerPage + 1)) * k;
            for (int x = geo.left, c = 0; c <= g.cols(); x += g.colWidth(c), ++c)
                p.drawLine(QPointF((x - 30) * k, (y0 - 30) * k), QPointF((x - 30) * k, bottom));
            p.drawText(QPointF((geo.width / 2.0 - 30) * k, (geo.height - geo.bottom + 276) * k),
                       QStringLiteral("第 %1页").arg(page));
        }
    }
}

// "下页" and "上页" in turn in the real preview window: the page laid out,
// drawn into the screen-sized image and shown.
void BM_PreviewPageTurn(benchmark::State& state) {
    const shell::Grid& g = table(int(state.range(0)));
    scores::frmPrintView view;
    view.resize(1366, 768);
    view.showLayout(
        std::make_unique<scores::ScorePrintLayout>(g, QStringLiteral("初三年级成绩表"), a3Landscape()));
    for (auto _ : state)
        view.button(view.shownPage() == 1 ? 1 : 2);
}

// The floor of a page turn: the page's image drawn by hand from the grid
// (the same texts and rules at 96 dpi), no layout value and no window.
void BM_PreviewPageByHand(benchmark::State& state) {
    shell::installFontSubstitutions();
    const shell::Grid& g = table(int(state.range(0)));
    const scores::PageGeometry geo = a3Landscape();
    const double k = 96 / 1440.0;
    int page = 0;
    for (auto _ : state) {
        QImage img(qRound(geo.width * k), qRound(geo.height * k), QImage::Format_RGB32);
        img.fill(Qt::white);
        QPainter p(&img);
        QFont cell(QStringLiteral("宋体"));
        cell.setPixelSize(13);
        p.setFont(cell);
        const int first = page * kPerPage + 1;
        const int y0 = geo.top + 700;
        for (int j = 0; j <= kPerPage && first + j - 1 < g.rows(); ++j) {
            const int r = j == 0 ? 0 : first + j - 1;
            const double y = (y0 + 240 * j) * k;
            p.drawLine(QPointF(geo.left * k, y - 2), QPointF(geo.width * k, y - 2));
            int x = geo.left;
            for (int c = 0; c < g.cols(); ++c) {
                p.drawText(QPointF(x * k, y + 12), g.text(r, c));
                x += g.colWidth(c);
            }
        }
        benchmark::DoNotOptimize(img.bits());
        page ^= 1;
    }
}

} // namespace

BENCHMARK(BM_PrintPdf)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond)->MinTime(0.5);
BENCHMARK(BM_PrintPdfByHand)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond)->MinTime(0.5);
BENCHMARK(BM_PreviewPageTurn)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PreviewPageByHand)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);
