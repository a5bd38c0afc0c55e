// The record store against SQLite used by hand on the same file: walking a
// class table through the cursor, appending rows one committed Update each,
// and changing one score in a class, at the usual size and at ten times it.
// Each baseline (BM_Hand...) does by hand the per-row work of the store call
// it is set against: texts decoded from UTF-8 into QStrings, numbers checked
// and formatted, values kept for the caller; a BM_Floor_... leaves that work
// out and shows what SQLite alone costs. The files live in the system's
// temporary folder, on a real disk here, so every commit pays for its
// flushes as it does in a teacher's data folder.
#include "store/Schema.h"
#include "store/Store.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cmath>
#include <map>
#include <memory>
#include <optional>
#include <sqlite3.h>
#include <vector>

namespace {

const QString kClass = QStringLiteral("高一(1)班");

struct ClassFile {
    QTemporaryDir dir;
    QString path;
    explicit ClassFile(int rows) {
        path = dir.filePath(QStringLiteral("cCj218.mdb"));
        store::Database db = store::Database::Create(path);
        db.CreateTable(kClass, store::classTableFields());
        db.CreateTable(QStringLiteral("append"), store::classTableFields());
        auto rs = store::Recordset::OpenTable(db, kClass);
        db.beginTransaction();
        for (int i = 0; i < rows; ++i) {
            rs->AddNew();
            rs->SetField(1, QStringLiteral("学生%1").arg(i));
            rs->SetField(2, QString::number(10001 + i));
            for (int k = 0; k < 13; ++k)
                rs->SetField(3 + k, QString::number((i * 7 + k * 13) % 100) + ".5");
            rs->Update();
        }
        db.commit();
    }
};

// One file per class size, made on first use and kept for the whole run.
ClassFile& file(int rows) {
    static std::map<int, std::unique_ptr<ClassFile>> files;
    auto& f = files[rows];
    if (!f) f = std::make_unique<ClassFile>(rows);
    return *f;
}

// Opens the table (as every window operation does) and walks it.
void BM_CursorWalk(benchmark::State& state) {
    const int rows = int(state.range(0));
    const QString path = file(rows).path;
    // The program keeps its database files open while it runs; so does this.
    const store::Database keepOpen = store::Database::OpenDatabase(path);
    for (auto _ : state) {
        auto rs = store::Recordset::OpenTable(path, kClass);
        qint64 sum = 0;
        int n = 0;
        for (rs->MoveFirst(); !rs->isEOF(); rs->MoveNext()) {
            sum += rs->Fields(1).toString().size() + rs->Fields(2).toString().size();
            for (int k = 3; k < 16; ++k)
                sum += rs->currency(k).value_or(store::Currency()).raw();
            ++n;
        }
        if (n != rows) state.SkipWithError("wrong row count");
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * rows);
}
BENCHMARK(BM_CursorWalk)->Arg(20000)->Arg(200000)->Unit(benchmark::kMillisecond);

// The whole snapshot as the cursor keeps it, by hand: every row with its
// key, its three texts as QStrings and its thirteen scores as counts.
struct HandRow {
    qint64 rowid = 0;
    QString texts[3];
    qint64 scores[13] = {};
};

const char* const kSelectClass =
    "SELECT rowid,\"内容\",\"姓名\",\"编号\",js0,js1,js2,js3,js4,js5,js6,js7,js8,js9,js10,js11,js12 "
    "FROM \"高一(1)班\" ORDER BY rowid";

sqlite3* openByHand(const QString& path, int flags) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &db, flags, nullptr);
    sqlite3_busy_timeout(db, 5000);
    return db;
}

