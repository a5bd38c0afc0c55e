#include "Printers.h"
#include "TestSupport.h"
#include "scores/ui/frmStudenCJ.h"
#include "shell/SingleInstance.h"
#include "shell/Startup.h"
#include "shell/Windows.h"
#include "shell/ui/KeyFilter.h"
#include "shell/ui/MessageBox.h"
#include "shell/windows/frmTarvek.h"
#include "shell/windows/frmTray.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

using shell::Windows;

namespace {

// Closes every window a test left open, so tests do not see each other's.
void closeAll() {
    for (const QString& n : Windows::instance().loadedNames()) {
        QWidget* w = Windows::instance().find(n);
        w->setAttribute(Qt::WA_DeleteOnClose, false);
        delete w;
    }
    QApplication::processEvents();
}

struct ShellFixture : ::testing::Test {
    testing_support::DataFolder data;
    void SetUp() override { shell::MessageBox::takeShown(); }
    void TearDown() override { closeAll(); }
};

} // namespace

TEST_F(ShellFixture, SplashLoadsTrayAtTenthTickAndClosesAtTwentieth) {
    auto* splash = qobject_cast<shell::frmTarvek*>(Windows::instance().open(QStringLiteral("frmTarvek")));
    ASSERT_TRUE(splash);
    for (int i = 0; i < 9; ++i)
        splash->tick();
    EXPECT_FALSE(Windows::instance().find(QStringLiteral("frmTray")));
    splash->tick();
    QWidget* tray = Windows::instance().find(QStringLiteral("frmTray"));
    ASSERT_TRUE(tray);
    EXPECT_FALSE(tray->isVisible()); // loaded, never shown
    for (int i = 0; i < 9; ++i)
        splash->tick();
    EXPECT_TRUE(Windows::instance().find(QStringLiteral("frmTarvek")));
    splash->tick();
    EXPECT_FALSE(Windows::instance().find(QStringLiteral("frmTarvek")));
}

TEST_F(ShellFixture, SplashTimerRunsOnItsOwn) {
    Windows::instance().open(QStringLiteral("frmTarvek"));
    // Nobody ticks the splash here: its own timer loads the hidden main window
    // and then unloads the splash.
    ASSERT_TRUE(testing_support::waitFor([] { return Windows::instance().find(QStringLiteral("frmTray")); }));
    ASSERT_TRUE(
        testing_support::waitFor([] { return !Windows::instance().find(QStringLiteral("frmTarvek")); }));
}

TEST_F(ShellFixture, TrayMenuHasEveryEntryInOrder) {
    auto* tray = qobject_cast<shell::frmTray*>(Windows::instance().load(QStringLiteral("frmTray")));
    ASSERT_TRUE(tray);
    const QList<QPair<QString, QString>> expected{{"mnuTrayAbout", "&关于...."},
                                                  {"mnuTraySystem", "&系统设置"},
                                                  {"mnuTraySep1", ""},
                                                  {"mnuTraySetInternet", "&记录当前网址"},
                                                  {"mnuTrayInternet", "&浏览网上资源"},
                                                  {"mnuTraySep3", ""},
                                                  {"mnuTrayZhongjie", "&期末总结枪手"},
                                                  {"mnuTrayPinyu", "&学生评语快手"},
                                                  {"mnuTrayChengJi", "&成绩管理助手"},
                                                  {"mnuTrayJiaoan", "&教案设计能手"},
                                                  {"mnuTrayJiahua", "&开学计划高手"},
                                                  {"mnuTraySep4", ""},
                                                  {"mnuTrayClose", "&退    出"}};
    const QList<QAction*> actions = tray->menu()->actions();
    ASSERT_EQ(actions.size(), expected.size());
    for (int i = 0; i < actions.size(); ++i) {
        EXPECT_EQ(actions[i]->objectName(), expected[i].first);
        EXPECT_EQ(actions[i]->isSeparator(), expected[i].second.isEmpty());
        // A separator is a line only: no "-" drawn at its left.
        if (actions[i]->isSeparator()) {
            EXPECT_EQ(actions[i]->text(), QString()) << expected[i].first.toStdString();
        }
        if (!actions[i]->isSeparator()) {
            EXPECT_EQ(actions[i]->text(), expected[i].second);
            EXPECT_FALSE(actions[i]->icon().isNull()) << expected[i].first.toStdString();
        }
    }
    EXPECT_EQ(tray->windowTitle(), QStringLiteral("Borsk速记"));
    if (tray->trayIcon()) {
        EXPECT_EQ(tray->trayIcon()->toolTip(), QStringLiteral("Veltranov2.18"));
    } else {
        ASSERT_TRUE(tray->launcher()); // no tray on this desktop: the launcher stands in
    }
}

