#pragma once

class QApplication;

namespace shell {

// Sets up the data folder, fonts and windows, starts with the splash window
// (or the window named by --open NAME) and runs the event loop.
int runProgram(QApplication& app);

} // namespace shell
