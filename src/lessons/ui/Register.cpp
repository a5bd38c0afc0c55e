#include "Register.h"

namespace lessons {
void registerWindows() {}
} // namespace lessons