TEST_F(ShellFixture, EachEntryOpensOneWindowAndBringsItBack) {
    auto* tray = qobject_cast<shell::frmTray*>(Windows::instance().load(QStringLiteral("frmTray")));
    const QList<QPair<QString, QString>> entries{
        {"mnuTrayAbout", "frmHelpAbout"},         {"mnuTraySystem", "frmSetSystem"},
        {"mnuTraySetInternet", "frmSetInternet"}, {"mnuTrayInternet", "frmInternet"},
        {"mnuTrayZhongjie", "frmQiMoZhongJie"},   {"mnuTrayPinyu", "frmStudenPY"},
        {"mnuTrayChengJi", "frmStudenCJ"},        {"mnuTrayJiaoan", "frmJiaoAn"},
        {"mnuTrayJiahua", "frmKaiXueJiHua"}};
    const QHash<QString, QString> titles{{"frmHelpAbout", "关于Veltrano"},
                                         {"frmSetSystem", "Veltrano-系统设置"},
                                         {"frmSetInternet", "把当前网址记录到<<Veltrano>>中"},
                                         {"frmInternet", "网上资源--教育网站"},
                                         {"frmQiMoZhongJie", "期末总结枪手"},
                                         {"frmStudenPY", "学生评语快手"},
                                         {"frmStudenCJ", "成绩管理助手"},
                                         {"frmJiaoAn", "教案设计能手"},
                                         {"frmKaiXueJiHua", "开学计划高手"}};
    for (const auto& [entry, window] : entries) {
        tray->entry(entry)->trigger();
        QWidget* first = Windows::instance().find(window);
        ASSERT_TRUE(first) << window.toStdString();
        EXPECT_EQ(first->objectName(), window);
        EXPECT_EQ(first->windowTitle(), titles.value(window));
        EXPECT_TRUE(first->isVisible());
        first->setProperty("marker", 1);
        tray->entry(entry)->trigger();
        EXPECT_EQ(Windows::instance().find(window), first);
        EXPECT_EQ(Windows::instance().find(window)->property("marker").toInt(), 1);
    }
    const QList<QWidget*> tops = QApplication::topLevelWidgets();
    for (const auto& [entry, window] : entries) {
        int same = 0;
        for (QWidget* w : tops)
            same += w->objectName() == window;
        EXPECT_EQ(same, 1) << window.toStdString();
    }
}

TEST_F(ShellFixture, AboutOkUnloadsAndNextUseIsFresh) {
    QWidget* about = Windows::instance().open(QStringLiteral("frmHelpAbout"));
    about->setProperty("marker", 1);
    auto* ok = about->findChild<QPushButton*>(QStringLiteral("cmdOK"));
    ASSERT_TRUE(ok);
    EXPECT_EQ(ok->text(), QStringLiteral("确定"));
    ok->click();
    EXPECT_FALSE(Windows::instance().find(QStringLiteral("frmHelpAbout")));
    QApplication::processEvents();
    QWidget* again = Windows::instance().open(QStringLiteral("frmHelpAbout"));
    EXPECT_FALSE(again->property("marker").isValid());
}

