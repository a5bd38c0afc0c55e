// SPDX-License-Identifier: GPL-3.0-or-later
#include "Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <QtGlobal>

namespace shell {

bool installQtTranslations(QCoreApplication& app) {
    // Once per application: a second translator would only shadow the first.
    if (app.findChild<QTranslator*>(QStringLiteral("qtbaseTranslator"))) return true;
    auto* translator = new QTranslator(&app);
    translator->setObjectName(QStringLiteral("qtbaseTranslator"));
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    // The interface is Chinese on every desktop, so the catalogue is named
    // outright rather than chosen by the system locale.
    if (!translator->load(QStringLiteral("qtbase_zh_CN"), folder) || !app.installTranslator(translator)) {
        qWarning("Qt's Chinese translations (qtbase_zh_CN) were not found in %s: the standard dialogs "
                 "stay in English",
                 qPrintable(folder));
        delete translator;
        return false;
    }
    return true;
}

} // namespace shell
