// The lesson-plan designer at scale: a subject's library of 10,000 reference
// plans (and ten times that) shown as the tree, and the teacher's own plan
// of 1 MB (and 10 MB) opened from a file.
//
// The tree is measured as the model builds it (one read of the table, the
// tree value) and as the window shows it (the same plus the tree view).
// Its baseline reads the same records by hand through SQLite (every field,
// as the store's cursor does), buckets them by volume and builds the same
// tree value; the floor reads only the two fields the tree needs.
// Opening is measured through the window's own Open (read, decode, show in
// the editor) beside a floor that reads the bytes and hands them to a bare
// text document.

#include "lessons/model/LessonTree.h"
#include "lessons/model/PlanFile.h"
#include "lessons/ui/frmJiaoAn.h"
#include "shell/ui/FileDialog.h"
#include "shell/ui/TreeView.h"
#include "store/Schema.h"
#include "store/Store.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QTextEdit>
#include <benchmark/benchmark.h>
#include <map>
#include <sqlite3.h>

namespace {

const QString kTable = QStringLiteral("jaWLtextData");
const QString kSubject = QStringLiteral("物理");

struct Folder {
    QTemporaryDir dir;
    Folder() { qputenv("VELTRANO_DATA_DIR", dir.path().toUtf8()); }
    QString file(const QString& name) const { return QDir(dir.path()).filePath(name); }
};
Folder& folder() {
    static Folder f;
    return f;
}

// A data folder per library size, its physics table holding `plans` plans
// spread over the twelve volumes, each with a few hundred characters of text.
QString libraryOf(int plans) {
    static std::map<int, QString> made;
    if (auto it = made.find(plans); it != made.end()) return it->second;
    const QString dir = folder().file(QStringLiteral("lib%1").arg(plans));
    QDir().mkpath(dir);
    store::ensureDataFiles(dir);
    const QString db = QDir(dir).filePath(store::kCommonDb);
    store::Database d = store::Database::OpenDatabase(db);
    const QString body =
        QStringLiteral(
            "【教学目标】理解本节的概念并能运用。【教学过程】一、导入；二、探究；三、练习；四、小结。")
            .repeated(4);
    d.beginTransaction();
    for (int i = 0; i < plans; ++i)
        d.insertRecord(kTable,
                       {i % 12 + 1, QStringLiteral("第%1课 力与运动").arg(i + 1), body,
                        QStringLiteral("分析：学生的难点在于把生活经验变成物理语言。"),
                        QStringLiteral("https://x.example/")},
                       i + 1);
    d.commit();
    made[plans] = db;
    return db;
}

void BM_LessonTreeModel(benchmark::State& state) {
    lessons::LessonLibrary lib(libraryOf(int(state.range(0))));
    lib.SubjectTable(kSubject);
    for (auto _ : state) {
        shell::Tree tree;
        lessons::BuildLessonTree(lib, kSubject, &tree);
        benchmark::DoNotOptimize(tree.count());
    }
    state.counters["plans"] = double(state.range(0));
}

void BM_LessonTreeShown(benchmark::State& state) {
    lessons::LessonLibrary lib(libraryOf(int(state.range(0))));
    lib.SubjectTable(kSubject);
    shell::TreeView view;
    view.resize(300, 600);
    view.show();
    for (auto _ : state) {
        shell::Tree tree;
        lessons::BuildLessonTree(lib, kSubject, &tree);
        view.setTree(tree);
        benchmark::DoNotOptimize(view.topLevelItemCount());
    }
}

// By hand: every field of every record in stored order, topics bucketed by
// volume, the same tree value.
void treeByHand(const QString& db, bool allFields) {
    sqlite3* h = nullptr;
    sqlite3_open_v2(db.toUtf8().constData(), &h, SQLITE_OPEN_READONLY, nullptr);
    const char* sql = allFields ? "SELECT \"册别\", \"课题\", \"内容\", \"分析\", \"课件地址\" FROM "
                                  "\"jaWLtextData\" ORDER BY rowid"
                                : "SELECT \"册别\", \"课题\" FROM \"jaWLtextData\" ORDER BY rowid";
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(h, sql, -1, &st, nullptr);
    lessons::VolumeIndex index;
    QStringList texts;
    while (sqlite3_step(st) == SQLITE_ROW) {
        const int v = sqlite3_column_int(st, 0);
        const QString topic = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 1)),
                                                sqlite3_column_bytes(st, 1));
        if (allFields)
            for (int c = 2; c < 5; ++c)
                texts << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, c)),
                                           sqlite3_column_bytes(st, c));
        if (v >= 1 && v <= 12) index.topics[v - 1] << topic;
    }
    sqlite3_finalize(st);
    sqlite3_close(h);
    const shell::Tree tree = lessons::lessonTree(kSubject, index);
    benchmark::DoNotOptimize(tree.count());
    benchmark::DoNotOptimize(texts.size());
}

void BM_LessonTreeBaseline(benchmark::State& state) {
    const QString db = libraryOf(int(state.range(0)));
    for (auto _ : state)
        treeByHand(db, true);
}

void BM_LessonTreeFloorTwoFields(benchmark::State& state) {
    const QString db = libraryOf(int(state.range(0)));
    for (auto _ : state)
        treeByHand(db, false);
}

// A plan file of about `bytes` bytes of UTF-8 in lines of some sixty characters.
QString planFile(qint64 bytes) {
    const QString path = folder().file(QStringLiteral("plan%1.txt").arg(bytes));
    if (QFile::exists(path)) return path;
    const QByteArray line =
        QStringLiteral("教学过程：请学生先读题，再画出示意图，最后说出每一步的根据，并写下自己的疑问。\r\n")
            .toUtf8();
    QByteArray all;
    all.reserve(bytes + line.size());
    while (all.size() < bytes)
        all += line;
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(all);
    return path;
}

void BM_OpenPlanInWindow(benchmark::State& state) {
    const QString path = planFile(state.range(0));
    lessons::frmJiaoAn w;
    w.show();
    for (auto _ : state) {
        shell::FileDialog::setNextFileName(path);
        w.openFile();
        benchmark::DoNotOptimize(w.fileName());
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}

void BM_OpenPlanFloor(benchmark::State& state) {
    const QString path = planFile(state.range(0));
    QTextDocument doc;
    for (auto _ : state) {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        doc.setPlainText(QString::fromUtf8(f.readAll()));
        benchmark::DoNotOptimize(doc.blockCount());
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}

} // namespace

BENCHMARK(BM_LessonTreeModel)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LessonTreeShown)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LessonTreeBaseline)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LessonTreeFloorTwoFields)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenPlanInWindow)->Arg(1 << 20)->Arg(10 << 20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenPlanFloor)->Arg(1 << 20)->Arg(10 << 20)->Unit(benchmark::kMillisecond);
