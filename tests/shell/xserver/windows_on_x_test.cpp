// The program's windows on a real X server (Xvfb), as a teacher's desktop
// shows them: every dialog and message box is transient for the window it
// belongs to (so that a window manager keeps it above that window), and
// every window's frame lies in the screen's area left by the desktop's panels, on a
// 1366×768 and a 1024×768 screen.
//
// Qt picks its platform once per process, and the other window tests run
// offscreen: each case here starts an Xvfb of its size and runs this same
// program in it, with the cases that are only registered there (InXServer.*).
// Those read what the X server holds, through an xcb connection of their own.

#include "TestSupport.h"
#include "WidgetSupport.h"
#include "classes/ui/frmOpenDatabase.h"
#include "comments/ui/frmStudenPY.h"
#include "scores/ui/frmStudenCJ.h"
#include "shell/Windows.h"
#include "shell/ui/DocServices.h"
#include "shell/ui/FileDialog.h"
#include "shell/ui/MessageBox.h"
#include "shell/windows/frmTray.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <xcb/xcb.h>

using shell::Windows;

namespace {

const char* const kChildEnv = "VELTRANO_IN_XSERVER";

// A desktop's panels: one along the top, one along the bottom. The area
// left between them is what windows may use.
constexpr int kTopPanel = 32, kBottomPanel = 40;
QRect workArea(const QSize& screen) {
    return {0, kTopPanel, screen.width(), screen.height() - kTopPanel - kBottomPanel};
}

// ------------------------------------------------------------ the parent side

// Says on the root window, as a desktop does, which area its panels leave.
bool announceWorkArea(const QString& display, const QRect& area) {
    xcb_connection_t* c = xcb_connect(display.toLatin1().constData(), nullptr);
    if (xcb_connection_has_error(c)) {
        xcb_disconnect(c);
        return false;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    auto atom = [c](const char* name) {
        xcb_intern_atom_reply_t* r =
            xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(strlen(name)), name), nullptr);
        const xcb_atom_t a = r ? r->atom : XCB_NONE;
        free(r);
        return a;
    };
    const xcb_atom_t supported[] = {atom("_NET_WORKAREA")};
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, root, atom("_NET_SUPPORTED"), XCB_ATOM_ATOM, 32, 1,
                        supported);
    const uint32_t geometry[] = {uint32_t(area.x()), uint32_t(area.y()), uint32_t(area.width()),
                                 uint32_t(area.height())};
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, root, atom("_NET_WORKAREA"), XCB_ATOM_CARDINAL, 32, 4,
                        geometry);
    free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    xcb_disconnect(c);
    return true;
}

// A private X server of one screen size, for one test.
class Xvfb {
public:
    explicit Xvfb(const QSize& screen) {
        if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty()) {
            why_ = "Xvfb is not installed (scripts/deps.sh installs it)";
            return;
        }
        const QString size = QStringLiteral("%1x%2x24").arg(screen.width()).arg(screen.height());
        // -noreset: what the desktop said on the root window stays when the
        // client that said it has gone.
        proc_.start(QStringLiteral("Xvfb"),
                    {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-noreset"),
                     QStringLiteral("-nolisten"), QStringLiteral("tcp"), QStringLiteral("-screen"),
                     QStringLiteral("0"), size});
        if (!proc_.waitForStarted(10000)) {
            why_ = "Xvfb did not start";
            return;
        }
        QByteArray out;
        while (!out.contains('\n') && proc_.waitForReadyRead(10000))
            out += proc_.readAllStandardOutput();
        bool ok = false;
        const int n = out.trimmed().toInt(&ok);
        if (ok)
            display_ = QStringLiteral(":%1").arg(n);
        else
            why_ = "Xvfb gave no display number";
    }
    ~Xvfb() {
        if (proc_.state() != QProcess::NotRunning) {
            proc_.terminate();
            if (!proc_.waitForFinished(5000)) proc_.kill();
        }
    }
    QString display() const { return display_; }
    std::string why() const { return why_; }

