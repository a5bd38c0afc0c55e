#include "Register.h"

namespace shell {
void registerWindows() { registerServiceWindows(); }
} // namespace shell
