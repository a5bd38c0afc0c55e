#include "Register.h"

#include "frmDate.h"
#include "frmFindFile.h"
#include "frmHelpAbout.h"
#include "frmSetSystem.h"
#include "frmTarvek.h"
#include "frmTray.h"
#include "frmViewText.h"
#include "shell/Windows.h"

namespace shell {
void registerWindows() {
    Windows& w = Windows::instance();
    w.setFactory(QStringLiteral("frmTarvek"), [] { return new frmTarvek; });
    w.setFactory(QStringLiteral("frmTray"), [] { return new frmTray; });
    w.setFactory(QStringLiteral("frmHelpAbout"), [] { return new frmHelpAbout; });
    w.setFactory(QStringLiteral("frmViewText"), [] { return new frmViewText; });
    w.setFactory(QStringLiteral("frmSetSystem"), [] { return new frmSetSystem; });
    w.setFactory(QStringLiteral("frmDate"), [] { return new frmDate; });
    w.setFactory(QStringLiteral("frmFindFile"), [] { return new frmFindFile; });
}
} // namespace shell
