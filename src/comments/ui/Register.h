#pragma once

namespace comments {
// Gives the window registry the factories of this tool's windows.
void registerWindows();
} // namespace comments
