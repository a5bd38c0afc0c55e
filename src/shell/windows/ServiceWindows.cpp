#include "Register.h"
#include "frmDate.h"
#include "frmFindFile.h"
#include "frmSetSystem.h"
#include "shell/Windows.h"

namespace shell {
void registerServiceWindows() {
    Windows& w = Windows::instance();
    w.setFactory(QStringLiteral("frmSetSystem"), [] { return new frmSetSystem; });
    w.setFactory(QStringLiteral("frmDate"), [] { return new frmDate; });
    w.setFactory(QStringLiteral("frmFindFile"), [] { return new frmFindFile; });
}
} // namespace shell
