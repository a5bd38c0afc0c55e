#pragma once

namespace classes {
class ClassState;
// Gives the window registry the class-file window, handing classes to the
// tools through the program's class state.
void registerWindows(ClassState& classes);
} // namespace classes