private:
    QProcess proc_;
    QString display_;
    std::string why_;
};

// Runs InXServer.`test` of this program on an X server of `screen`; the
// child's own test output tells what failed.
void runOnXServer(const QSize& screen, const char* test) {
    Xvfb x(screen);
    ASSERT_FALSE(x.display().isEmpty()) << x.why();
    ASSERT_TRUE(announceWorkArea(x.display(), workArea(screen)));
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("DISPLAY"), x.display());
    env.insert(QString::fromLatin1(kChildEnv),
               QStringLiteral("%1x%2").arg(screen.width()).arg(screen.height()));
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=InXServer.%1").arg(QString::fromLatin1(test))});
    ASSERT_TRUE(child.waitForStarted(10000));
    const bool finished = child.waitForFinished(240000);
    const QString out = QString::fromUtf8(child.readAll());
    if (!finished) child.kill();
    ASSERT_TRUE(finished) << out.toStdString();
    EXPECT_EQ(child.exitCode(), 0) << out.toStdString();
    // The case ran (a filter that matched nothing passes too).
    EXPECT_TRUE(out.contains(QStringLiteral("[  PASSED  ] 1 test")))
        << "InXServer." << test << " did not run";
}

// ------------------------------------------------------------ the child side

// What the X server knows about our windows, through a connection of our own.
class XServer {
public:
    XServer() {
        c_ = xcb_connect(nullptr, nullptr);
        root_ = xcb_setup_roots_iterator(xcb_get_setup(c_)).data->root;
    }
    ~XServer() { xcb_disconnect(c_); }
    bool ok() const { return !xcb_connection_has_error(c_); }

    // WM_TRANSIENT_FOR of a window, or 0.
    xcb_window_t transientFor(xcb_window_t w) {
        xcb_get_property_reply_t* r = xcb_get_property_reply(
            c_, xcb_get_property(c_, 0, w, XCB_ATOM_WM_TRANSIENT_FOR, XCB_ATOM_WINDOW, 0, 1), nullptr);
        xcb_window_t out = 0;
        if (r && xcb_get_property_value_length(r) >= 4)
            out = *static_cast<xcb_window_t*>(xcb_get_property_value(r));
        free(r);
        return out;
    }
    // The outermost window holding `w` (a window manager's frame, when one
    // reparents it) in root coordinates, border included.
    QRect frame(xcb_window_t w) {
        for (;;) {
            xcb_query_tree_reply_t* t = xcb_query_tree_reply(c_, xcb_query_tree(c_, w), nullptr);
            if (!t) return {};
            const xcb_window_t parent = t->parent;
            free(t);
            if (parent == root_ || parent == XCB_WINDOW_NONE) break;
            w = parent;
        }
        xcb_get_geometry_reply_t* g = xcb_get_geometry_reply(c_, xcb_get_geometry(c_, w), nullptr);
        if (!g) return {};
        const int b = g->border_width;
        const QRect r(g->x, g->y, g->width + 2 * b, g->height + 2 * b);
        free(g);
        return r;
    }

private:
    xcb_connection_t* c_;
    xcb_window_t root_;
};

// The window a dialog must be transient for, and what the dialog is.
struct Owned {
    QWidget* dialog = nullptr;
    QWidget* owner = nullptr;
};

bool exposed(const QWidget* w) {
    return w && w->isVisible() && w->windowHandle() && w->windowHandle()->isExposed();
}

QWidget* topLevel(const char* className, const QString& objectName = {}) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->inherits(className) &&
            (objectName.isEmpty() || w->objectName() == objectName))
            return w;
    return nullptr;
}

class InXServer : public ::testing::Test {
protected:
    testing_support::DataFolder folder;
    XServer x;

