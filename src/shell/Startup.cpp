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

bool prepareDataFolder(const QString& dataDir, const QDateTime& now) {
    QStringList repair;
    QDateTime dailyStamp = now;
    if (const QList<store::DataFileGap> gaps = store::checkDataFiles(dataDir); !gaps.isEmpty()) {
        QStringList lines;
        for (const store::DataFileGap& gap : gaps) {
            lines << gap.sentence();
            repair << gap.path;
        }
        const QString question =
            lines.join(u'\n') +
            QStringLiteral("\n\n是否先把数据文件备份到“备份”文件夹，再补上缺少的数据表？\n"
                           "选“否”将退出本程序，不改动任何文件。");
        if (!MessageBox::ask(nullptr, question)) return false;
        const Outcome saved = backups::backupAll(dataDir, now);
        if (!saved) {
            MessageBox::showAll(nullptr,
                                saved.messages + QStringList{QStringLiteral(
                                                     "备份没有成功，所以没有修复这些文件，本程序将退出！")});
            return false;
        }
        // The day's backup below holds the files as repaired; it must not
        // take the name of the copy just made of them as they were.
        dailyStamp = now.addSecs(1);
    }
    // The phrase and statement banks go only into tables made just now, in
    // the same transaction that makes them.
    for (const QString& problem : ensureDataFilesWithStarterContent(dataDir, repair))
        MessageBox::show(nullptr, problem);
    // Copies a killed backup left half made are of no use to anyone.
    backups::removeLeftovers(dataDir);
    // Once a day; a backup that fails is told and the program goes on.
    const Outcome backedUp = backups::dailyBackup(dataDir, dailyStamp);
    if (!backedUp) MessageBox::showAll(nullptr, backedUp.messages);
    return true;
}

int runProgram(QApplication& app) {
    prepareApplication(app);
    AppPaths::init(app.arguments());

    SingleInstance instance(AppPaths::dataDir());
    if (instance.forwardToRunning(app.arguments())) return 0;
    instance.listen();
    QObject::connect(&instance, &SingleInstance::messageReceived, &app, &handleSecondStart);

    installFonts();
    if (!prepareDataFolder(AppPaths::dataDir(), QDateTime::currentDateTime())) return 1;

    Windows::instance().open(QStringLiteral("frmTarvek"));
    openRequestedWindow(app.arguments());
    return app.exec();
}

} // namespace shell
