#include "frmTray.h"

#include "shell/Windows.h"
#include "shell/core/Branding.h"
#include "shell/ui/Icons.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QToolButton>
#include <QVBoxLayout>

namespace shell {

QList<MenuEntry> frmTray::menuEntries() {
    auto open = [](const char* window) {
        return [name = QString::fromLatin1(window)] { Windows::instance().open(name); };
    };
    return {
        {QStringLiteral("mnuTrayAbout"),
         QStringLiteral("&关于...."),
         open("frmHelpAbout"),
         {},
         QStringLiteral("about")},
        {QStringLiteral("mnuTraySystem"),
         QStringLiteral("&系统设置"),
         open("frmSetSystem"),
         {},
         QStringLiteral("setup")},
        MenuEntry::separator(QStringLiteral("mnuTraySep1")),
        {QStringLiteral("mnuTraySetInternet"),
         QStringLiteral("&记录当前网址"),
         open("frmSetInternet"),
         {},
         QStringLiteral("close")},
        {QStringLiteral("mnuTrayInternet"),
         QStringLiteral("&浏览网上资源"),
         open("frmInternet"),
         {},
         QStringLiteral("internet")},
        MenuEntry::separator(QStringLiteral("mnuTraySep3")),
        {QStringLiteral("mnuTrayZhongjie"),
         QStringLiteral("&期末总结枪手"),
         open("frmQiMoZhongJie"),
         {},
         QStringLiteral("jiaoan")},
        {QStringLiteral("mnuTrayPinyu"),
         QStringLiteral("&学生评语快手"),
         open("frmStudenPY"),
         {},
         QStringLiteral("studenBook")},
        {QStringLiteral("mnuTrayChengJi"),
         QStringLiteral("&成绩管理助手"),
         open("frmStudenCJ"),
         {},
         QStringLiteral("viewdetails")},
        {QStringLiteral("mnuTrayJiaoan"),
         QStringLiteral("&教案设计能手"),
         open("frmJiaoAn"),
         {},
         QStringLiteral("pen")},
        {QStringLiteral("mnuTrayJiahua"),
         QStringLiteral("&开学计划高手"),
         open("frmKaiXueJiHua"),
         {},
         QStringLiteral("jihua")},
        MenuEntry::separator(QStringLiteral("mnuTraySep4")),
        {QStringLiteral("mnuTrayClose"),
         QStringLiteral("&退    出"),
         [this] { exitProgram(); },
         {},
         QStringLiteral("exit")},
    };
}

const QStringList& frmTray::exitOrder() {
    static const QStringList order{QStringLiteral("frmJiaoAn"),       QStringLiteral("frmStudenCJ"),
                                   QStringLiteral("frmStudenPY"),     QStringLiteral("frmKaiXueJiHua"),
                                   QStringLiteral("frmQiMoZhongJie"), QStringLiteral("frmHelpAbout"),
                                   QStringLiteral("frmSetInternet"),  QStringLiteral("frmSetSystem")};
    return order;
}

frmTray::frmTray(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("frmTray"));
    setWindowTitle(Windows::caption(QStringLiteral("frmTray")));
    setWindowIcon(icon(QStringLiteral("app")));
    buildMenu();
    // The load handler: stay hidden, put the icon up, set its tip and the
    // menu's pictures.
    hide();
    AddTrayIcon();
    SetTrayTip(trayTip());
    SetTrayMenuIcons();
}

frmTray::~frmTray() {
    delete launcher_;
}

void frmTray::buildMenu() {
    mnuTray = new QMenu(QStringLiteral("Popup"), this);
    mnuTray->setObjectName(QStringLiteral("mnuTray"));
    // The pictures come with SetTrayMenuIcons, once the icon is up.
    QList<MenuEntry> entries = menuEntries();
    for (MenuEntry& e : entries)
        e.icon.clear();
    fillMenu(mnuTray, entries, this, menu_);
}

QAction* frmTray::entry(const QString& name) const {
    return menu_.action(name);
}

void frmTray::AddTrayIcon() {
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        buildLauncher();
        return;
    }
    tray_ = new QSystemTrayIcon(icon(QStringLiteral("app")), this);
    tray_->setObjectName(QStringLiteral("trayIcon"));
    // Left or right button release pops the menu up; presses, moves and the
    // middle button do nothing.
    connect(tray_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason r) {
        if (r == QSystemTrayIcon::Trigger || r == QSystemTrayIcon::Context) popupMenu();
    });
    tray_->show();
}

