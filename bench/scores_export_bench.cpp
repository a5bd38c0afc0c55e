// "数据导出" on big classes: the score table of 2,000 students (a whole
// grade) and of 20,000, each with 13 subjects (17 columns), written as an
// .xlsx file. Beside it, the baseline: libxlsxwriter called in a plain loop
// doing the same per-cell work by hand (UTF-8 of each text, the plain-decimal
// test, a bordered format on every cell), in both of the library's memory
// modes, so the writer's own cost shows.

#include "classes/model/ClassFiles.h"
#include "common/DataFolder.h"
#include "scores/model/ScoreExport.h"
#include "scores/model/ScoreModel.h"
#include "shell/docs/SpreadsheetWriter.h"
#include "store/Schema.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <map>
#include <memory>
#include <sqlite3.h>
#include <xlsxwriter.h>

namespace {

using bench_support::folder;

constexpr int kSubjects = 13;

// A class of `students` students with 13 subjects and a score in each
// (set-up through plain SQL, not measured), opened with its score table
// shown.
struct Shown {
    scores::ClassState cls;
    scores::ScoreModel model{cls};
};

Shown& scoreTable(int students) {
    static std::map<int, std::unique_ptr<Shown>> made;
    if (auto it = made.find(students); it != made.end()) return *it->second;
    folder();
    const QString name = QStringLiteral("年级%1").arg(students);
    scores::ClassFiles::create(name, false);
    auto shown = std::make_unique<Shown>();
    shown->model.classOpened(name);
    for (int k = 0; k < kSubjects; ++k)
        shown->model.addSubject(QStringLiteral("科目%1").arg(k), QStringLiteral("100"));
    sqlite3* h = nullptr;
    sqlite3_open(folder().db.toUtf8().constData(), &h);
    sqlite3_exec(h, "BEGIN", nullptr, nullptr, nullptr);
    QString sql = QStringLiteral("INSERT INTO \"%1\" VALUES ('你', ?, ?").arg(name);
    for (int k = 0; k < kSubjects; ++k)
        sql += QStringLiteral(", ?");
    sql += u')';
    const QByteArray q = sql.toUtf8();
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(h, q.constData(), -1, &st, nullptr);
    for (int i = 0; i < students; ++i) {
        const QByteArray student = QStringLiteral("学生%1").arg(i).toUtf8();
        const QByteArray number = QByteArray::number(100001 + i);
        sqlite3_bind_text(st, 1, student.constData(), int(student.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 2, number.constData(), int(number.size()), SQLITE_TRANSIENT);
        for (int k = 0; k < kSubjects; ++k) // halves in every other row
            sqlite3_bind_int64(st, 3 + k, (((i + 1) * (k + 7)) % 1000) * 1000LL + (i % 2) * 5000);
        sqlite3_step(st);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    sqlite3_exec(h, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(h);
    shown->model.ShowScoreTable();
    return *made.emplace(students, std::move(shown)).first->second;
}

void counters(benchmark::State& state, const shell::Grid& g) {
    state.counters["rows"] = g.rows();
    state.counters["cols"] = g.cols();
    state.counters["cells/s"] = benchmark::Counter(double(g.rows()) * g.cols() * double(state.iterations()),
                                                   benchmark::Counter::kIsRate);
}

// The whole export as the menu entry runs it: a new name in the export
// folder, the grid written from A5 with borders, the file renamed into place.
void BM_ExportScoreTable(benchmark::State& state) {
    Shown& shown = scoreTable(int(state.range(0)));
    if (shown.model.scoreGrid().rows() != state.range(0) + 1) state.SkipWithError("wrong row count");
    for (auto _ : state) {
        const scores::ExportResult out = scores::ExportScores(shown.model);
        state.PauseTiming();
        if (!out.outcome.ok) state.SkipWithError("export failed");
        QFile::remove(out.path);
        state.ResumeTiming();
    }
    counters(state, shown.model.scoreGrid());
}
BENCHMARK(BM_ExportScoreTable)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);

// The writer with the workbook kept in memory (libxlsxwriter's default
// mode), for the choice of mode.
void BM_WriterInMemory(benchmark::State& state) {
    const shell::Grid& g = scoreTable(int(state.range(0))).model.scoreGrid();
    QTemporaryDir dir;
    const QString path = dir.filePath("in-memory.xlsx");
    for (auto _ : state) {
        shell::SpreadsheetWriter book(path, {.rowsInOrder = false});
        book.setGrid(g, 5, 1, book.addStyle({.borderColor = 1}));
        if (!book.save().ok) state.SkipWithError("save failed");
        state.PauseTiming();
        QFile::remove(path);
        state.ResumeTiming();
    }
    counters(state, g);
}
BENCHMARK(BM_WriterInMemory)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);

// The baseline: libxlsxwriter alone, the same cells and the same per-cell
// work by hand. range(1): 1 = constant_memory (the export's mode), 0 = the
// default.
void BM_PlainLoop(benchmark::State& state) {
    const shell::Grid& g = scoreTable(int(state.range(0))).model.scoreGrid();
    QTemporaryDir dir;
    const QByteArray path = QFile::encodeName(dir.filePath("plain.xlsx"));
    for (auto _ : state) {
        lxw_workbook_options options{};
        options.constant_memory = state.range(1) ? LXW_TRUE : LXW_FALSE;
        lxw_workbook* book = workbook_new_opt(path.constData(), &options);
        lxw_worksheet* sheet = workbook_add_worksheet(book, nullptr);
        lxw_format* border = workbook_add_format(book);
        format_set_border(border, LXW_BORDER_THIN);
        format_set_border_color(border, LXW_COLOR_BLACK);
        for (int r = 0; r < g.rows(); ++r)
            for (int c = 0; c < g.cols(); ++c) {
                const QString text = g.text(r, c);
                if (text.isEmpty())
                    worksheet_write_blank(sheet, lxw_row_t(r + 4), lxw_col_t(c), border);
                else if (shell::SpreadsheetWriter::isPlainDecimal(text))
                    worksheet_write_number(sheet, lxw_row_t(r + 4), lxw_col_t(c), text.toDouble(), border);
                else
                    worksheet_write_string(sheet, lxw_row_t(r + 4), lxw_col_t(c), text.toUtf8().constData(),
                                           border);
            }
        if (workbook_close(book) != LXW_NO_ERROR) state.SkipWithError("close failed");
        state.PauseTiming();
        QFile::remove(QFile::decodeName(path));
        state.ResumeTiming();
    }
    counters(state, g);
}
BENCHMARK(BM_PlainLoop)
    ->ArgNames({"students", "constant_memory"})
    ->Args({2000, 1})
    ->Args({2000, 0})
    ->Args({20000, 1})
    ->Args({20000, 0})
    ->Unit(benchmark::kMillisecond);

} // namespace
