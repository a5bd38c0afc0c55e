#include "Register.h"

#include "frmInternet.h"
#include "frmSetInternet.h"
#include "shell/Windows.h"

namespace web {
void registerWindows() {
    shell::Windows& w = shell::Windows::instance();
    w.setFactory(QStringLiteral("frmInternet"), [] { return new frmInternet; });
    w.setFactory(QStringLiteral("frmSetInternet"), [] { return new frmSetInternet; });
    w.setHoldsData(QStringLiteral("frmInternet"));
}
} // namespace web
