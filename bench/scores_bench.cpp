// The score manager on big classes: a whole grade (2,000 students), a
// school's intake kept in one class (20,000) and ten times that (200,000),
// each with 13 subjects. Each model operation is measured beside a plain
// SQLite read (or write) of the same rows, so the cost of the record store,
// the grid and the view shows.

#include "classes/model/ClassFiles.h"
#include "common/DataFolder.h"
#include "scores/model/ScoreModel.h"
#include "scores/ui/frmStudenCJ.h"
#include "shell/ui/GridView.h"
#include "store/Schema.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <map>
#include <sqlite3.h>

namespace {

using bench_support::folder;

constexpr int kSubjects = 13;

QString className(int students) {
    return QStringLiteral("年级%1").arg(students);
}

// A class of `students` students with 13 subjects (weights 66.67 and 33.33
// in turn, so that totals carry four decimals) and scores in every subject.
const QString& grade(int students) {
    static std::map<int, QString> made;
    if (auto it = made.find(students); it != made.end()) return it->second;
    folder(); // the data folder first: class files are made in it
    const QString name = className(students);
    scores::ClassFiles::create(name, false);
    {
        scores::ClassState cls;
        scores::ScoreModel m(cls);
        m.classOpened(name);
        for (int k = 0; k < kSubjects; ++k)
            m.addSubject(QStringLiteral("科目%1").arg(k), QStringLiteral("100"));
    }
    // Students, weights and scores through plain SQL in one transaction:
    // set-up, not measured.
    sqlite3* h = nullptr;
    sqlite3_open(folder().db.toUtf8().constData(), &h);
    sqlite3_exec(h, "BEGIN", nullptr, nullptr, nullptr);
    const QByteArray weights =
        QStringLiteral("UPDATE \"%1\" SET js2 = CASE WHEN rowid % 2 THEN 666700 ELSE 333300 END "
                       "WHERE \"编号\" LIKE 'listKM%'")
            .arg(name)
            .toUtf8();
    sqlite3_exec(h, weights.constData(), nullptr, nullptr, nullptr);
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
        for (int k = 0; k < kSubjects; ++k)
            sqlite3_bind_int64(st, 3 + k, (((i + 1) * (k + 7)) % 1000) * 1000LL + (i % 2) * 5000);
        sqlite3_step(st);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    sqlite3_exec(h, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(h);
    return made.emplace(students, name).first->second;
}

sqlite3* openPlain() {
    sqlite3* h = nullptr;
    sqlite3_open(folder().db.toUtf8().constData(), &h);
    sqlite3_exec(h, "PRAGMA synchronous=FULL", nullptr, nullptr, nullptr);
    return h;
}

void removeRowsAfter(sqlite3* h, const QString& table, long long rowid) {
    const QString sql = QStringLiteral("DELETE FROM \"%1\" WHERE rowid > %2").arg(table).arg(rowid);
    sqlite3_exec(h, sql.toUtf8().constData(), nullptr, nullptr, nullptr);
}

long long lastRowid(sqlite3* h, const QString& table) {
    sqlite3_stmt* st = nullptr;
    const QByteArray sql = QStringLiteral("SELECT max(rowid) FROM \"%1\"").arg(table).toUtf8();
    sqlite3_prepare_v2(h, sql.constData(), -1, &st, nullptr);
    sqlite3_step(st);
    const long long id = sqlite3_column_int64(st, 0);
    sqlite3_finalize(st);
    return id;
}

// The score window's grid: shown offscreen, given every grid the model
// announces, as the window does.
struct ShownGrid {
    shell::GridView view;
    ShownGrid() {
        view.resize(1000, 600);
        view.show();
        QCoreApplication::processEvents();
    }
    void follow(scores::ScoreModel& m) {
        QObject::connect(&m, &scores::ScoreModel::scoreGridChanged, &view,
                         [this, &m] { view.setGrid(m.scoreGrid()); });
    }
};

// Opening the class as the class-file window hands it back: the roster
// read and shown (with the settings).
void BM_OpenClass(benchmark::State& state) {
    const QString& name = grade(int(state.range(0)));
    ShownGrid shown;
    int rows = 0;
    for (auto _ : state) {
        // A model of its own each time: nothing of the class is in memory yet.
        scores::ClassState cls;
        scores::ScoreModel m(cls);
        shown.follow(m);
        m.classOpened(name);
        QCoreApplication::processEvents(); // the repaint
        rows = shown.view.model()->rowCount() - 1;
    }
    if (rows != state.range(0)) state.SkipWithError("wrong row count");
    state.counters["rows"] = rows;
}
BENCHMARK(BM_OpenClass)->Arg(20000)->Arg(200000)->Unit(benchmark::kMillisecond);

// The same in the score window itself, as the class-file window's hand-back
// runs it: from the hand-back to the last repaint. The window is made and
// shown outside the timing.
void BM_OpenClassInScoreWindow(benchmark::State& state) {
    const QString& name = grade(int(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        scores::ClassState cls;
        scores::ScoreModel m(cls);
        auto* w = new scores::frmStudenCJ(m);
        w->show();
        QCoreApplication::processEvents();
        state.ResumeTiming();
        w->classHandedBack(name, false);
        QCoreApplication::processEvents();
        state.PauseTiming();
        if (w->grid()->model()->rowCount() != state.range(0) + 1) state.SkipWithError("wrong row count");
        delete w;
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenClassInScoreWindow)->Arg(20000)->Arg(200000)->Unit(benchmark::kMillisecond);

// Opening the class and showing its score table ("个人成绩").
void BM_OpenAndShowScores(benchmark::State& state) {
    const QString& name = grade(int(state.range(0)));
    ShownGrid shown;
    for (auto _ : state) {
        scores::ClassState cls;
        scores::ScoreModel m(cls);
        shown.follow(m);
        m.classOpened(name);
        m.ShowScoreTable();
        QCoreApplication::processEvents();
    }
    if (shown.view.grid().rows() != state.range(0) + 1) state.SkipWithError("wrong row count");
}
BENCHMARK(BM_OpenAndShowScores)->Arg(20000)->Arg(200000)->Unit(benchmark::kMillisecond);

// A floor, not a baseline: the same rows stepped with SQLite alone, the file
// opened each time as the class is above, without turning a byte into a
// string or a number into text.
void BM_Floor_PlainRead(benchmark::State& state) {
    const QString& name = grade(int(state.range(0)));
    const QByteArray sql = QStringLiteral("SELECT * FROM \"%1\" ORDER BY rowid").arg(name).toUtf8();
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
BENCHMARK(BM_Floor_PlainRead)->Arg(2000)->Arg(20000)->Arg(200000)->Unit(benchmark::kMillisecond);

// The baseline for opening a class and filling its score table: SQLite
// alone, doing by hand the per-row work the score table does (UTF-8 names
// and numbers into strings, each score as its shortest text, the weighted
// total with equal weights, a row of cell texts).
void BM_HandRead(benchmark::State& state) {
    const QString& name = grade(int(state.range(0)));
    const QByteArray sql = QStringLiteral("SELECT * FROM \"%1\" ORDER BY rowid").arg(name).toUtf8();
    const store::Currency weight = store::Currency::fromInt(1);
    for (auto _ : state) {
        sqlite3* h = openPlain();
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(h, sql.constData(), -1, &st, nullptr);
        QList<QStringList> rows;
        while (sqlite3_step(st) == SQLITE_ROW) {
            QStringList row;
            row.reserve(3 + kSubjects + 1);
            for (int c = 1; c <= 2; ++c)
                row << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, c)),
                                         sqlite3_column_bytes(st, c));
            if (row[1].startsWith(u"listKM")) continue;
            scores::WideAmount total;
            for (int k = 0; k < kSubjects; ++k) {
                const store::Currency score = store::Currency::fromRaw(sqlite3_column_int64(st, 3 + k));
                row << score.toString();
                total += scores::WideAmount::weighted(score, weight);
            }
            row << total.toString();
            rows << row;
        }
        sqlite3_finalize(st);
        sqlite3_close(h);
        benchmark::DoNotOptimize(rows);
    }
}
BENCHMARK(BM_HandRead)->Arg(2000)->Arg(20000)->Arg(200000)->Unit(benchmark::kMillisecond);

// One score stored (committed to disk) and the score table refilled, as
// "确定" of the entry frame does; with range(1) = 1 the refilled table is
// also shown and repainted in a grid view of 1000 x 600 pixels.
void BM_StoreScoreAndRefill(benchmark::State& state) {
    const int students = int(state.range(0));
    const QString& name = grade(students);
    ShownGrid shown;
    scores::ClassState cls;
    scores::ScoreModel m(cls);
    if (state.range(1)) shown.follow(m);
    m.classOpened(name);
    m.ShowScoreTable();
    m.chooseEntrySubject(5);
    const QString student = QString::number(100001 + students / 2);
    int i = 0;
    for (auto _ : state) {
        const auto o =
            m.storeScore(QStringLiteral("科目5"), false, student, QString::number(60 + (i++ % 40)));
        if (state.range(1)) QCoreApplication::processEvents();
        if (!o.ok) state.SkipWithError("score not stored");
    }
}
BENCHMARK(BM_StoreScoreAndRefill)
    ->ArgNames({"students", "shown"})
    ->Args({2000, 0})
    ->Args({2000, 1})
    ->Args({20000, 0})
    ->Args({20000, 1})
    ->Unit(benchmark::kMillisecond);

// A floor: the same single update with SQLite alone, without the table
// read again that the model's refill does; what the disk alone costs.
void BM_Floor_UpdateOne(benchmark::State& state) {
    const int students = int(state.range(0));
    const QString& name = grade(students);
    sqlite3* h = openPlain();
    const QByteArray sql = QStringLiteral("UPDATE \"%1\" SET js5=? WHERE \"编号\"='%2'")
                               .arg(name)
                               .arg(100001 + students / 2)
                               .toUtf8();
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
BENCHMARK(BM_Floor_UpdateOne)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);

// A numbered batch of 500 students in one transaction, with the roster
// reloaded after it, as the teacher sees it.
void BM_BatchAdd500(benchmark::State& state) {
    const QString& name = grade(2000);
    scores::ClassState cls;
    scores::ScoreModel m(cls);
    m.classOpened(name);
    sqlite3* h = openPlain();
    const long long keep = lastRowid(h, name);
    for (auto _ : state) {
        const auto o = m.addBatch(QStringLiteral("500001"), QStringLiteral("500"));
        if (!o.ok) state.SkipWithError("batch refused");
        state.PauseTiming();
        removeRowsAfter(h, name, keep);
        state.ResumeTiming();
    }
    sqlite3_close(h);
}
BENCHMARK(BM_BatchAdd500)->Unit(benchmark::kMillisecond);

// A floor: the same 500 rows inserted with SQLite alone, in one
// transaction, without the checks and the roster read again.
void BM_Floor_Insert500(benchmark::State& state) {
    const QString& name = grade(2000);
    sqlite3* h = openPlain();
    const long long keep = lastRowid(h, name);
    QString sql = QStringLiteral("INSERT INTO \"%1\" VALUES ('你','XXX',?").arg(name);
    for (int k = 0; k < kSubjects; ++k)
        sql += QStringLiteral(",0");
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
        removeRowsAfter(h, name, keep);
        state.ResumeTiming();
    }
    sqlite3_close(h);
}
BENCHMARK(BM_Floor_Insert500)->Unit(benchmark::kMillisecond);

} // namespace