TEST_F(ShellFixture, WindowTitlesAreTheirCaptionsAlone) {
    shell::prepareApplication(*static_cast<QApplication*>(QCoreApplication::instance()));
    // A display name would be appended by the platform to the title the
    // window manager shows ("成绩管理助手 — Veltrano"): none may be set. Unset,
    // it follows the application name.
    const QString appName = QCoreApplication::applicationName();
    QCoreApplication::setApplicationName(QStringLiteral("probe"));
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), QStringLiteral("probe"));
    QCoreApplication::setApplicationName(appName);

    const QList<QPair<QString, QString>> windows{{"frmStudenCJ", "成绩管理助手"},
                                                 {"frmSetSystem", "Veltrano-系统设置"},
                                                 {"frmHelpAbout", "关于Veltrano"},
                                                 {"frmFindFile", "文件查找"},
                                                 {"frmDate", "日历表"}};
    for (const auto& [name, title] : windows) {
        QWidget* w = Windows::instance().open(name);
        ASSERT_TRUE(w && w->windowHandle()) << name.toStdString();
        EXPECT_EQ(w->windowTitle(), title);
        EXPECT_EQ(w->windowHandle()->title(), title);
    }

    // The message box, as a real box (not the test seam), closed once shown.
    shell::MessageBox::setTestMode(false);
    QString boxTitle, boxWindowTitle;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(w);
            if (!box || !box->isVisible()) continue;
            boxTitle = box->windowTitle();
            boxWindowTitle = box->windowHandle() ? box->windowHandle()->title() : QString();
            box->accept();
        }
    });
    poll.start(10);
    shell::MessageBox::show(nullptr, QStringLiteral("测试"));
    poll.stop();
    shell::MessageBox::setTestMode(true);
    EXPECT_EQ(boxTitle, QStringLiteral("系统提示："));
    EXPECT_EQ(boxWindowTitle, QStringLiteral("系统提示："));
}

TEST_F(ShellFixture, SecondStartOpensTheWindowAskedForOrSaysThereIsNone) {
    struct Case {
        QStringList args;
        const char* opens;   // the window that must be open afterwards, if any
        const char* message; // what the teacher is told, if anything
    };
    const Case cases[] = {
        {{"veltrano", "--open", "frmDate"}, "frmDate", ""},
        // As on a first start: a message, and no menu popping up mid-screen.
        {{"veltrano", "--open", "frmNope"}, "", "没有名为“frmNope”的窗口！"},
        {{"veltrano", "--open"}, "frmTray", ""},
        {{"veltrano"}, "frmTray", ""},
    };
    for (const Case& c : cases) {
        closeAll();
        shell::MessageBox::takeShown();
        shell::handleSecondStart(c.args);
        const QString opens = QString::fromUtf8(c.opens), message = QString::fromUtf8(c.message);
        SCOPED_TRACE(c.args.join(u' ').toStdString());
        EXPECT_EQ(shell::MessageBox::takeShown(), message.isEmpty() ? QStringList() : QStringList{message});
        if (opens.isEmpty()) {
            EXPECT_TRUE(Windows::instance().loadedNames().isEmpty())
                << Windows::instance().loadedNames().join(u',').toStdString();
        } else if (opens == u"frmTray") {
            auto* tray = qobject_cast<shell::frmTray*>(Windows::instance().find(opens));
            ASSERT_TRUE(tray);
            EXPECT_TRUE(tray->launcher() ? tray->launcher()->isVisible() : tray->menu()->isVisible());
        } else {
            ASSERT_TRUE(Windows::instance().find(opens));
            EXPECT_TRUE(Windows::instance().find(opens)->isVisible());
        }
    }
}

