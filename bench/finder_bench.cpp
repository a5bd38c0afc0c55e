// The file finder's search core and its window on a tree of 200,000 files,
// with find(1) on the same tree as a floor, and how soon the finder window
// answers "停止" during a search.
//
//   build/finder_bench                      (tree in $TMPDIR/veltrano-finder-tree)
//   VELTRANO_FINDER_TREE=/some/dir build/finder_bench
//   VELTRANO_FINDER_SCALE=10 build/finder_bench   (2,000,000 files, own tree)
#include "shell/Windows.h"
#include "shell/core/FileSearch.h"
#include "shell/core/Settings.h"
#include "shell/windows/frmFindFile.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace {

// 200 × 10 × 100 = 200,000 files, times the scale in the number of top folders.
int scale() {
    return std::max(1, qEnvironmentVariableIntValue("VELTRANO_FINDER_SCALE"));
}
const int kTop = 200 * scale(), kSub = 10, kFiles = 100;

QString treeRoot() {
    const QString env = qEnvironmentVariable("VELTRANO_FINDER_TREE");
    if (!env.isEmpty()) return env;
    const QString base = QDir::tempPath() + QStringLiteral("/veltrano-finder-tree");
    return scale() == 1 ? base : base + QStringLiteral("-x%1").arg(scale());
}

