#include "StandardMenus.h"

#include "DocServices.h"
#include "shell/core/Settings.h"

#include <QApplication>

namespace shell {

QList<MenuEntry> toolMenuEntries(const QString& firstName) {
    const QString names[] = {firstName, QStringLiteral("mToobJSB"), QStringLiteral("mToobJSQ"),
                             QStringLiteral("mToobTXB")};
    QList<MenuEntry> rows;
    const QList<ToolEntry>& tools = toolEntries();
    for (int i = 0; i < tools.size() && i < 4; ++i) {
        const QString key = tools[i].key;
        // A message about a missing program stands over the window whose
        // menu was used.
        rows << MenuEntry(names[i], tools[i].menuCaption,
                          [key] { RunToolProgram(key, QApplication::activeWindow()); });
    }
    return rows;
}

MenuDef toolsMenu(const QString& firstName, const QString& menuName) {
    return {menuName, QStringLiteral("工具(&T)"), toolMenuEntries(firstName)};
}

QList<MenuEntry> helpMenuEntries(const std::function<void()>& showAbout) {
    return {
        MenuEntry(
            QStringLiteral("mHelpTopic"), QStringLiteral("技术支持(&T)"), [] { OpenSupportPage(); },
            QStringLiteral("F1")),
        MenuEntry(QStringLiteral("mHelpAbout"), QStringLiteral("关于Veltrano(&A)"), showAbout),
    };
}

MenuDef helpMenu(const std::function<void()>& showAbout, const QString& menuName) {
    return {menuName, QStringLiteral("帮助(&H)"), helpMenuEntries(showAbout)};
}

} // namespace shell
