#include "Register.h"

namespace compose {
void registerWindows() {}
} // namespace compose
