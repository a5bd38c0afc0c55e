// The record store against a plain SQLite loop over the same file: walking a
// 20,000-row class table through the cursor, and appending rows one committed
// Update each.
#include "store/Schema.h"
#include "store/Store.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <sqlite3.h>

namespace {

constexpr int kRows = 20000;

struct ClassFile {
    QTemporaryDir dir;
    QString path;
    ClassFile() {
        path = dir.filePath(QStringLiteral("cCj218.mdb"));
        store::Database db = store::Database::Create(path);
        db.CreateTable(QStringLiteral("高一(1)班"), store::classTableFields());
        db.CreateTable(QStringLiteral("append"), store::classTableFields());
        auto rs = store::Recordset::OpenTable(db, QStringLiteral("高一(1)班"));
        db.beginTransaction();
        for (int i = 0; i < kRows; ++i) {
            rs->AddNew();
            rs->SetField(1, QStringLiteral("学生%1").arg(i));
            rs->SetField(2, QString::number(10001 + i));
            for (int k = 0; k < 13; ++k) rs->SetField(3 + k, QString::number((i * 7 + k * 13) % 100) + ".5");
            rs->Update();
        }
        db.commit();
    }
};

ClassFile& file() {
    static ClassFile f;
    return f;
}

// Opens the table (as every window operation does) and walks it.
void BM_CursorWalk(benchmark::State& state) {
    const QString path = file().path;
    // The program keeps its database files open while it runs; so does this.
    const store::Database keepOpen = store::Database::OpenDatabase(path);
    for (auto _ : state) {
        auto rs = store::Recordset::OpenTable(path, QStringLiteral("高一(1)班"));
        qint64 sum = 0;
        int n = 0;
        for (rs->MoveFirst(); !rs->isEOF(); rs->MoveNext()) {
            sum += rs->Fields(1).toString().size() + rs->Fields(2).toString().size();
            for (int k = 3; k < 16; ++k) sum += rs->currency(k).value_or(store::Currency()).raw();
            ++n;
        }
        if (n != kRows) state.SkipWithError("wrong row count");
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_CursorWalk)->Unit(benchmark::kMillisecond);

void BM_PlainSqliteWalk(benchmark::State& state) {
    const QByteArray path = file().path.toUtf8();
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    const char* sql = "SELECT rowid,\"内容\",\"姓名\",\"编号\",js0,js1,js2,js3,js4,js5,js6,js7,js8,js9,js10,js11,js12 "
                      "FROM \"高一(1)班\" ORDER BY rowid";
    for (auto _ : state) {
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db, sql, -1, &st, nullptr);
        qint64 sum = 0;
        int n = 0;
        while (sqlite3_step(st) == SQLITE_ROW) {
            // The same work a caller does: the texts as strings, the numbers as numbers.
            sum += QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 2))).size();
            sum += QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 3))).size();
            for (int k = 4; k < 17; ++k) sum += sqlite3_column_int64(st, k);
            ++n;
        }
        sqlite3_finalize(st);
        if (n != kRows) state.SkipWithError("wrong row count");
        benchmark::DoNotOptimize(sum);
    }
    sqlite3_close(db);
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_PlainSqliteWalk)->Unit(benchmark::kMillisecond);

void BM_Append1000Committed(benchmark::State& state) {
    const QString path = file().path;
    for (auto _ : state) {
        auto rs = store::Recordset::OpenTable(path, QStringLiteral("append"));
        for (int i = 0; i < 1000; ++i) {
            rs->AddNew();
            rs->SetField(1, QStringLiteral("学生%1").arg(i));
            rs->SetField(2, QString::number(10001 + rs->RecordCount()));
            if (!rs->Update()) state.SkipWithError("update failed");
        }
    }
}
BENCHMARK(BM_Append1000Committed)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
