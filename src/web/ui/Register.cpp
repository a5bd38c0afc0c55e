#include "Register.h"

namespace web {
void registerWindows() {}
} // namespace web