    void SetUp() override {
        ASSERT_TRUE(x.ok());
        shell::MessageBox::takeShown();
    }
    void TearDown() override {
        shell::MessageBox::setTestMode(true);
        shell::FileDialog::clearNextFileNames();
        for (const QString& name : Windows::instance().loadedNames())
            Windows::instance().unload(name);
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible()) w->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    template <typename T> T* open(const char* name) {
        auto* w = qobject_cast<T*>(Windows::instance().open(QString::fromLatin1(name)));
        EXPECT_TRUE(w) << name;
        if (w) {
            EXPECT_TRUE(QTest::qWaitForWindowExposed(w)) << name;
        }
        return w;
    }
    static QAction* action(QWidget* window, const char* name) {
        auto* a = window->findChild<QAction*>(QString::fromLatin1(name));
        EXPECT_TRUE(a) << name;
        return a;
    }
    void expectTransient(const char* what, const Owned& o) {
        SCOPED_TRACE(what);
        ASSERT_TRUE(o.dialog && o.owner);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(o.dialog));
        EXPECT_EQ(x.transientFor(xcb_window_t(o.dialog->winId())), xcb_window_t(o.owner->window()->winId()))
            << o.dialog->objectName().toStdString() << " over " << o.owner->objectName().toStdString();
    }
    // A modal dialog of `className` that `run` opens, read while it is up
    // and then dismissed.
    xcb_window_t transientOfModal(const char* className, const std::function<void()>& run) {
        xcb_window_t got = 0;
        bool seen = false;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            QWidget* d = topLevel(className);
            if (!exposed(d)) return;
            got = x.transientFor(xcb_window_t(d->winId()));
            seen = true;
            if (auto* dialog = qobject_cast<QDialog*>(d)) dialog->reject();
        });
        poll.start(20);
        run();
        poll.stop();
        EXPECT_TRUE(seen) << className;
        return got;
    }
    static void closePreview() {
        QWidget* p = topLevel("QPrintPreviewDialog");
        ASSERT_TRUE(p);
        p->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    // A class open in the score window, made through its class-file window.
    void createClass(scores::frmStudenCJ* scores) {
        action(scores, "mFileNew")->trigger();
        QWidget* d = Windows::instance().find(QStringLiteral("frmOpenDatabase"));
        ASSERT_TRUE(d);
        d->findChild<QLineEdit*>(QStringLiteral("txtFileName"))->setText(QStringLiteral("初一1班"));
        d->findChild<QPushButton*>(QStringLiteral("cmdFileCjYN(1)"))->click();
        ASSERT_TRUE(
            QTest::qWaitFor([] { return !Windows::instance().find(QStringLiteral("frmOpenDatabase")); }));
    }
};

