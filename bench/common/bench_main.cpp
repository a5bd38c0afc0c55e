#include "app/AllWindows.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <benchmark/benchmark.h>

// One main for every benchmark program: the windows a bench opens draw on
// the offscreen platform, and whatever settings file a window touches stays
// out of the build folder.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("VELTRANO_DATA_DIR"))
        qputenv("VELTRANO_DATA_DIR", QFile::encodeName(QDir::tempPath()));
    QApplication app(argc, argv);
    scores::ClassState classes;
    app::registerAllWindows(classes);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