void frmTray::SetTrayTip(const QString& text) {
    if (tray_) tray_->setToolTip(text);
    if (launcher_) launcher_->setToolTip(text);
}

void frmTray::RemoveTrayIcon() {
    if (tray_) tray_->hide();
    if (launcher_) launcher_->hide();
}

void frmTray::SetTrayMenuIcons() {
    for (const MenuEntry& e : menuEntries())
        if (!e.icon.isEmpty())
            if (QAction* a = entry(e.name)) a->setIcon(icon(e.icon));
}

void frmTray::buildLauncher() {
    // A top-level window of its own (not a child of the hidden main window),
    // an ordinary one: kept above every other window it would cover part of
    // each tool on a small screen, and the taskbar brings it forward.
    launcher_ = new QWidget(nullptr, Qt::Window);
    launcher_->setObjectName(QStringLiteral("frmLauncher"));
    launcher_->setWindowTitle(QStringLiteral("Veltrano"));
    launcher_->setWindowIcon(icon(QStringLiteral("app")));
    auto* layout = new QVBoxLayout(launcher_);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(2);
    auto* head = new QLabel(productTitle(), launcher_);
    head->setAlignment(Qt::AlignCenter);
    layout->addWidget(head);
    for (QAction* a : mnuTray->actions()) {
        if (a->isSeparator()) {
            auto* line = new QFrame(launcher_);
            line->setFrameShape(QFrame::HLine);
            line->setFrameShadow(QFrame::Sunken);
            layout->addWidget(line);
            continue;
        }
        auto* b = new QToolButton(launcher_);
        a->setIconText(a->text()); // keep "...." that tool buttons would strip
        b->setDefaultAction(a);
        b->setObjectName(QStringLiteral("launch_") + a->objectName());
        b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        b->setAutoRaise(true);
        b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        layout->addWidget(b);
    }
    launcher_->adjustSize();
    launcher_->installEventFilter(this);
    if (QScreen* s = QGuiApplication::primaryScreen()) {
        const QRect g = s->availableGeometry();
        launcher_->move(g.right() - launcher_->width() - 20, g.top() + 40);
    }
    launcher_->show();
}

void frmTray::popupMenu() {
    mnuTray->popup(QCursor::pos());
}

void frmTray::bringForward() {
    if (launcher_) {
        launcher_->show();
        launcher_->raise();
        launcher_->activateWindow();
    } else {
        popupMenu();
    }
}

void frmTray::exitProgram() {
    exiting_ = true;
    RemoveTrayIcon();
    Windows::instance().unload(QStringLiteral("frmTray"));
}

void frmTray::closeEvent(QCloseEvent* e) {
    if (!exiting_) { // only the exit entry unloads the main window
        e->ignore();
        return;
    }
    Windows& w = Windows::instance();
    for (const QString& name : exitOrder()) {
        if (!w.unload(name)) {
            // A window kept its text (the teacher cancelled): the program stays.
            exiting_ = false;
            if (tray_) tray_->show();
            if (launcher_) launcher_->show();
            e->ignore();
            return;
        }
    }
    // The secondary windows the tools opened go with them.
    for (const QString& name : w.loadedNames())
        if (name != u"frmTray" && name != u"frmTarvek") w.unload(name);
    e->accept();
    // The program ends when no window is left; the splash may still be
    // counting its ticks and closes itself.
    auto quitWhenEmpty = [] {
        const QStringList left = Windows::instance().loadedNames();
        if (left.isEmpty() || left == QStringList{QStringLiteral("frmTray")}) QCoreApplication::quit();
    };
    static bool watching = false;
    if (!watching) connect(&w, &Windows::windowUnloaded, qApp, quitWhenEmpty);
    watching = true;
    quitWhenEmpty();
}

bool frmTray::eventFilter(QObject* watched, QEvent* event) {
    // Closing the launcher is the launcher's way to end the program, as the
    // exit entry is; the tools still run their own close handling.
    if (watched == launcher_ && event->type() == QEvent::Close && !exiting_) {
        event->ignore();
        exitProgram();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace shell