// Message boxes, file choosers, the class-file window, page setup, the
// import and print previews, the calendar, the text display, the finder and
// the about box: each belongs to the window it was opened from.
class DialogsBelongToTheirWindow : public InXServer {
    void TestBody() override {
        auto* scores = open<scores::frmStudenCJ>("frmStudenCJ");
        ASSERT_TRUE(scores);
        const xcb_window_t scoreId = xcb_window_t(scores->winId());

        shell::MessageBox::setTestMode(false);
        EXPECT_EQ(
            transientOfModal("QMessageBox",
                             [&] { shell::MessageBox::show(scores, QStringLiteral("系统提示测试！")); }),
            scoreId);
        EXPECT_EQ(
            transientOfModal("QMessageBox",
                             [&] { (void)shell::MessageBox::ask(scores, QStringLiteral("是否继续？")); }),
            scoreId);
        // The unsaved question, asked with one of the window's own controls.
        EXPECT_EQ(transientOfModal("QMessageBox",
                                   [&] {
                                       (void)shell::MessageBox::askYesNoCancel(
                                           scores->centralWidget(), QStringLiteral("尚未保存！是否保存？"));
                                   }),
                  scoreId);
        shell::MessageBox::setTestMode(true);
        shell::FileDialog::clearNextFileNames();
        EXPECT_EQ(transientOfModal(
                      "QFileDialog",
                      [&] { (void)shell::FileDialog::getOpenFileName(scores, QStringLiteral("打开")); }),
                  scoreId);

        // The class-file window, opened as the teacher opens it; the score
        // window waits greyed underneath.
        action(scores, "mFileOpem")->trigger();
        QWidget* classes = Windows::instance().find(QStringLiteral("frmOpenDatabase"));
        expectTransient("class files from the score window", {classes, scores});
        EXPECT_FALSE(scores->isEnabled());
        Windows::instance().unload(QStringLiteral("frmOpenDatabase"));
        EXPECT_TRUE(scores->isEnabled());

        createClass(scores);
        action(scores, "mFilePage")->trigger();
        expectTransient("page setup", {Windows::instance().find(QStringLiteral("frmSetPage")), scores});
        Windows::instance().unload(QStringLiteral("frmSetPage"));

        const QString csv = folder.path() + QStringLiteral("/名单.csv");
        QFile f(csv);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("姓名,学号,语文\n张伟,2023101,90\n");
        f.close();
        shell::FileDialog::setNextFileName(csv);
        action(scores, "mFileIn")->trigger();
        expectTransient("score import", {Windows::instance().find(QStringLiteral("frmImport")), scores});
        Windows::instance().unload(QStringLiteral("frmImport"));

        QWidget* previewButton = scores->findChild<QWidget*>(QStringLiteral("imgViewPrint"));
        ASSERT_TRUE(previewButton);
        QTest::mouseClick(previewButton, Qt::LeftButton);
        expectTransient("score preview", {Windows::instance().find(QStringLiteral("frmPrintView")), scores});

        action(scores, "mHelpAbout")->trigger();
        expectTransient("about box from the score window",
                        {Windows::instance().find(QStringLiteral("frmHelpAbout")), scores});
        Windows::instance().unload(QStringLiteral("frmHelpAbout"));
        Windows::instance().unload(QStringLiteral("frmPrintView"));
        Windows::instance().unload(QStringLiteral("frmStudenCJ"));

        // The comment writer: its class-file window and its print preview.
        auto* comments = open<QWidget>("frmStudenPY");
        ASSERT_TRUE(comments);
        auto* openClass = comments->findChild<QAbstractButton*>(QStringLiteral("imgOpenNewFile"));
        ASSERT_TRUE(openClass);
        openClass->click();
        expectTransient("class files from the comment writer",
                        {Windows::instance().find(QStringLiteral("frmOpenDatabase")), comments});
        Windows::instance().unload(QStringLiteral("frmOpenDatabase"));
        // Its print entry waits for a class; the preview is the one it opens.
        shell::PrintViaWord(QStringLiteral("张伟：你懂得尊重老师。"), comments);
        expectTransient("comment print preview", {topLevel("QPrintPreviewDialog"), comments});
        closePreview();
        Windows::instance().unload(QStringLiteral("frmStudenPY"));

        // The plan writer: calendar, text display, print preview, a chooser.
        auto* plan = open<QWidget>("frmKaiXueJiHua");
        ASSERT_TRUE(plan);
        plan->findChild<QAbstractButton*>(QStringLiteral("Command2"))->click();
        expectTransient("calendar", {Windows::instance().find(QStringLiteral("frmDate")), plan});
        Windows::instance().unload(QStringLiteral("frmDate"));
        // The statement a teacher clicks is shown as the writers show it.
        Windows::instance().open(QStringLiteral("frmViewText"), plan);
        expectTransient("text display", {Windows::instance().find(QStringLiteral("frmViewText")), plan});
        action(plan, "mFilePrint")->trigger();
        expectTransient("plan print preview", {topLevel("QPrintPreviewDialog"), plan});
        closePreview();
        EXPECT_EQ(
            transientOfModal("QFileDialog",
                             [&] { (void)shell::FileDialog::getSaveFileName(plan, QStringLiteral("保存")); }),
            xcb_window_t(plan->winId()));

        // The finder belongs to the settings window it is chosen from.
        auto* settings = open<QWidget>("frmSetSystem");
        ASSERT_TRUE(settings);
        auto* tool = settings->findChild<QAbstractButton*>(QStringLiteral("optEDIT(0)"));
        ASSERT_TRUE(tool);
        tool->click();
        expectTransient("finder", {Windows::instance().find(QStringLiteral("frmFindFile")), settings});
    }
};

