#pragma once

namespace classes {
class ClassState;
}

namespace comments {
// Gives the window registry the factories of this tool's windows; the
// comment writer shares the program's class state with the score manager.
void registerWindows(classes::ClassState& classes);
} // namespace comments