namespace {
struct PlacementFixture : ShellFixture {
    QRect a; // the screen's available area
    void SetUp() override {
        ShellFixture::SetUp();
        a = QGuiApplication::primaryScreen()->availableGeometry();
        Windows::instance().setFactory(QStringLiteral("probeCaller"), [] { return new QWidget; });
        Windows::instance().setFactory(QStringLiteral("probeWindow"), [] { return new QWidget; });
    }
    void TearDown() override {
        ShellFixture::TearDown();
        Windows::instance().setFactory(QStringLiteral("probeCaller"), nullptr);
        Windows::instance().setFactory(QStringLiteral("probeWindow"), nullptr);
    }
    // One of the program's windows at `g`, active when shown.
    QWidget* callerAt(const QRect& g, bool shown = true) {
        QWidget* c = shown ? Windows::instance().open(QStringLiteral("probeCaller"))
                           : Windows::instance().load(QStringLiteral("probeCaller"));
        c->setGeometry(g);
        if (shown) {
            c->activateWindow();
            EXPECT_TRUE(QTest::qWaitForWindowActive(c));
        }
        return c;
    }
    QWidget* openProbe(const QSize& size, QWidget* caller) {
        QWidget* w = Windows::instance().load(QStringLiteral("probeWindow"));
        w->resize(size);
        return Windows::instance().open(QStringLiteral("probeWindow"), caller);
    }
};
} // namespace

TEST_F(PlacementFixture, SecondaryWindowsOpenCentredOverTheirCallerWithinTheScreen) {
    // Positions are those of the frames, as a window manager places them
    // (the offscreen platform draws a thin one).
    enum Where { OverCaller, ScreenCentre, TopLeft, BottomRight, WholeArea };
    const QSize probe(200, 100);
    struct Case {
        const char* what;
        QRect caller; // empty: no window of ours is open
        bool shown;   // the caller is on screen
        bool passed;  // handed to open() rather than only active
        QSize size;
        Where where;
    } cases[] = {
        {"over the caller", {a.x() + 200, a.y() + 150, 400, 300}, true, true, probe, OverCaller},
        {"over the active window", {a.x() + 200, a.y() + 150, 400, 300}, true, false, probe, OverCaller},
        {"caller at the top left", {a.x(), a.y(), 100, 80}, true, true, {300, 200}, TopLeft},
        {"caller at the bottom right",
         {a.right() - 99, a.bottom() - 79, 100, 80},
         true,
         true,
         {300, 200},
         BottomRight},
        {"caller not on screen", {a.x(), a.y(), 100, 80}, false, true, probe, ScreenCentre},
        {"nothing open", {}, false, false, probe, ScreenCentre},
        {"larger than the screen",
         {a.x() + 200, a.y() + 150, 400, 300},
         true,
         true,
         a.size() + QSize(100, 100),
         WholeArea},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        closeAll();
        QWidget* caller = c.caller.isEmpty() ? nullptr : callerAt(c.caller, c.shown);
        QWidget* w = openProbe(c.size, c.passed ? caller : nullptr);
        const QRect f = w->frameGeometry();
        if (c.where != WholeArea) {
            EXPECT_EQ(w->size(), c.size);
        }
        switch (c.where) {
        case OverCaller: {
            const QPoint off = f.center() - caller->frameGeometry().center();
            EXPECT_LE(off.manhattanLength(), 1) << off.x() << "," << off.y();
            break;
        }
        case ScreenCentre: {
            // The frame is known only once shown: within its width of the centre.
            const QPoint off = f.center() - a.center();
            EXPECT_LE(off.manhattanLength(), 1 + (f.width() - w->width())) << off.x() << "," << off.y();
            break;
        }
        case TopLeft:
            EXPECT_EQ(f.topLeft(), a.topLeft());
            break;
        case BottomRight:
            EXPECT_EQ(f.bottomRight(), a.bottomRight());
            break;
        case WholeArea:
            // No larger than the screen's area, title bar and all.
            EXPECT_EQ(f, a);
            break;
        }
        if (c.size == probe) {
            EXPECT_TRUE(a.contains(f));
        }
    }

    // A window already open stays where the teacher put it.
    closeAll();
    QWidget* caller = callerAt({a.x() + 200, a.y() + 150, 400, 300});
    QWidget* w = openProbe(probe, caller);
    w->move(a.x() + 5, a.y() + 7);
    EXPECT_EQ(Windows::instance().open(QStringLiteral("probeWindow"), caller), w);
    EXPECT_EQ(w->pos(), QPoint(a.x() + 5, a.y() + 7));
}

