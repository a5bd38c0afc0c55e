#ifdef VELTRANO_BENCH_WINDOWS
#include "app/AllWindows.h"

#include <QApplication>
#else
#include <QCoreApplication>
#endif
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

// One main for every benchmark program. The store's benches run under a
// plain QCoreApplication and link only the store, as its tests do; the
// others get the offscreen platform and every window registered. Whatever
// settings file a window touches goes to a data folder of the run's own
// (unless VELTRANO_DATA_DIR names one), removed at the end.
int main(int argc, char** argv) {
    QTemporaryDir dataDir;
    if (qEnvironmentVariableIsEmpty("VELTRANO_DATA_DIR"))
        qputenv("VELTRANO_DATA_DIR", QFile::encodeName(dataDir.path()));
#ifdef VELTRANO_BENCH_WINDOWS
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    classes::ClassState classes;
    app::registerAllWindows(classes);
#else
    QCoreApplication app(argc, argv);
#endif
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
