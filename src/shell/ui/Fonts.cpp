#include "Fonts.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>

namespace shell {

void installFontSubstitutions() {
    if (!QFont::substitutes(QStringLiteral("宋体")).isEmpty()) return;
    QFont::insertSubstitutions(QStringLiteral("宋体"),
                               {QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Noto Sans CJK SC")});
    QFont::insertSubstitutions(QStringLiteral("SimSun"), {QStringLiteral("Noto Serif CJK SC")});
    QFont::insertSubstitutions(QStringLiteral("华文新魏"),
                               {QStringLiteral("AR PL UKai CN"), QStringLiteral("Noto Serif CJK SC")});
}

void installFonts() {
    installFontSubstitutions();
    const QStringList families = QFontDatabase::families();
    for (const char* ui : {"Noto Sans CJK SC", "Noto Sans CJK"}) {
        if (families.contains(QString::fromUtf8(ui))) {
            QFont f(QString::fromUtf8(ui));
            f.setPointSize(9);
            QApplication::setFont(f);
            break;
        }
    }
}

} // namespace shell
