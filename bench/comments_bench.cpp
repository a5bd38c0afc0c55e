// The comment phrase library at scale: 20,000 phrases (a school's shared
// library grown over years) and ten times that. The comment writer builds
// its tree when it opens: read the table, find each category's titles, fill
// the tree view. Each step is measured, beside a hand-written read of the
// same rows through SQLite that makes the same texts (the baseline of the
// read) and a hand-written title walk (the baseline of the tree).

#include "comments/model/PhraseLibrary.h"
#include "shell/ui/TreeView.h"
#include "store/Schema.h"

#include <QDir>
#include <QSet>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <map>
#include <sqlite3.h>

namespace {

// Phrases spread over the twelve categories so that every category has many
// titles (a few hundred at the larger size) and titles repeat across rows.
comments::Phrase phrase(int i) {
    const int category = i % 12 + 1;
    const int title = (i / 12) % (20 + i % 7 * 30);
    return {category, QStringLiteral("项目%1-%2").arg(category).arg(title),
            QStringLiteral("你在第%1个方面表现得很好，希望继续保持。").arg(i), QString::number(i + 1)};
}

struct Folder {
    QTemporaryDir dir;
    Folder() {
        qputenv("VELTRANO_DATA_DIR", dir.path().toUtf8());
        store::ensureDataFiles(dir.path());
    }
};

Folder& folder() {
    static Folder f;
    return f;
}

// A library file of `n` phrases, made once per size (set-up, not measured).
QString library(int n) {
    static std::map<int, QString> made;
    if (auto it = made.find(n); it != made.end()) return it->second;
    const QString sub = QDir(folder().dir.path()).filePath(QString::number(n));
    store::ensureDataFiles(sub);
    const QString path = QDir(sub).filePath(store::kCommonDb);
    sqlite3* db = nullptr;
    sqlite3_open(path.toUtf8().constData(), &db);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO \"studenPy\" VALUES (?,?,?,?)", -1, &st, nullptr);
    for (int i = 0; i < n; ++i) {
        const comments::Phrase p = phrase(i);
        const QByteArray c = QByteArray::number(p.category), t = p.title.toUtf8(), x = p.text.toUtf8();
        sqlite3_bind_text(st, 1, c.constData(), int(c.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 2, t.constData(), int(t.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 3, x.constData(), int(x.size()), SQLITE_TRANSIENT);
        sqlite3_bind_int64(st, 4, i + 1);
        sqlite3_step(st);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return made[n] = path;
}

QList<comments::Phrase> snapshot(int n) {
    QList<comments::Phrase> all;
    all.reserve(n);
    for (int i = 0; i < n; ++i)
        all << phrase(i);
    return all;
}

// Open, read and build: what the comment writer does when it opens.
void BM_LoadAndBuildTree(benchmark::State& state) {
    const QString path = library(int(state.range(0)));
    for (auto _ : state) {
        comments::PhraseLibrary lib;
        if (!lib.load(path)) state.SkipWithError("load failed");
        shell::Tree tree = lib.BuildPhraseTree();
        benchmark::DoNotOptimize(tree.count());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// Baseline of the read: the same rows through sqlite3 by hand, each
// category parsed and each text decoded into a QString as the library does.
void BM_LoadBaselineSqlite(benchmark::State& state) {
    const QString path = library(int(state.range(0)));
    for (auto _ : state) {
        sqlite3* db = nullptr;
        sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db, "SELECT \"类别\",\"标题\",\"内容\",\"序号\" FROM \"studenPy\" ORDER BY rowid",
                           -1, &st, nullptr);
        QList<comments::Phrase> rows;
        while (sqlite3_step(st) == SQLITE_ROW) {
            auto text = [&](int c) {
                return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, c)),
                                         sqlite3_column_bytes(st, c));
            };
            rows.append({text(0).trimmed().toInt(), text(1), text(2), text(3)});
        }
        sqlite3_finalize(st);
        sqlite3_close(db);
        benchmark::DoNotOptimize(rows.size());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// The tree alone, from a snapshot in memory.
void BM_BuildTree(benchmark::State& state) {
    comments::PhraseLibrary lib;
    lib.setPhrases(snapshot(int(state.range(0))));
    for (auto _ : state) {
        shell::Tree tree = lib.BuildPhraseTree();
        benchmark::DoNotOptimize(tree.count());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// Baseline of the tree: each category's distinct titles in a hash set, by
// hand, without making nodes.
void BM_BuildTreeBaselineTitles(benchmark::State& state) {
    const QList<comments::Phrase> rows = snapshot(int(state.range(0)));
    for (auto _ : state) {
        QList<QSet<QString>> seen(13);
        QList<QStringList> titles(13);
        for (const comments::Phrase& p : rows)
            if (p.category >= 1 && p.category <= 12 && !p.title.isEmpty() &&
                !seen[p.category].contains(p.title)) {
                seen[p.category].insert(p.title);
                titles[p.category] << p.title;
            }
        benchmark::DoNotOptimize(titles.size());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// Filling the window's tree view with the built tree.
void BM_TreeViewFill(benchmark::State& state) {
    comments::PhraseLibrary lib;
    lib.setPhrases(snapshot(int(state.range(0))));
    const shell::Tree tree = lib.BuildPhraseTree();
    shell::TreeView view;
    state.counters["nodes"] = tree.count();
    for (auto _ : state) {
        view.setTree(tree);
        benchmark::DoNotOptimize(view.topLevelItemCount());
    }
}

} // namespace

BENCHMARK(BM_LoadAndBuildTree)->Arg(20000)->Arg(200000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadBaselineSqlite)->Arg(20000)->Arg(200000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildTree)->Arg(20000)->Arg(200000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildTreeBaselineTitles)->Arg(20000)->Arg(200000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TreeViewFill)->Arg(20000)->Arg(200000)->Unit(benchmark::kMillisecond);
