#include "AllWindows.h"
#include "shell/Startup.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    // --quit-after MS ends the program by itself after MS milliseconds. It is
    // for checks that start the installed program once, unattended, and look
    // at what it left behind (the package check); a teacher never needs it.
    if (const qsizetype i = app.arguments().indexOf(QStringLiteral("--quit-after"));
        i >= 0 && i + 1 < app.arguments().size()) {
        bool ok = false;
        const int ms = app.arguments().at(i + 1).toInt(&ok);
        if (ok && ms >= 0) QTimer::singleShot(ms, &app, &QCoreApplication::quit);
    }
    // The class the score manager and the comment writer share.
    classes::ClassState classes;
    app::registerAllWindows(classes);
    return shell::runProgram(app);
}
