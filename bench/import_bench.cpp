// Bringing a grade's class list in, and backing the files up.
//
// Refusal: the crafted files that once crashed or froze the reader
// (BM_RefuseCrafted), each told within a fraction of a second.
//
// Import: 2,000 students × 13 subjects (and ten times that) from an .xlsx
// written by the spreadsheet writer, read and written into a fresh class in
// one transaction (BM_ImportXlsx), beside reading the same file with the
// reader alone (BM_ReadXlsx, a floor: no checks, no writes).
//
// Backup: a 50 MB database (and 500 MB) copied with SQLite's online backup
// (BM_Backup), beside a plain copy of the file (BM_FileCopyFloor, a floor:
// it neither reads pages through SQLite nor takes a lock).

#include "classes/model/ClassFiles.h"
#include "scores/model/ScoreImport.h"
#include "shell/core/TableFile.h"
#include "shell/docs/SpreadsheetWriter.h"
#include "store/Backup.h"
#include "store/Schema.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <map>
#include <sqlite3.h>

namespace {

constexpr int kSubjects = 13;

struct Folder {
    QTemporaryDir dir;
    Folder() {
        qputenv("VELTRANO_DATA_DIR", dir.path().toUtf8());
        store::ensureDataFiles(dir.path());
    }
    QString file(const QString& name) const { return QDir(dir.path()).filePath(name); }
};

Folder& folder() {
    static Folder f;
    return f;
}

QString subjectName(int k) {
    static const QStringList names{"语文", "数学", "英语", "物理", "化学", "生物", "政治",
                                   "历史", "地理", "音乐", "美术", "体育", "信息"};
    return names[k];
}

// The workbook of `students` students: 学号, 姓名, thirteen subjects.
const QString& workbook(int students) {
    static std::map<int, QString> made;
    if (auto it = made.find(students); it != made.end()) return it->second;
    const QString path = folder().file(QStringLiteral("名单%1.xlsx").arg(students));
    shell::SpreadsheetWriter book(path, {.rowsInOrder = true});
    book.setText(1, 1, QStringLiteral("学号"));
    book.setText(1, 2, QStringLiteral("姓名"));
    for (int k = 0; k < kSubjects; ++k)
        book.setText(1, 3 + k, subjectName(k));
    for (int s = 0; s < students; ++s) {
        book.setText(s + 2, 1, QString::number(100000 + s));
        book.setText(s + 2, 2, QStringLiteral("学生%1").arg(s));
        for (int k = 0; k < kSubjects; ++k)
            book.setNumber(s + 2, 3 + k, 40 + (s * 7 + k * 13) % 60 + 0.5 * (k % 2));
    }
    book.save();
    return made.emplace(students, path).first->second;
}

void BM_ReadXlsx(benchmark::State& state) {
    const QString& path = workbook(int(state.range(0)));
    for (auto _ : state) {
        shell::TableRows rows;
        if (!shell::readTableFile(path, rows)) state.SkipWithError("unreadable");
        benchmark::DoNotOptimize(rows.size());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ReadXlsx)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);

void BM_ImportXlsx(benchmark::State& state) {
    const QString& path = workbook(int(state.range(0)));
    static int serial = 0;
    for (auto _ : state) {
        state.PauseTiming();
        // A fresh class of thirteen subjects each time: every student is new.
        scores::ClassState cls;
        scores::ScoreModel model(cls);
        const QString name = QStringLiteral("导入%1").arg(++serial);
        scores::ClassFiles::create(name, false);
        model.classOpened(name);
        for (int k = 0; k < kSubjects; ++k)
            model.addSubject(subjectName(k), QStringLiteral("100"));
        state.ResumeTiming();

        scores::ImportRequest request;
        if (!shell::readTableFile(path, request.rows)) state.SkipWithError("unreadable");
        request.columns = scores::guessImportColumns(request.rows.value(0), model.classData());
        const scores::Outcome out = scores::importStudents(model, request);
        if (!out) state.SkipWithError(qPrintable(out.messages.join(u' ')));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ImportXlsx)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond)->Iterations(3);

// Files made to hurt the reader, each refused ("太大" or damaged): the time
// until the teacher is told. The packages come from fuzz/; the 84 MB CSV
// (83,000 lines of ten 100-character fields) is written once here.
QString craftedFile(const QString& name) {
    if (name != u"big.csv") return QStringLiteral(VELTRANO_FUZZ_DIR "/") + name;
    const QString path = folder().file(name);
    if (!QFile::exists(path)) {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly)) return {};
        QByteArray line = QByteArray(100, 'x');
        line = (line + ',').repeated(9) + line + '\n';
        for (int i = 0; i < 83000; ++i)
            f.write(line);
    }
    return path;
}

void BM_RefuseCrafted(benchmark::State& state, const char* file) {
    const QString path = craftedFile(QString::fromLatin1(file));
    for (auto _ : state) {
        shell::TableRows rows;
        if (shell::readTableFile(path, rows)) state.SkipWithError("read, not refused");
        benchmark::DoNotOptimize(rows.size());
    }
}
BENCHMARK_CAPTURE(BM_RefuseCrafted, row_two_billion, "corpus/far-row.xlsx")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RefuseCrafted, column_xfd_20000_rows, "crafted/far-column.xlsx")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RefuseCrafted, strings_80mb, "crafted/strings-bomb.xlsx")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RefuseCrafted, strings_80mb_claiming_100_bytes, "crafted/strings-bomb-lying.xlsx")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RefuseCrafted, csv_84mb, "big.csv")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RefuseCrafted, xls_breaking_freexl, "corpus/freexl-overread.xls")
    ->Unit(benchmark::kMillisecond);

// A database of about `mb` megabytes: one table of rows of 1 KB of text.
const QString& bigDatabase(int mb) {
    static std::map<int, QString> made;
    if (auto it = made.find(mb); it != made.end()) return it->second;
    const QString path = folder().file(QStringLiteral("big%1.mdb").arg(mb));
    sqlite3* h = nullptr;
    sqlite3_open(path.toUtf8().constData(), &h);
    sqlite3_exec(h, "PRAGMA journal_mode=OFF; CREATE TABLE t(v TEXT); BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(h, "INSERT INTO t VALUES (?)", -1, &st, nullptr);
    const QByteArray row(1000, 'x');
    for (int i = 0; i < mb * 1000; ++i) {
        sqlite3_bind_text(st, 1, row.constData(), int(row.size()), SQLITE_STATIC);
        sqlite3_step(st);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    sqlite3_exec(h, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(h);
    return made.emplace(mb, path).first->second;
}

void BM_Backup(benchmark::State& state) {
    const QString& db = bigDatabase(int(state.range(0)));
    const QString copy = folder().file(QStringLiteral("backup.mdb"));
    for (auto _ : state) {
        QString why;
        if (!store::backupDatabase(db, copy, &why)) state.SkipWithError(qPrintable(why));
    }
    state.SetBytesProcessed(state.iterations() * QFileInfo(db).size());
    QFile::remove(copy);
}
BENCHMARK(BM_Backup)->Arg(50)->Arg(500)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_FileCopyFloor(benchmark::State& state) {
    const QString& db = bigDatabase(int(state.range(0)));
    const QString copy = folder().file(QStringLiteral("plain.mdb"));
    for (auto _ : state) {
        QFile::remove(copy);
        if (!QFile::copy(db, copy)) state.SkipWithError("copy failed");
    }
    state.SetBytesProcessed(state.iterations() * QFileInfo(db).size());
    QFile::remove(copy);
}
BENCHMARK(BM_FileCopyFloor)->Arg(50)->Arg(500)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
