#include "MenuTable.h"

#include "Icons.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

namespace shell {

namespace {
// Fills `menu` from entries[i..] until an end row or the list's end; returns
// the index after what it used.
qsizetype fillFrom(QMenu* menu, const QList<MenuEntry>& entries, qsizetype i, QObject* context,
                   BuiltMenus& built) {
    for (; i < entries.size(); ++i) {
        const MenuEntry& e = entries[i];
        if (e.caption.isEmpty() && e.name.isEmpty()) return i + 1; // end of a submenu
        if (e.caption == u"-") {
            QAction* s = menu->addSeparator();
            s->setObjectName(e.name);
            if (!e.name.isEmpty()) built.actions.insert(e.name, s);
            continue;
        }
        if (e.submenu) {
            QMenu* sub = menu->addMenu(e.caption);
            sub->setObjectName(e.name);
            sub->menuAction()->setObjectName(e.name);
            if (!e.icon.isEmpty()) sub->menuAction()->setIcon(icon(e.icon));
            built.menus.insert(e.name, sub);
            built.actions.insert(e.name, sub->menuAction());
            i = fillFrom(sub, entries, i + 1, context, built) - 1;
            continue;
        }
        QAction* a = menu->addAction(e.caption);
        a->setObjectName(e.name);
        if (!e.shortcut.isEmpty()) a->setShortcut(QKeySequence(e.shortcut));
        if (!e.icon.isEmpty()) a->setIcon(icon(e.icon));
        if (e.handler) QObject::connect(a, &QAction::triggered, context, e.handler);
        built.actions.insert(e.name, a);
    }
    return i;
}
} // namespace

void fillMenu(QMenu* menu, const QList<MenuEntry>& entries, QObject* context, BuiltMenus& built) {
    fillFrom(menu, entries, 0, context, built);
}

BuiltMenus buildMenuBar(QMenuBar* bar, const QList<MenuDef>& defs, QObject* context) {
    BuiltMenus built;
    for (const MenuDef& d : defs) {
        QMenu* m = bar->addMenu(d.caption);
        m->setObjectName(d.name);
        m->menuAction()->setObjectName(d.name);
        built.menus.insert(d.name, m);
        built.actions.insert(d.name, m->menuAction());
        fillMenu(m, d.entries, context, built);
    }
    return built;
}

} // namespace shell
