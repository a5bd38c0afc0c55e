#include "Startup.h"

#include "AppPaths.h"
#include "MessageBox.h"
#include "Windows.h"
#include "store/Schema.h"

#include <QApplication>

namespace shell {

int runProgram(QApplication& app) {
    app.setApplicationName(QStringLiteral("veltrano"));
    AppPaths::init(app.arguments());
    for (const QString& problem : store::ensureDataFiles(AppPaths::dataDir())) MessageBox::show(nullptr, problem);
    const QStringList args = app.arguments();
    const int i = args.indexOf(QStringLiteral("--open"));
    if (i >= 0 && i + 1 < args.size()) Windows::instance().open(args[i + 1]);
    return app.exec();
}

} // namespace shell
