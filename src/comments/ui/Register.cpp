#include "Register.h"

#include "frmStudenPY.h"
#include "shell/Windows.h"

namespace comments {
void registerWindows(classes::ClassState& classes) {
    shell::Windows::instance().setFactory(QStringLiteral("frmStudenPY"),
                                          [&classes] { return new frmStudenPY(classes); });
    shell::Windows::instance().setHoldsData(QStringLiteral("frmStudenPY"));
}
} // namespace comments