// The baseline for BM_CursorWalk: the same reads of the table's fields and
// size, every row decoded and kept (texts into QStrings, scores as counts,
// a score stored as a double rounded as the cursor rounds it), then the same
// walk over what was kept.
void BM_HandWalk(benchmark::State& state) {
    const int rows = int(state.range(0));
    sqlite3* db = openByHand(file(rows).path, SQLITE_OPEN_READONLY);
    for (auto _ : state) {
        // What opening a table asks first: the table, its fields, its size.
        for (const char* sql : {"SELECT name FROM sqlite_master WHERE type='table' ORDER BY rowid",
                                "PRAGMA table_info(\"高一(1)班\")", "SELECT count(*) FROM \"高一(1)班\""}) {
            sqlite3_stmt* st = nullptr;
            sqlite3_prepare_v2(db, sql, -1, &st, nullptr);
            qint64 seen = 0;
            while (sqlite3_step(st) == SQLITE_ROW)
                seen += sqlite3_column_bytes(st, 0);
            sqlite3_finalize(st);
            benchmark::DoNotOptimize(seen);
        }
        std::vector<HandRow> kept;
        kept.reserve(rows);
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db, kSelectClass, -1, &st, nullptr);
        while (sqlite3_step(st) == SQLITE_ROW) {
            HandRow& r = kept.emplace_back();
            r.rowid = sqlite3_column_int64(st, 0);
            for (int t = 0; t < 3; ++t)
                if (sqlite3_column_type(st, 1 + t) != SQLITE_NULL)
                    r.texts[t] =
                        QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 1 + t)),
                                          sqlite3_column_bytes(st, 1 + t));
            for (int k = 0; k < 13; ++k) {
                const int col = 4 + k;
                r.scores[k] = sqlite3_column_type(st, col) == SQLITE_FLOAT
                                  ? qint64(std::llround(sqlite3_column_double(st, col)))
                                  : sqlite3_column_int64(st, col);
            }
        }
        sqlite3_finalize(st);
        qint64 sum = 0;
        for (const HandRow& r : kept) {
            sum += r.texts[1].size() + r.texts[2].size();
            for (qint64 score : r.scores)
                sum += score;
        }
        if (int(kept.size()) != rows) state.SkipWithError("wrong row count");
        benchmark::DoNotOptimize(sum);
    }
    sqlite3_close(db);
    state.SetItemsProcessed(state.iterations() * rows);
}
BENCHMARK(BM_HandWalk)->Arg(20000)->Arg(200000)->Unit(benchmark::kMillisecond);

// A floor, not a baseline: the rows stepped and their values read where
// SQLite holds them, without a string decoded or a row kept.
void BM_Floor_StepOnly(benchmark::State& state) {
    const int rows = int(state.range(0));
    sqlite3* db = openByHand(file(rows).path, SQLITE_OPEN_READONLY);
    for (auto _ : state) {
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db, kSelectClass, -1, &st, nullptr);
        qint64 sum = 0;
        int n = 0;
        while (sqlite3_step(st) == SQLITE_ROW) {
            for (int c = 1; c <= 3; ++c)
                sum += sqlite3_column_bytes(st, c);
            for (int k = 4; k < 17; ++k)
                sum += sqlite3_column_int64(st, k);
            ++n;
        }
        sqlite3_finalize(st);
        if (n != rows) state.SkipWithError("wrong row count");
        benchmark::DoNotOptimize(sum);
    }
    sqlite3_close(db);
    state.SetItemsProcessed(state.iterations() * rows);
}
BENCHMARK(BM_Floor_StepOnly)->Arg(20000)->Arg(200000)->Unit(benchmark::kMillisecond);

// Appends `range(0)` students one committed Update each (a batch typed in or
// pasted), into a file that holds a 20,000-student class.
void BM_AppendCommitted(benchmark::State& state) {
    const int count = int(state.range(0));
    const QString path = file(20000).path;
    for (auto _ : state) {
        auto rs = store::Recordset::OpenTable(path, QStringLiteral("append"));
        for (int i = 0; i < count; ++i) {
            rs->AddNew();
            rs->SetField(1, QStringLiteral("学生%1").arg(i));
            rs->SetField(2, QString::number(10001 + rs->RecordCount()));
            if (!rs->Update()) state.SkipWithError("update failed");
        }
    }
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_AppendCommitted)->Arg(1000)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AppendCommitted)->Arg(10000)->Iterations(1)->Unit(benchmark::kMillisecond);

// A connection kept as the store keeps its own: a rollback journal and a
// full sync, so every commit is on disk before it returns.
sqlite3* openForWriting(const QString& path) {
    sqlite3* db = openByHand(path, SQLITE_OPEN_READWRITE);
    sqlite3_exec(db, "PRAGMA journal_mode=DELETE; PRAGMA synchronous=FULL", nullptr, nullptr, nullptr);
    return db;
}

// Characters as the store counts them for a text field's limit.
qsizetype characters(const QString& s) {
    return s.size() - std::count_if(s.begin(), s.end(), [](QChar c) { return c.isLowSurrogate(); });
}

