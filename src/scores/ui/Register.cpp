#include "Register.h"

#include "frmImport.h"
#include "frmPrintView.h"
#include "frmSetPage.h"
#include "frmStudenCJ.h"
#include "shell/Windows.h"

namespace scores {
void registerWindows(classes::ClassState& classes) {
    // The score window's model lives as long as the class state it works on.
    auto* model = new ScoreModel(classes, &classes);
    shell::Windows& w = shell::Windows::instance();
    w.setFactory(QStringLiteral("frmStudenCJ"),
                 [model, &classes] { return new frmStudenCJ(*model, classes); });
    w.setFactory(QStringLiteral("frmSetPage"), [model] { return new frmSetPage(*model); });
    w.setFactory(QStringLiteral("frmPrintView"), [] { return new frmPrintView; });
    w.setFactory(QStringLiteral("frmImport"), [model] { return new frmImport(*model); });
    // The score window keeps a class open: a restore of the data files waits
    // until it is closed.
    w.setHoldsData(QStringLiteral("frmStudenCJ"));
}
} // namespace scores
