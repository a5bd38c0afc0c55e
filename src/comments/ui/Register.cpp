#include "Register.h"

namespace comments {
void registerWindows() {}
} // namespace comments
