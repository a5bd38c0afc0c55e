#include "Register.h"

namespace scores {
void registerWindows() {}
} // namespace scores
