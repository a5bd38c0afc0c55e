// The record store against a plain SQLite loop over the same file: walking a
// class table through the cursor, appending rows one committed Update each,
// and changing one score in a class, at the usual size and at ten times it.
// The files live in the system's temporary folder, on a real disk here, so
// every commit pays for its flushes as it does in a teacher's data folder.
#include "store/Schema.h"
#include "store/Store.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <map>
#include <memory>
#include <sqlite3.h>

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

void BM_PlainSqliteWalk(benchmark::State& state) {
    const int rows = int(state.range(0));
    const QByteArray path = file(rows).path.toUtf8();
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    const char* sql =
        "SELECT rowid,\"内容\",\"姓名\",\"编号\",js0,js1,js2,js3,js4,js5,js6,js7,js8,js9,js10,js11,js12 "
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
BENCHMARK(BM_PlainSqliteWalk)->Arg(20000)->Arg(200000)->Unit(benchmark::kMillisecond);

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

} // namespace