TEST_F(PlacementFixture, ClassFileWindowOpensOverTheScoreWindow) {
    auto* scores =
        qobject_cast<scores::frmStudenCJ*>(Windows::instance().open(QStringLiteral("frmStudenCJ")));
    ASSERT_TRUE(scores);
    scores->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(scores));
    scores->entry(QStringLiteral("mFileOpem"))->trigger();
    QWidget* d = Windows::instance().find(QStringLiteral("frmOpenDatabase"));
    ASSERT_TRUE(d && d->isVisible());
    const QPoint off = d->frameGeometry().center() - scores->frameGeometry().center();
    EXPECT_LE(off.manhattanLength(), 2) << off.x() << "," << off.y();
    EXPECT_TRUE(a.contains(d->frameGeometry()));
    Windows::instance().unload(QStringLiteral("frmOpenDatabase"));
}

namespace {
// Stands in for a tool window: records its close and may ask first.
class LoggingWindow : public QWidget {
public:
    LoggingWindow(QString name, QStringList* log, bool asks)
        : name_(std::move(name)), log_(log), asks_(asks) {}

protected:
    void closeEvent(QCloseEvent* e) override {
        if (asks_ && !shell::MessageBox::ask(this, QStringLiteral("是否保存？"))) {
            e->ignore();
            return;
        }
        *log_ << name_;
        e->accept();
    }

private:
    QString name_;
    QStringList* log_;
    bool asks_;
};

struct ExitFixture : ShellFixture {
    QStringList log;
    QHash<QString, Windows::Factory> saved;
    void SetUp() override {
        ShellFixture::SetUp();
        for (const QString& n : shell::frmTray::exitOrder()) {
            saved.insert(n, Windows::instance().factory(n));
            const bool asks = n == u"frmStudenCJ";
            Windows::instance().setFactory(n, [this, n, asks] { return new LoggingWindow(n, &log, asks); });
        }
    }
    void TearDown() override {
        ShellFixture::TearDown();
        for (auto it = saved.begin(); it != saved.end(); ++it) {
            if (it.value())
                Windows::instance().setFactory(it.key(), it.value());
            else
                Windows::instance().setFactory(it.key(), nullptr);
        }
    }
};
} // namespace

TEST_F(ExitFixture, ExitClosesToolWindowsInOrderThenEverything) {
    auto* tray = qobject_cast<shell::frmTray*>(Windows::instance().load(QStringLiteral("frmTray")));
    // Opened in another order than the exit order; one is left closed.
    for (const char* n :
         {"frmSetSystem", "frmHelpAbout", "frmStudenCJ", "frmJiaoAn", "frmStudenPY", "frmQiMoZhongJie"})
        Windows::instance().open(QString::fromLatin1(n));
    Windows::instance().open(QStringLiteral("frmPrintView")); // a secondary window goes too
    shell::MessageBox::setNextAnswer(shell::MessageBox::Yes);
    tray->entry(QStringLiteral("mnuTrayClose"))->trigger();
    EXPECT_EQ(log, (QStringList{"frmJiaoAn", "frmStudenCJ", "frmStudenPY", "frmQiMoZhongJie", "frmHelpAbout",
                                "frmSetSystem"}));
    EXPECT_EQ(shell::MessageBox::takeShown(), QStringList{QStringLiteral("是否保存？")});
    QApplication::processEvents();
    EXPECT_TRUE(Windows::instance().loadedNames().isEmpty())
        << Windows::instance().loadedNames().join(u',').toStdString();
}

