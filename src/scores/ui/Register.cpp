#include "Register.h"

#include "frmOpenDatabase.h"
#include "frmStudenCJ.h"
#include "shell/Windows.h"

namespace scores {
void registerWindows() {
    shell::Windows& w = shell::Windows::instance();
    w.setFactory(QStringLiteral("frmStudenCJ"), [] { return new frmStudenCJ; });
    w.setFactory(QStringLiteral("frmOpenDatabase"), [] { return new frmOpenDatabase; });
}
} // namespace scores
