#pragma once

namespace lessons {
// Gives the window registry the factories of this tool's windows.
void registerWindows();
} // namespace lessons
