#include "AllWindows.h"
#include "shell/Startup.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    // The class the score manager and the comment writer share.
    scores::ClassState classes;
    app::registerAllWindows(classes);
    return shell::runProgram(app);
}
