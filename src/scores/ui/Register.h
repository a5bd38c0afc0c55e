#pragma once

namespace classes {
class ClassState;
}

namespace scores {
// Gives the window registry the factories of this tool's windows, working
// on the program's class state.
void registerWindows(classes::ClassState& classes);
} // namespace scores
