#pragma once

namespace shell {
// Factories of the shell's own windows: splash, tray, about, text display,
// and the service windows the tools share (settings, calendar, file finder).
void registerWindows();
} // namespace shell
