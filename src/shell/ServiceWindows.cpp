#include "Register.h"

namespace shell {
void registerServiceWindows() {}
} // namespace shell
