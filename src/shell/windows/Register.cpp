#include "Register.h"

#include "frmHelpAbout.h"
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
    registerServiceWindows();
}
} // namespace shell
