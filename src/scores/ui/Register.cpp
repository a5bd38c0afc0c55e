#include "Register.h"

#include "classes/ui/frmOpenDatabase.h"
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
    w.setFactory(QStringLiteral("frmStudenCJ"), [model] { return new frmStudenCJ(*model); });
    w.setFactory(QStringLiteral("frmOpenDatabase"),
                 [&classes] { return new classes::frmOpenDatabase(classes); });
    w.setFactory(QStringLiteral("frmSetPage"), [model] { return new frmSetPage(*model); });
    w.setFactory(QStringLiteral("frmPrintView"), [] { return new frmPrintView; });
    w.setFactory(QStringLiteral("frmImport"), [model] { return new frmImport(*model); });

    // The comment writer reaches the class-file window through the model
    // layer's opener, never through this header.
    classes::ClassFiles::setWindowOpener([](classes::ClassFiles::Use use) {
        using P = classes::frmOpenDatabase::Purpose;
        switch (use) {
        case classes::ClassFiles::Use::CommentNew:
            classes::frmOpenDatabase::openFor(P::CommentNew);
            break;
        case classes::ClassFiles::Use::CommentOpenWorking:
            classes::frmOpenDatabase::openFor(P::CommentOpenWorking);
            break;
        case classes::ClassFiles::Use::CommentOpenReference:
            classes::frmOpenDatabase::openFor(P::CommentOpenReference);
            break;
        }
    });
}
} // namespace scores
