#pragma once

namespace compose {
// Gives the window registry the factories of this tool's windows.
void registerWindows();
} // namespace compose
