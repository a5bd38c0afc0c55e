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

namespace {
struct Entry {
    const char* name;
    const char* caption; // "-" for a separator
    const char* icon;
    const char* window; // the window the entry opens, if any
};
constexpr Entry kEntries[] = {
    {"mnuTrayAbout", "&关于....", "about", "frmHelpAbout"},
    {"mnuTraySystem", "&系统设置", "setup", "frmSetSystem"},
    {"mnuTraySep1", "-", "", ""},
    {"mnuTraySetInternet", "&记录当前网址", "close", "frmSetInternet"},
    {"mnuTrayInternet", "&浏览网上资源", "internet", "frmInternet"},
    {"mnuTraySep3", "-", "", ""},
    {"mnuTrayZhongjie", "&期末总结枪手", "jiaoan", "frmQiMoZhongJie"},
    {"mnuTrayPinyu", "&学生评语快手", "studenBook", "frmStudenPY"},
    {"mnuTrayChengJi", "&成绩管理助手", "viewdetails", "frmStudenCJ"},
    {"mnuTrayJiaoan", "&教案设计能手", "pen", "frmJiaoAn"},
    {"mnuTrayJiahua", "&开学计划高手", "jihua", "frmKaiXueJiHua"},
    {"mnuTraySep4", "-", "", ""},
    {"mnuTrayClose", "&退    出", "exit", ""},
};
} // namespace

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
    for (const Entry& e : kEntries) {
        const bool separator = QByteArray(e.caption) == "-";
        QAction* a = separator ? mnuTray->addSeparator() : mnuTray->addAction(QString::fromUtf8(e.caption));
        a->setObjectName(QString::fromLatin1(e.name));
        if (separator) continue;
        const QString window = QString::fromLatin1(e.window);
        if (window.isEmpty())
            connect(a, &QAction::triggered, this, &frmTray::exitProgram);
        else
            connect(a, &QAction::triggered, this, [window] { Windows::instance().open(window); });
    }
}

QAction* frmTray::entry(const QString& name) const {
    for (QAction* a : mnuTray->actions())
        if (a->objectName() == name) return a;
    return nullptr;
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
    for (const Entry& e : kEntries)
        if (*e.icon)
            if (QAction* a = entry(QString::fromLatin1(e.name)))
                a->setIcon(icon(QString::fromLatin1(e.icon)));
}

void frmTray::buildLauncher() {
    // A top-level window of its own (not a child of the hidden main window).
    launcher_ = new QWidget(nullptr, Qt::Window | Qt::WindowStaysOnTopHint);
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
