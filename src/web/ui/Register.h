#pragma once

namespace web {
// Gives the window registry the factories of this tool's windows.
void registerWindows();
} // namespace web
