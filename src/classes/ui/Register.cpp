#include "Register.h"

#include "frmOpenDatabase.h"
#include "shell/Windows.h"

namespace classes {
void registerWindows(ClassState& classes) {
    shell::Windows::instance().setFactory(QStringLiteral("frmOpenDatabase"),
                                          [&classes] { return new frmOpenDatabase(classes); });
}
} // namespace classes