// Made once and kept: a marker file says the tree is complete.
void ensureTree() {
    const QString root = treeRoot();
    const QString marker = root + QStringLiteral("/.complete");
    if (QFile::exists(marker)) return;
    QDir(root).removeRecursively();
    std::fprintf(stderr, "making %d files under %s ...\n", kTop * kSub * kFiles, qPrintable(root));
    for (int t = 0; t < kTop; ++t) {
        for (int s = 0; s < kSub; ++s) {
            const QByteArray dir = QFile::encodeName(
                QStringLiteral("%1/dir%2/sub%3").arg(root).arg(t, 3, 10, QChar(u'0')).arg(s));
            QDir().mkpath(QString::fromUtf8(dir));
            for (int f = 0; f < kFiles; ++f) {
                // One name in ten is a text file; two programs hide in the tree.
                QByteArray name = (f % 10 == 0) ? "note" + QByteArray::number(f) + ".TXT"
                                                : "file" + QByteArray::number(f) + ".dat";
                if ((t == 17 && s == 3 && f == 42) || (t == 150 && s == 9 && f == 7))
                    name = t == 17 ? "CALC.EXE" : "calc.exe";
                const int fd = ::open((dir + '/' + name).constData(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
                if (fd >= 0) ::close(fd);
            }
        }
    }
    QFile m(marker);
    m.open(QIODevice::WriteOnly);
}

double threadCpuMs() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

const char* kPatterns[] = {"calc.exe", "*.txt", "*"};

void BM_SearchCore(benchmark::State& state) {
    ensureTree();
    const QString pattern = QString::fromLatin1(kPatterns[state.range(0)]);
    qint64 found = 0;
    for (auto _ : state) {
        shell::FileSearch s(treeRoot(), pattern);
        while (!s.finished())
            benchmark::DoNotOptimize(s.step(1000));
        found = s.matchCount();
    }
    state.SetLabel(pattern.toStdString());
    state.counters["matches"] = double(found);
}

// A floor in work, not a like-for-like baseline: find(1) reads the same
// entries and matches the same names, but it sorts nothing (the core sorts
// each folder's matches and subfolders), keeps no device/inode set against
// bind-mount loops and hands over bytes, where the core decodes every match
// into a QString. Its time includes its own start and its output through a
// pipe; the CPU column is this process's only.
void BM_FindFloor(benchmark::State& state) {
    ensureTree();
    const QByteArray cmd =
        "find '" + QFile::encodeName(treeRoot()) + "' -iname '" + kPatterns[state.range(0)] + "'";
    long found = 0;
    for (auto _ : state) {
        FILE* p = popen(cmd.constData(), "r");
        found = 0;
        char line[4096];
        while (p && std::fgets(line, sizeof line, p))
            ++found;
        if (p) pclose(p);
    }
    state.SetLabel(kPatterns[state.range(0)]);
    state.counters["matches"] = double(found);
}

void postClick(QPushButton* b) {
    const QPointF at(b->width() / 2.0, b->height() / 2.0);
    const QPointF global = b->mapToGlobal(at);
    QCoreApplication::postEvent(b, new QMouseEvent(QEvent::MouseButtonPress, at, global, Qt::LeftButton,
                                                   Qt::LeftButton, Qt::NoModifier));
    QCoreApplication::postEvent(b, new QMouseEvent(QEvent::MouseButtonRelease, at, global, Qt::LeftButton,
                                                   Qt::NoButton, Qt::NoModifier));
}

// The finder window searching the tree for every name (the heaviest case
// for the list): a click on "停止" is posted as the mouse would post it once
// the search is well under way (after 20 slices), and the time until the
// search has ended is measured. The longest slice is the longest time the
// window could not repaint.
void BM_WindowStopLatency(benchmark::State& state) {
    ensureTree();
    double longest = 0;
    for (auto _ : state) {
        auto* w =
            qobject_cast<shell::frmFindFile*>(shell::Windows::instance().open(QStringLiteral("frmFindFile")));
        w->applyPreset({QStringLiteral("*"), QStringLiteral("toobName1")});
        w->setRoot(treeRoot());
        auto* start = w->findChild<QPushButton*>(QStringLiteral("Command1"));
        auto* stop = w->findChild<QPushButton*>(QStringLiteral("Command2"));
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents();
        QElapsedTimer clock;
        qint64 stoppedAfter = -1;
        QObject::connect(w, &shell::frmFindFile::searchFinished, w,
                         [&] { stoppedAfter = clock.nsecsElapsed(); });
        int slices = 0;
        QObject::connect(w, &shell::frmFindFile::sliceDone, w, [&] {
            if (++slices != 20) return;
            clock.start();
            postClick(stop);
        });
        start->click();
        while (w->searching())
            QCoreApplication::processEvents(QEventLoop::AllEvents);
        if (stoppedAfter < 0) {
            state.SkipWithError("the search ended before the stop click");
            break;
        }
        state.SetIterationTime(double(stoppedAfter) / 1e9);
        longest = std::max(longest, double(w->longestSliceMs()));
        w->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    state.counters["longest_slice_ms"] = longest;
}

// The whole search through the window, list and status line included. The
// gaps between two slices are the times the window could not repaint: their
// median and 99th percentile are reported (the maximum follows the machine's
// load more than the program).
void BM_WindowFullSearch(benchmark::State& state) {
    ensureTree();
    std::vector<double> gaps, cpu;
    for (auto _ : state) {
        auto* w =
            qobject_cast<shell::frmFindFile*>(shell::Windows::instance().open(QStringLiteral("frmFindFile")));
        w->applyPreset({QString::fromLatin1(kPatterns[state.range(0)]), QStringLiteral("toobName1")});
        w->setRoot(treeRoot());
        // The window's first paint is not part of the search.
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents();
        QElapsedTimer between;
        double cpuAt = threadCpuMs();
        QObject::connect(w, &shell::frmFindFile::sliceDone, w, [&] {
            gaps.push_back(double(between.nsecsElapsed()) / 1e6);
            cpu.push_back(threadCpuMs() - cpuAt);
            between.restart();
            cpuAt = threadCpuMs();
        });
        w->findChild<QPushButton*>(QStringLiteral("Command1"))->click();
        between.start();
        cpuAt = threadCpuMs();
        while (w->searching())
            QCoreApplication::processEvents(QEventLoop::AllEvents);
        w->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    std::sort(gaps.begin(), gaps.end());
    std::sort(cpu.begin(), cpu.end());
    state.SetLabel(kPatterns[state.range(0)]);
    if (!gaps.empty()) {
        state.counters["gap_cpu_max_ms"] = cpu.back();
        state.counters["slices"] = double(gaps.size()) / double(state.iterations());
        state.counters["gap_p50_ms"] = gaps[gaps.size() / 2];
        state.counters["gap_p99_ms"] = gaps[gaps.size() * 99 / 100];
        state.counters["gap_max_ms"] = gaps.back();
    }
}

} // namespace

BENCHMARK(BM_SearchCore)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_FindFloor)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_WindowFullSearch)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_WindowStopLatency)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);
