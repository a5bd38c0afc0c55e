#include "Register.h"

#include "frmKaiXueJiHua.h"
#include "shell/Windows.h"

namespace compose {
void registerWindows() {
    shell::Windows::instance().setFactory(QStringLiteral("frmKaiXueJiHua"),
                                          [] { return new frmKaiXueJiHua; });
}
} // namespace compose