TEST_F(ExitFixture, WindowThatKeepsItsTextKeepsTheProgram) {
    auto* tray = qobject_cast<shell::frmTray*>(Windows::instance().load(QStringLiteral("frmTray")));
    Windows::instance().open(QStringLiteral("frmJiaoAn"));
    Windows::instance().open(QStringLiteral("frmStudenCJ"));
    Windows::instance().open(QStringLiteral("frmSetSystem"));
    shell::MessageBox::setNextAnswer(shell::MessageBox::No);
    tray->entry(QStringLiteral("mnuTrayClose"))->trigger();
    EXPECT_EQ(log, QStringList{QStringLiteral("frmJiaoAn")});
    EXPECT_TRUE(Windows::instance().find(QStringLiteral("frmTray")));
    EXPECT_TRUE(Windows::instance().find(QStringLiteral("frmStudenCJ")));
    EXPECT_TRUE(Windows::instance().find(QStringLiteral("frmSetSystem")));
    if (tray->launcher()) {
        EXPECT_TRUE(tray->launcher()->isVisible());
    }
}

TEST(SharedHelpers, NumberKeyFilterTakesEveryKeyButComplains) {
    shell::MessageBox::takeShown();
    QLineEdit box;
    shell::NumberKeyFilter::install(&box);
    QTest::keyClicks(&box, QStringLiteral("8.5/"));
    EXPECT_TRUE(shell::MessageBox::takeShown().isEmpty());
    QTest::keyClick(&box, Qt::Key_Backspace);
    QTest::keyClicks(&box, QStringLiteral("a"));
    EXPECT_EQ(box.text(), QStringLiteral("8.5a"));
    EXPECT_EQ(shell::MessageBox::takeShown(), QStringList{QStringLiteral("分数只能以数字表示，请重做！")});
    QTest::keyClick(&box, Qt::Key_Return); // control keys are not characters
    QTest::keyClick(&box, Qt::Key_Left);
    EXPECT_TRUE(shell::MessageBox::takeShown().isEmpty());
}

TEST(SharedHelpers, SecondStartHandsItsArgumentsToTheFirst) {
    const QString key = QStringLiteral("test-%1").arg(QCoreApplication::applicationPid());
    shell::SingleInstance first(key);
    ASSERT_TRUE(first.listen());
    QSignalSpy spy(&first, &shell::SingleInstance::messageReceived);
    shell::SingleInstance second(key);
    EXPECT_TRUE(second.forwardToRunning(
        {QStringLiteral("veltrano"), QStringLiteral("--open"), QStringLiteral("frmDate")}));
    ASSERT_TRUE(testing_support::waitFor([&] { return spy.count() == 1; }));
    EXPECT_EQ(spy.at(0).at(0).toStringList().last(), QStringLiteral("frmDate"));
    shell::SingleInstance other(key + QStringLiteral("-x"));
    EXPECT_FALSE(other.forwardToRunning({}));
}

namespace {
// Sets an environment variable (or unsets it, for a null value) for one scope.
class EnvVar {
public:
    EnvVar(const char* name, const QByteArray& value)
        : name_(name), had_(qEnvironmentVariableIsSet(name)), old_(qgetenv(name)) {
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value);
    }
    ~EnvVar() {
        if (had_)
            qputenv(name_, old_);
        else
            qunsetenv(name_);
    }

private:
    const char* name_;
    bool had_;
    QByteArray old_;
};

QString mode(const QString& path) {
    struct stat st {};
    return lstat(QFile::encodeName(path).constData(), &st) == 0 ? QString::number(st.st_mode & 0777, 8)
                                                                : QString();
}
} // namespace

