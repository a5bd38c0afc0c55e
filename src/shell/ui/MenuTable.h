#pragma once

// Menus declared as one table per window: each row names an entry (its
// objectName), its caption, an optional shortcut and icon, and what it does.
// A row whose caption is "-" is a separator; a row with `submenu` set opens a
// menu of the rows that follow it up to the matching end row (caption empty,
// name empty). The builder keeps every action by name so a window can
// enable and disable entries by their names.

#include <QHash>
#include <QList>
#include <QString>
#include <functional>

class QAction;
class QMenu;
class QMenuBar;
class QObject;

namespace shell {

struct MenuEntry {
    QString name;                  // objectName: "mFileNew", "mnuTraySep1"
    QString caption;               // "新建(&N)"; "-" for a separator; empty ends a submenu
    std::function<void()> handler; // null: the entry does nothing yet
    QString shortcut;              // QKeySequence text, e.g. "Ctrl+N"
    QString icon;                  // a name for shell::icon(), or empty
    bool submenu = false;          // rows up to the next end row belong to it

    MenuEntry() = default; // the end of a submenu
    MenuEntry(QString name, QString caption, std::function<void()> handler = {}, QString shortcut = {},
              QString icon = {})
        : name(std::move(name)), caption(std::move(caption)), handler(std::move(handler)),
          shortcut(std::move(shortcut)), icon(std::move(icon)) {}
    static MenuEntry separator(const QString& name) { return MenuEntry(name, QStringLiteral("-")); }
    static MenuEntry subMenu(const QString& name, const QString& caption, const QString& icon = {}) {
        MenuEntry e(name, caption, {}, {}, icon);
        e.submenu = true;
        return e;
    }
    static MenuEntry end() { return MenuEntry(); }
};

// One top-level menu of a menu bar (or a popup menu's whole list).
struct MenuDef {
    QString name;    // "mnuFile"
    QString caption; // "文件(&F)"
    QList<MenuEntry> entries;
};

// What was built, by name: entries, separators and submenus' actions.
struct BuiltMenus {
    QHash<QString, QAction*> actions;
    QHash<QString, QMenu*> menus;
    QAction* action(const QString& name) const { return actions.value(name); }
};

// Adds `entries` to `menu` (handlers run in `context`'s lifetime).
void fillMenu(QMenu* menu, const QList<MenuEntry>& entries, QObject* context, BuiltMenus& built);
// Adds each menu of `defs` to `bar`.
BuiltMenus buildMenuBar(QMenuBar* bar, const QList<MenuDef>& defs, QObject* context);

} // namespace shell
