#pragma once

#include "shell/ui/MenuTable.h"

#include <QStringList>
#include <QWidget>

class QMenu;
class QAction;
class QSystemTrayIcon;

namespace shell {

// The hidden main window: owns the tray icon and its popup menu mnuTray.
// Where the desktop has no tray it shows a small launcher window with the
// same entries instead, so the program is never out of reach.
class frmTray : public QWidget {
    Q_OBJECT
public:
    explicit frmTray(QWidget* parent = nullptr);
    ~frmTray() override;

    QMenu* menu() const { return mnuTray; }
    QAction* entry(const QString& objectName) const;
    QSystemTrayIcon* trayIcon() const { return tray_; }
    QWidget* launcher() const { return launcher_; }
    // Pops the menu up at the pointer (a tray button release).
    void popupMenu();
    // Brings the program forward for a second start: the launcher, or the
    // menu where there is a tray.
    void bringForward();

    // Tool windows closed, in this order, when the program exits.
    static const QStringList& exitOrder();

    void AddTrayIcon();
    void SetTrayTip(const QString& text);
    void RemoveTrayIcon();
    void SetTrayMenuIcons();

public Q_SLOTS:
    // "&退    出": removes the icon and unloads this window; its close
    // handling closes the tool windows first.
    void exitProgram();

protected:
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The popup menu, one row per entry: name, caption, what it opens, picture.
    QList<MenuEntry> menuEntries();
    void buildMenu();
    void buildLauncher();
    QMenu* mnuTray;
    QSystemTrayIcon* tray_ = nullptr;
    QWidget* launcher_ = nullptr;
    bool exiting_ = false;
    BuiltMenus menu_;
};

} // namespace shell
