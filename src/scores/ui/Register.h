#pragma once

namespace scores {
class ClassState;
// Gives the window registry the factories of this tool's windows, working
// on the program's class state.
void registerWindows(ClassState& classes);
} // namespace scores
