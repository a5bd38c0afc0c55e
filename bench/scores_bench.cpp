// A whole grade in one class table: 2,000 students with 13 subjects.
// Each model operation is measured beside a plain SQLite read (or insert) of
// the same rows, so the cost of the record store and the grid shows.

#include "scores/ClassFiles.h"
#include "scores/ScoreModel.h"
#include "store/Schema.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <sqlite3.h>

namespace {

constexpr int kStudents = 2000;
constexpr int kSubjects = 13;
const QString kClass = QStringLiteral("年级");

// One data folder with the big class, made once for every benchmark.
struct Grade {
    QTemporaryDir dir;
    QString db;
    Grade() {
        qputenv("VELTRANO_DATA_DIR", dir.path().toUtf8());
        store::ensureDataFiles(dir.path());
        db = QDir(dir.path()).filePath(store::kClassDb);
        scores::ClassFiles::create(kClass, false);
        scores::ClassState cls;
        scores::ScoreModel m(cls);
        m.classOpened(kClass);
        for (int k = 0; k < kSubjects; ++k) m.addSubject(QStringLiteral("科目%1").arg(k), QStringLiteral("100"));
        m.addBatch(QStringLiteral("100001"), QStringLiteral("1000"));
        m.addBatch(QStringLiteral("101001"), QStringLiteral("1000"));
        // Scores through plain SQL in one transaction: set-up, not measured.
        sqlite3* h = nullptr;
        sqlite3_open(db.toUtf8().constData(), &h);
        sqlite3_exec(h, "BEGIN", nullptr, nullptr, nullptr);
        QString sql = QStringLiteral("UPDATE \"%1\" SET ").arg(kClass);
        for (int k = 0; k < kSubjects; ++k)
            sql += QStringLiteral("%1js%2 = ((rowid * %3) % 1000) * 1000").arg(k ? "," : "").arg(k).arg(k + 7);
        sql += QStringLiteral(" WHERE \"编号\" NOT LIKE 'listKM%'");
        sqlite3_exec(h, sql.toUtf8().constData(), nullptr, nullptr, nullptr);
        sqlite3_exec(h, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close(h);
    }
};

Grade& grade() {
    static Grade g;
    return g;
}

sqlite3* openPlain() {
    sqlite3* h = nullptr;
    sqlite3_open(grade().db.toUtf8().constData(), &h);
    sqlite3_exec(h, "PRAGMA synchronous=FULL", nullptr, nullptr, nullptr);
    return h;
}

void removeRowsAfter(sqlite3* h, long long rowid) {
    const QString sql = QStringLiteral("DELETE FROM \"%1\" WHERE rowid > %2").arg(kClass).arg(rowid);
    sqlite3_exec(h, sql.toUtf8().constData(), nullptr, nullptr, nullptr);
}

long long lastRowid(sqlite3* h) {
    sqlite3_stmt* st = nullptr;
    const QByteArray sql = QStringLiteral("SELECT max(rowid) FROM \"%1\"").arg(kClass).toUtf8();
    sqlite3_prepare_v2(h, sql.constData(), -1, &st, nullptr);
    sqlite3_step(st);
    const long long id = sqlite3_column_int64(st, 0);
    sqlite3_finalize(st);
    return id;
}

// Opening the class (roster and settings) and showing the score table.
void BM_OpenAndFill(benchmark::State& state) {
    grade();
    int rows = 0;
    for (auto _ : state) {
        // A model of its own each time: nothing of the class is in memory yet.
        scores::ClassState cls;
        scores::ScoreModel m(cls);
        m.classOpened(kClass);
        m.ShowScoreTable();
        rows = m.scoreGrid().rows() - 1;
        benchmark::DoNotOptimize(rows);
    }
    state.counters["rows"] = rows;
}
BENCHMARK(BM_OpenAndFill)->Unit(benchmark::kMillisecond);

// The same rows read as text with SQLite alone, the file opened each time
// as the class is above.
void BM_PlainRead(benchmark::State& state) {
    const QByteArray sql = QStringLiteral("SELECT * FROM \"%1\" ORDER BY rowid").arg(kClass).toUtf8();
    for (auto _ : state) {
        sqlite3* h = openPlain();
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(h, sql.constData(), -1, &st, nullptr);
        size_t bytes = 0;
        while (sqlite3_step(st) == SQLITE_ROW)
            for (int c = 0; c < 16; ++c) {
                benchmark::DoNotOptimize(sqlite3_column_text(st, c));
                bytes += size_t(sqlite3_column_bytes(st, c));
            }
        sqlite3_finalize(st);
        sqlite3_close(h);
        benchmark::DoNotOptimize(bytes);
    }
}
BENCHMARK(BM_PlainRead)->Unit(benchmark::kMillisecond);

// One score stored (committed to disk) and the score table refilled.
void BM_StoreScoreAndRefill(benchmark::State& state) {
    grade();
    scores::ClassState cls;
    scores::ScoreModel m(cls);
    m.classOpened(kClass);
    m.ShowScoreTable();
    m.chooseEntrySubject(5);
    int i = 0;
    for (auto _ : state) {
        const auto o = m.storeScore(QStringLiteral("科目5"), false, QStringLiteral("101500"),
                                    QString::number(60 + (i++ % 40)));
        if (!o.ok) state.SkipWithError("score not stored");
    }
}
BENCHMARK(BM_StoreScoreAndRefill)->Unit(benchmark::kMillisecond);

// The same single update with SQLite alone.
void BM_PlainUpdateOne(benchmark::State& state) {
    sqlite3* h = openPlain();
    const QByteArray sql = QStringLiteral("UPDATE \"%1\" SET js5=? WHERE \"编号\"='101500'").arg(kClass).toUtf8();
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(h, sql.constData(), -1, &st, nullptr);
    int i = 0;
    for (auto _ : state) {
        sqlite3_bind_int64(st, 1, (60 + (i++ % 40)) * 10000LL);
        sqlite3_step(st);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    sqlite3_close(h);
}
BENCHMARK(BM_PlainUpdateOne)->Unit(benchmark::kMillisecond);

// A numbered batch of 500 students in one transaction, with the roster
// reloaded after it, as the teacher sees it.
void BM_BatchAdd500(benchmark::State& state) {
    grade();
    scores::ClassState cls;
    scores::ScoreModel m(cls);
    m.classOpened(kClass);
    sqlite3* h = openPlain();
    const long long keep = lastRowid(h);
    for (auto _ : state) {
        const auto o = m.addBatch(QStringLiteral("500001"), QStringLiteral("500"));
        if (!o.ok) state.SkipWithError("batch refused");
        state.PauseTiming();
        removeRowsAfter(h, keep);
        state.ResumeTiming();
    }
    sqlite3_close(h);
}
BENCHMARK(BM_BatchAdd500)->Unit(benchmark::kMillisecond);

// The same 500 rows inserted with SQLite alone, in one transaction.
void BM_PlainInsert500(benchmark::State& state) {
    sqlite3* h = openPlain();
    const long long keep = lastRowid(h);
    QString sql = QStringLiteral("INSERT INTO \"%1\" VALUES ('你','XXX',?").arg(kClass);
    for (int k = 0; k < kSubjects; ++k) sql += QStringLiteral(",0");
    sql += u')';
    const QByteArray q = sql.toUtf8();
    for (auto _ : state) {
        sqlite3_exec(h, "BEGIN", nullptr, nullptr, nullptr);
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(h, q.constData(), -1, &st, nullptr);
        for (int i = 0; i < 500; ++i) {
            const QByteArray number = QByteArray::number(500001 + i);
            sqlite3_bind_text(st, 1, number.constData(), int(number.size()), SQLITE_TRANSIENT);
            sqlite3_step(st);
            sqlite3_reset(st);
        }
        sqlite3_finalize(st);
        sqlite3_exec(h, "COMMIT", nullptr, nullptr, nullptr);
        state.PauseTiming();
        removeRowsAfter(h, keep);
        state.ResumeTiming();
    }
    sqlite3_close(h);
}
BENCHMARK(BM_PlainInsert500)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
