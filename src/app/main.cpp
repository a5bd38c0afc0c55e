#include "AllWindows.h"
#include "shell/Startup.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    app::registerAllWindows();
    return shell::runProgram(app);
}
