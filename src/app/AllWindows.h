#pragma once

// Every tool registers the factories of its windows here; the program and
// the window tests call this once at start.
namespace app {
inline void registerAllWindows() {}
} // namespace app
