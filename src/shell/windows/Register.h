#pragma once

namespace shell {
// Factories of the shell's own windows (splash, tray, about, text display).
void registerWindows();
// Factories of the shared service windows (settings, calendar, file finder).
void registerServiceWindows();
} // namespace shell
