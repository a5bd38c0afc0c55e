#pragma once

namespace scores {
// Gives the window registry the factories of this tool's windows.
void registerWindows();
} // namespace scores
