// The plan and summary writers at scale: a statement library of 20,000 (and
// 200,000) openings of one type listed the way the writer does it (the
// table opened, its records read by field name, the titles of the type put
// into the list; the editor's numbers into its grid), and an article of 200
// (and 2,000) paragraphs written as RTF. BM_Hand... do the same per-row work
// by hand: SQLite read directly, every text decoded into a QString, the same
// filter, the same list or grid fill; the RTF one escapes and indents each
// paragraph itself from a list of strings.
#include "compose/model/Statements.h"
#include "shell/core/StatementTable.h"
#include "shell/docs/Article.h"
#include "shell/docs/RtfWriter.h"
#include "shell/ui/NumberGrid.h"
#include "store/Schema.h"
#include "store/Store.h"

#include <QDir>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <benchmark/benchmark.h>
#include <map>
#include <memory>
#include <sqlite3.h>

namespace {

struct Library {
    QTemporaryDir dir;
    explicit Library(int rows) {
        store::ensureDataFiles(dir.path());
        store::Database db = store::Database::OpenDatabase(dir.filePath(store::kPlanDb));
        auto rs = store::Recordset::OpenTable(db, QStringLiteral("jhStartData"));
        for (rs->MoveFirst(); !rs->isEOF();)
            rs->Delete();
        db.beginTransaction();
        for (int i = 0; i < rows; ++i) {
            rs->AddNew();
            // Four in five are of the type listed.
            rs->SetField(0, i % 5 ? QStringLiteral("倡议型") : QStringLiteral("详述型"));
            rs->SetField(1, QStringLiteral("开头语句第%1条").arg(i));
            rs->SetField(2,
                         QStringLiteral("新学期，让我们携手努力，为每一位学生的进步而奋斗！（%1）").arg(i));
            rs->SetField(3, i + 1);
            rs->Update();
        }
        db.commit();
    }
};

Library& library(int rows) {
    static std::map<int, std::unique_ptr<Library>> made;
    auto& l = made[rows];
    if (!l) l = std::make_unique<Library>(rows);
    return *l;
}

// The opening list of a type: StatementLibrary::titles into the list box.
void BM_OpeningListFill(benchmark::State& state) {
    Library& lib = library(int(state.range(0)));
    const compose::StatementLibrary plan(compose::Writer::Plan, lib.dir.path());
    QListWidget list;
    for (auto _ : state) {
        list.clear();
        list.addItems(plan.titles(compose::Stage::Start, {QStringLiteral("倡议型")}));
        benchmark::DoNotOptimize(list.count());
    }
    state.counters["items"] = list.count();
}
BENCHMARK(BM_OpeningListFill)->Arg(20000)->Arg(200000)->Unit(benchmark::kMillisecond);

// The editor's "序号"/"编号" grid of a type.
void BM_EditorGridFill(benchmark::State& state) {
    Library& lib = library(int(state.range(0)));
    compose::LibraryEditor editor(compose::Writer::Plan, lib.dir.path());
    editor.selectLibrary(QStringLiteral("开头语句"));
    shell::NumberGrid grid;
    for (auto _ : state) {
        editor.selectType(QStringLiteral("倡议型"));
        grid.setGrid(editor.grid());
        benchmark::DoNotOptimize(grid.grid().rows());
    }
}
BENCHMARK(BM_EditorGridFill)->Arg(20000)->Arg(200000)->Unit(benchmark::kMillisecond);

// By hand: the four fields read straight from SQLite, decoded, filtered and
// put into the list.
void BM_HandOpeningListFill(benchmark::State& state) {
    Library& lib = library(int(state.range(0)));
    const QByteArray path = QDir(lib.dir.path()).filePath(store::kPlanDb).toUtf8();
    QListWidget list;
    for (auto _ : state) {
        sqlite3* db = nullptr;
        sqlite3_open_v2(path.constData(), &db, SQLITE_OPEN_READONLY, nullptr);
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(
            db, "SELECT \"类别\", \"标题\", \"内容\", \"序号\" FROM \"jhStartData\" ORDER BY rowid", -1, &st,
            nullptr);
        QStringList titles;
        const QString type = QStringLiteral("倡议型");
        while (sqlite3_step(st) == SQLITE_ROW) {
            const auto text = [&](int c) {
                return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, c)),
                                         sqlite3_column_bytes(st, c));
            };
            const QString category = text(0), title = text(1), body = text(2);
            const qint64 number = sqlite3_column_int64(st, 3);
            benchmark::DoNotOptimize(body);
            benchmark::DoNotOptimize(number);
            if (category == type && !title.isEmpty()) titles << title;
        }
        sqlite3_finalize(st);
        sqlite3_close(db);
        list.clear();
        list.addItems(titles);
        benchmark::DoNotOptimize(list.count());
    }
}
BENCHMARK(BM_HandOpeningListFill)->Arg(20000)->Arg(200000)->Unit(benchmark::kMillisecond);

QStringList paragraphs(int n) {
    QStringList p;
    for (int i = 0; i < n; ++i)
        p << QStringLiteral(
                 "第%1段：认真钻研教材，精心设计每一节课，做到目标明确、重点突出，课后及时反思{改进}。")
                 .arg(i);
    return p;
}

// An article of n indented paragraphs as RTF.
void BM_ArticleToRtf(benchmark::State& state) {
    shell::Article a;
    a.replaceAll(paragraphs(int(state.range(0))).join(u'\n'));
    for (QTextBlock b = a.document()->begin(); b.isValid(); b = b.next())
        a.setIndentsAt(b.position(), 550, 0);
    for (auto _ : state) {
        const QByteArray rtf = a.toRtf();
        benchmark::DoNotOptimize(rtf.size());
    }
}
BENCHMARK(BM_ArticleToRtf)->Arg(200)->Arg(2000)->Unit(benchmark::kMillisecond);

// By hand: the same paragraphs and indents from a list of strings.
void BM_HandParagraphsToRtf(benchmark::State& state) {
    const QStringList p = paragraphs(int(state.range(0)));
    for (auto _ : state) {
        QByteArray body =
            "{\\rtf1\\ansi\\ansicpg936\\deff0\\uc1{\\fonttbl{\\f0\\fnil\\fcharset134 SimSun;}}\n";
        for (const QString& s : p)
            body += "\\pard\\fi550\\li0\\f0\\fs24 " + shell::RtfWriter::escape(s) + "\\par\n";
        body += "}\n";
        benchmark::DoNotOptimize(body.size());
    }
}
BENCHMARK(BM_HandParagraphsToRtf)->Arg(200)->Arg(2000)->Unit(benchmark::kMillisecond);

} // namespace