TEST(SingleCopy, SocketGoesInAFolderOnlyThisUserCanEnter) {
    QTemporaryDir tmp;
    EnvVar tmpdir("TMPDIR", QFile::encodeName(tmp.path()));
    EnvVar cache("XDG_CACHE_HOME", QFile::encodeName(tmp.path() + QStringLiteral("/cache")));
    const QString fallback = tmp.path() + QStringLiteral("/veltrano-%1").arg(geteuid());
    const QString runtime = tmp.path() + QStringLiteral("/run"), open = tmp.path() + QStringLiteral("/open"),
                  link = tmp.path() + QStringLiteral("/link"), readOnly = tmp.path() + QStringLiteral("/ro");
    ASSERT_EQ(mkdir(QFile::encodeName(runtime).constData(), 0700), 0);
    ASSERT_EQ(mkdir(QFile::encodeName(open).constData(), 0777), 0);
    ASSERT_EQ(chmod(QFile::encodeName(open).constData(), 0777), 0);
    ASSERT_EQ(mkdir(QFile::encodeName(readOnly).constData(), 0500), 0);
    ASSERT_EQ(symlink(QFile::encodeName(runtime).constData(), QFile::encodeName(link).constData()), 0);
    struct Case {
        QByteArray runtimeDir; // XDG_RUNTIME_DIR, null for unset
        QString folder;
    } cases[] = {
        {QFile::encodeName(runtime), runtime},
        {QFile::encodeName(open), fallback},     // others may enter: not used
        {QFile::encodeName(readOnly), fallback}, // not 0700
        {QFile::encodeName(link), fallback},     // a link may be swapped
        {"relative/run", fallback},
        {QByteArray(), fallback},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.runtimeDir.constData());
        EnvVar xdg("XDG_RUNTIME_DIR", c.runtimeDir);
        EXPECT_EQ(shell::SingleInstance::socketFolder(), c.folder);
        EXPECT_EQ(shell::SingleInstance(QStringLiteral("k")).serverPath().section(u'/', 0, -2), c.folder);
        if (c.folder == fallback) {
            EXPECT_EQ(mode(fallback), QStringLiteral("700"));
        }
    }
}

