#include "Register.h"

#include "classes/ui/frmOpenDatabase.h"
#include "frmImport.h"
#include "frmPrintView.h"
#include "frmSetPage.h"
#include "frmStudenCJ.h"
#include "shell/Windows.h"

namespace scores {
void registerWindows(ClassState& classes) {
    // The score window's model lives as long as the class state it works on.
    auto* model = new ScoreModel(classes, &classes);
    shell::Windows& w = shell::Windows::instance();
    w.setFactory(QStringLiteral("frmStudenCJ"), [model] { return new frmStudenCJ(*model); });
    w.setFactory(QStringLiteral("frmOpenDatabase"), [&classes] { return new frmOpenDatabase(classes); });
    w.setFactory(QStringLiteral("frmSetPage"), [model] { return new frmSetPage(*model); });
    w.setFactory(QStringLiteral("frmPrintView"), [] { return new frmPrintView; });
    w.setFactory(QStringLiteral("frmImport"), [model] { return new frmImport(*model); });

    // The comment writer reaches the class-file window through the model
    // layer's opener, never through this header.
    ClassFiles::setWindowOpener([](ClassFiles::Use use) {
        using P = frmOpenDatabase::Purpose;
        switch (use) {
        case ClassFiles::Use::CommentNew:
            frmOpenDatabase::openFor(P::CommentNew);
            break;
        case ClassFiles::Use::CommentOpenWorking:
            frmOpenDatabase::openFor(P::CommentOpenWorking);
            break;
        case ClassFiles::Use::CommentOpenReference:
            frmOpenDatabase::openFor(P::CommentOpenReference);
            break;
        }
    });
}
} // namespace scores
