#include "Startup.h"

#include "AppPaths.h"
#include "Fonts.h"
#include "Icons.h"
#include "MessageBox.h"
#include "SingleInstance.h"
#include "Windows.h"
#include "frmTray.h"
#include "store/Schema.h"

#include <QApplication>

namespace shell {

namespace {
QString openArgument(const QStringList& args) {
    const int i = args.indexOf(QStringLiteral("--open"));
    return i >= 0 && i + 1 < args.size() ? args[i + 1] : QString();
}
} // namespace

int runProgram(QApplication& app) {
    app.setApplicationName(QStringLiteral("veltrano"));
    app.setApplicationDisplayName(QStringLiteral("Veltrano"));
    app.setWindowIcon(icon(QStringLiteral("app")));
    // The program lives in the tray: closing the last tool window does not end it.
    app.setQuitOnLastWindowClosed(false);
    AppPaths::init(app.arguments());

    SingleInstance instance(AppPaths::dataDir());
    if (instance.forwardToRunning(app.arguments())) return 0;
    instance.listen();
    QObject::connect(&instance, &SingleInstance::messageReceived, &app, [](const QStringList& args) {
        Windows& w = Windows::instance();
        if (const QString name = openArgument(args); !name.isEmpty() && w.open(name)) return;
        if (auto* tray = qobject_cast<frmTray*>(w.load(QStringLiteral("frmTray")))) tray->bringForward();
    });

    installFonts();
    for (const QString& problem : store::ensureDataFiles(AppPaths::dataDir())) MessageBox::show(nullptr, problem);

    Windows::instance().open(QStringLiteral("frmTarvek"));
    if (const QString name = openArgument(app.arguments()); !name.isEmpty()) {
        if (!Windows::instance().open(name))
            MessageBox::show(nullptr, QStringLiteral("没有名为“%1”的窗口！").arg(name));
    }
    return app.exec();
}

} // namespace shell