// Every window, opened by name as the tray opens it, and the previews,
// opened from their windows: each frame lies within the panels' area.
class EveryWindowFitsTheScreen : public InXServer {
    void TestBody() override {
        const QStringList size = qEnvironmentVariable(kChildEnv).split(u'x');
        const QSize screen(size.value(0).toInt(), size.value(1).toInt());
        ASSERT_EQ(QGuiApplication::primaryScreen()->geometry(), QRect(QPoint(0, 0), screen));
        const QRect area = workArea(screen);
        ASSERT_EQ(QGuiApplication::primaryScreen()->availableGeometry(), area);
        auto expectInside = [&](QWidget* w, const QString& what) {
            SCOPED_TRACE(what.toStdString());
            ASSERT_TRUE(w);
            ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
            // What the server holds once the window has settled.
            QRect f;
            (void)QTest::qWaitFor(
                [&] {
                    f = x.frame(xcb_window_t(w->winId()));
                    return f == w->frameGeometry();
                },
                2000);
            EXPECT_TRUE(area.contains(f)) << f.x() << "," << f.y() << " " << f.width() << "×" << f.height();
        };

        QStringList names = Windows::knownNames();
        names << QStringLiteral("frmImport");
        for (const QString& name : names) {
            QWidget* w = Windows::instance().open(name);
            // The tray's own window is never shown; its stand-in launcher is.
            if (auto* tray = qobject_cast<shell::frmTray*>(w)) {
                if (tray->launcher()) expectInside(tray->launcher(), QStringLiteral("launcher"));
                continue;
            }
            expectInside(w, name);
        }
        for (const QString& name : Windows::instance().loadedNames())
            Windows::instance().unload(name);

        // The previews, opened from windows placed as they place themselves.
        for (const char* name : {"frmStudenPY", "frmKaiXueJiHua", "frmQiMoZhongJie", "frmJiaoAn"}) {
            QWidget* w = open<QWidget>(name);
            ASSERT_TRUE(w);
            shell::PrintViaWord(QStringLiteral("期末评语"), w);
            expectInside(topLevel("QPrintPreviewDialog"),
                         QString::fromLatin1(name) + QStringLiteral(" preview"));
            closePreview();
            Windows::instance().unload(QString::fromLatin1(name));
        }
        auto* scores = open<scores::frmStudenCJ>("frmStudenCJ");
        ASSERT_TRUE(scores);
        createClass(scores);
        QTest::mouseClick(scores->findChild<QWidget*>(QStringLiteral("imgViewPrint")), Qt::LeftButton);
        expectInside(Windows::instance().find(QStringLiteral("frmPrintView")),
                     QStringLiteral("score preview"));
    }
};

// Registered only inside the X server, so that an offscreen run neither
// lists nor skips them.
[[maybe_unused]] const bool registered = [] {
    if (!std::getenv(kChildEnv)) return false;
    ::testing::RegisterTest("InXServer", "DialogsBelongToTheirWindow", nullptr, nullptr, __FILE__, __LINE__,
                            []() -> ::testing::Test* { return new DialogsBelongToTheirWindow; });
    ::testing::RegisterTest("InXServer", "EveryWindowFitsTheScreen", nullptr, nullptr, __FILE__, __LINE__,
                            []() -> ::testing::Test* { return new EveryWindowFitsTheScreen; });
    return true;
}();

} // namespace

TEST(OnXServer, DialogsAreTransientForTheirWindow) {
    runOnXServer({1366, 768}, "DialogsBelongToTheirWindow");
}

TEST(OnXServer, EveryWindowFitsA1366x768Screen) {
    runOnXServer({1366, 768}, "EveryWindowFitsTheScreen");
}

TEST(OnXServer, EveryWindowFitsA1024x768Screen) {
    runOnXServer({1024, 768}, "EveryWindowFitsTheScreen");
}
