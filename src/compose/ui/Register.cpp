#include "Register.h"

#include "frmKaiXueJiHua.h"
#include "frmQiMoZhongJie.h"
#include "shell/Windows.h"

namespace compose {
void registerWindows() {
    shell::Windows::instance().setFactory(QStringLiteral("frmKaiXueJiHua"),
                                          [] { return new frmKaiXueJiHua; });
    shell::Windows::instance().setFactory(QStringLiteral("frmQiMoZhongJie"),
                                          [] { return new frmQiMoZhongJie; });
    shell::Windows::instance().setHoldsData(QStringLiteral("frmKaiXueJiHua"));
    shell::Windows::instance().setHoldsData(QStringLiteral("frmQiMoZhongJie"));
}
} // namespace compose