// Without XDG_RUNTIME_DIR, a "veltrano-<uid>" folder in the temporary folder
// that is open to others, or that another user made first, is not used: the
// socket goes into a 0700 folder in the user's own cache folder, and two
// copies on one data folder still meet there.
TEST(SingleCopy, AFolderOpenToOthersOrMadeByAnotherUserIsPassedOver) {
    struct Case {
        const char* what;
        uid_t owner; // 0: ours (the test's user)
        mode_t mode;
    } cases[] = {
        {"ours but open to everyone", 0, 0777},
        {"ours but open to the group", 0, 0770},
        {"another user's, open to everyone", 65534, 0777},
        {"another user's, private", 65534, 0700},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.owner != 0 && geteuid() != 0) continue; // only root can give a folder away
        QTemporaryDir tmp;
        EnvVar tmpdir("TMPDIR", QFile::encodeName(tmp.path()));
        EnvVar xdg("XDG_RUNTIME_DIR", QByteArray());
        const QString cacheHome = tmp.path() + QStringLiteral("/home/.cache");
        EnvVar cache("XDG_CACHE_HOME", QFile::encodeName(cacheHome));
        const QByteArray planted =
            QFile::encodeName(tmp.path() + QStringLiteral("/veltrano-%1").arg(geteuid()));
        ASSERT_EQ(mkdir(planted.constData(), 0700), 0);
        if (c.owner != 0) {
            ASSERT_EQ(chown(planted.constData(), c.owner, c.owner), 0);
        }
        ASSERT_EQ(chmod(planted.constData(), c.mode), 0);

        const QString own = cacheHome + QStringLiteral("/veltrano/run");
        EXPECT_EQ(shell::SingleInstance::socketFolder(), own);
        EXPECT_EQ(mode(own), QStringLiteral("700"));
        // Whatever was planted is left as it was.
        EXPECT_EQ(mode(QFile::decodeName(planted)), QString::number(c.mode, 8));

        const QString key = QStringLiteral("planted-%1").arg(QCoreApplication::applicationPid());
        shell::SingleInstance first(key);
        EXPECT_EQ(first.serverPath().section(u'/', 0, -2), own);
        ASSERT_TRUE(first.listen());
        QSignalSpy spy(&first, &shell::SingleInstance::messageReceived);
        EXPECT_TRUE(shell::SingleInstance(key).forwardToRunning({QStringLiteral("veltrano")}));
        ASSERT_TRUE(QTest::qWaitFor([&] { return spy.count() == 1; }, 3000));
    }

    // The cache folder's own one is refused too when it is not private.
    QTemporaryDir tmp;
    EnvVar tmpdir("TMPDIR", QFile::encodeName(tmp.path()));
    EnvVar xdg("XDG_RUNTIME_DIR", QByteArray());
    EnvVar cache("XDG_CACHE_HOME", QFile::encodeName(tmp.path() + QStringLiteral("/cache")));
    const QByteArray planted = QFile::encodeName(tmp.path() + QStringLiteral("/veltrano-%1").arg(geteuid()));
    ASSERT_EQ(mkdir(planted.constData(), 0700), 0);
    ASSERT_EQ(chmod(planted.constData(), 0777), 0);
    const QString run = tmp.path() + QStringLiteral("/cache/veltrano/run");
    ASSERT_TRUE(QDir().mkpath(run));
    ASSERT_EQ(chmod(QFile::encodeName(run).constData(), 0755), 0);
    EXPECT_EQ(shell::SingleInstance::socketFolder(), QString());
    EXPECT_FALSE(shell::SingleInstance(QStringLiteral("k")).listen());
}

TEST(SingleCopy, AListenerOfAnotherUserDoesNotStopTheStart) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to listen as another user";
    const QString key = QStringLiteral("planted-%1").arg(QCoreApplication::applicationPid());
    const QByteArray path = QFile::encodeName(shell::SingleInstance(key).serverPath());
    ASSERT_FALSE(path.isEmpty());
    ASSERT_LT(size_t(path.size()), sizeof(sockaddr_un::sun_path));

    // Another user's program listening where a second start looks: bound
    // there, then running as "nobody" when it listens and accepts.
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        memcpy(addr.sun_path, path.constData(), size_t(path.size()));
        unlink(path.constData());
        if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || setgid(65534) != 0 ||
            setuid(65534) != 0 || ::listen(fd, 8) != 0)
            _exit(1);
        if (write(ready[1], "r", 1) != 1) _exit(1);
        for (;;) {
            const int c = accept(fd, nullptr, nullptr);
            char buf[256];
            while (c >= 0 && read(c, buf, sizeof buf) > 0) {
            }
            if (c >= 0) close(c);
        }
    }
    close(ready[1]);
    char r = 0;
    const bool listening = read(ready[0], &r, 1) == 1;
    close(ready[0]);
    struct Reaper {
        pid_t pid;
        ~Reaper() {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
    } reaper{child};
    ASSERT_TRUE(listening);

    // The start goes on: the arguments are not handed over, and this copy
    // becomes the one later starts reach.
    shell::SingleInstance first(key);
    EXPECT_FALSE(first.forwardToRunning({QStringLiteral("veltrano")}));
    ASSERT_TRUE(first.listen());
    QSignalSpy spy(&first, &shell::SingleInstance::messageReceived);
    EXPECT_TRUE(shell::SingleInstance(key).forwardToRunning(
        {QStringLiteral("veltrano"), QStringLiteral("--open"), QStringLiteral("frmDate")}));
    ASSERT_TRUE(testing_support::waitFor([&] { return spy.count() == 1; }));
}
