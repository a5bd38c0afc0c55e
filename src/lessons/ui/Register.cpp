#include "Register.h"

#include "frmJiaoAn.h"
#include "shell/Windows.h"

namespace lessons {
void registerWindows() {
    shell::Windows::instance().setFactory(QStringLiteral("frmJiaoAn"), [] { return new frmJiaoAn; });
    shell::Windows::instance().setHoldsData(QStringLiteral("frmJiaoAn"));
}
} // namespace lessons
