#include "Startup.h"

#include "SingleInstance.h"
#include "Windows.h"
#include "shell/core/AppPaths.h"
#include "shell/core/Backups.h"
#include "shell/core/StarterContent.h"
#include "shell/ui/Fonts.h"
#include "shell/ui/Icons.h"
#include "shell/ui/MessageBox.h"
#include "shell/ui/Translations.h"
#include "shell/windows/frmTray.h"
#include "store/Schema.h"

#include <QApplication>
#include <QDateTime>

namespace shell {

namespace {
QString openArgument(const QStringList& args) {
    const int i = args.indexOf(QStringLiteral("--open"));
    return i >= 0 && i + 1 < args.size() ? args[i + 1] : QString();
}
} // namespace

void prepareApplication(QApplication& app) {
    app.setApplicationName(QStringLiteral("veltrano"));
    // Before any window: widgets take Qt's texts when they are built.
    installQtTranslations(app);
    app.setWindowIcon(icon(QStringLiteral("app")));
    // The program lives in the tray: closing the last tool window does not end it.
    app.setQuitOnLastWindowClosed(false);
}

bool openRequestedWindow(const QStringList& arguments) {
    const QString name = openArgument(arguments);
    if (name.isEmpty()) return false;
    if (!Windows::instance().open(name))
        MessageBox::show(nullptr, QStringLiteral("没有名为“%1”的窗口！").arg(name));
    return true;
}

void handleSecondStart(const QStringList& arguments) {
    if (openRequestedWindow(arguments)) return;
    if (auto* tray = qobject_cast<frmTray*>(Windows::instance().load(QStringLiteral("frmTray"))))
        tray->bringForward();
}

int runProgram(QApplication& app) {
    prepareApplication(app);
    AppPaths::init(app.arguments());

    SingleInstance instance(AppPaths::dataDir());
    if (instance.forwardToRunning(app.arguments())) return 0;
    instance.listen();
    QObject::connect(&instance, &SingleInstance::messageReceived, &app, &handleSecondStart);

    installFonts();
    // The phrase and statement banks go only into tables made just now, in
    // the same transaction that makes them.
    for (const QString& problem : ensureDataFilesWithStarterContent(AppPaths::dataDir()))
        MessageBox::show(nullptr, problem);
    // Once a day; a backup that fails is told and the program goes on.
    const Outcome backedUp = backups::dailyBackup(AppPaths::dataDir(), QDateTime::currentDateTime());
    if (!backedUp) MessageBox::showAll(nullptr, backedUp.messages);

    Windows::instance().open(QStringLiteral("frmTarvek"));
    openRequestedWindow(app.arguments());
    return app.exec();
}

} // namespace shell