// The baseline for BM_AppendCommitted: the same rows, each formatted,
// checked against its field's length, inserted and committed on its own,
// and kept with its new key as the cursor keeps what it appended.
void BM_HandAppendCommitted(benchmark::State& state) {
    const int count = int(state.range(0));
    sqlite3* db = openForWriting(file(20000).path);
    sqlite3_stmt* ins = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO \"append\" (\"姓名\",\"编号\") VALUES (?,?)", -1, &ins, nullptr);
    for (auto _ : state) {
        struct Kept {
            qint64 rowid;
            QString name, number;
        };
        std::vector<Kept> kept;
        for (int i = 0; i < count; ++i) {
            Kept k{0, QStringLiteral("学生%1").arg(i), QString::number(10001 + i)};
            if (characters(k.name) > 50 || characters(k.number) > 10) state.SkipWithError("too long");
            const QByteArray name = k.name.toUtf8(), number = k.number.toUtf8();
            sqlite3_bind_text(ins, 1, name.constData(), int(name.size()), SQLITE_STATIC);
            sqlite3_bind_text(ins, 2, number.constData(), int(number.size()), SQLITE_STATIC);
            if (sqlite3_step(ins) != SQLITE_DONE) state.SkipWithError("insert failed");
            sqlite3_reset(ins);
            k.rowid = sqlite3_last_insert_rowid(db);
            kept.push_back(std::move(k));
        }
        benchmark::DoNotOptimize(kept);
    }
    sqlite3_finalize(ins);
    sqlite3_close(db);
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_HandAppendCommitted)->Arg(1000)->Iterations(3)->Unit(benchmark::kMillisecond);

// One score changed and committed, as the score window stores a typed score,
// in a class of range(0) students (the cursor is open already).
void BM_EditOneScoreCommitted(benchmark::State& state) {
    const int rows = int(state.range(0));
    const QString path = file(rows).path;
    auto rs = store::Recordset::OpenTable(path, kClass);
    rs->MoveFirst();
    for (int i = 0; i < rows / 2; ++i)
        rs->MoveNext();
    int score = 0;
    for (auto _ : state) {
        if (!rs->Edit()) state.SkipWithError("no record");
        rs->SetField(QStringLiteral("js0"), QString::number(score++ % 100) + ".25");
        if (!rs->Update()) state.SkipWithError("update failed");
    }
}
BENCHMARK(BM_EditOneScoreCommitted)->Arg(20000)->Arg(200000)->Iterations(200)->Unit(benchmark::kMillisecond);

// The baseline for BM_EditOneScoreCommitted: the typed text read as an
// amount, written to the record by its key and committed, the kept value
// changed once the file has it.
void BM_HandEditOneScoreCommitted(benchmark::State& state) {
    const int rows = int(state.range(0));
    sqlite3* db = openForWriting(file(rows).path);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, "SELECT rowid FROM \"高一(1)班\" ORDER BY rowid LIMIT 1 OFFSET ?", -1, &st,
                       nullptr);
    sqlite3_bind_int(st, 1, rows / 2);
    sqlite3_step(st);
    const qint64 rowid = sqlite3_column_int64(st, 0);
    sqlite3_finalize(st);
    sqlite3_stmt* upd = nullptr;
    sqlite3_prepare_v2(db, "UPDATE \"高一(1)班\" SET js0=? WHERE rowid=?", -1, &upd, nullptr);
    qint64 keptScore = 0;
    int score = 0;
    for (auto _ : state) {
        const std::optional<store::Currency> value =
            store::Currency::parse(QString::number(score++ % 100) + QStringLiteral(".25"));
        if (!value) state.SkipWithError("not a number");
        sqlite3_bind_int64(upd, 1, value->raw());
        sqlite3_bind_int64(upd, 2, rowid);
        if (sqlite3_step(upd) != SQLITE_DONE || sqlite3_changes(db) != 1)
            state.SkipWithError("update failed");
        sqlite3_reset(upd);
        keptScore = value->raw();
    }
    benchmark::DoNotOptimize(keptScore);
    sqlite3_finalize(upd);
    sqlite3_close(db);
}
BENCHMARK(BM_HandEditOneScoreCommitted)
    ->Arg(20000)
    ->Arg(200000)
    ->Iterations(200)
    ->Unit(benchmark::kMillisecond);

} // namespace
