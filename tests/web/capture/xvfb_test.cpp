// Real X windows on a private Xvfb: the capture's own xcb connection finds
// them front to back, reads titles and classes, walks down to the "Edit"
// window and leaves the program's own windows alone.

#include "web/capture/BrowserCapture.h"
#include "web/capture/XcbWindows.h"

#include <QProcess>
#include <QStandardPaths>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <unistd.h>
#include <xcb/xcb.h>

using namespace web::capture;

namespace {

// One Xvfb for the test program, on the display number it picks itself.
class Xvfb {
public:
    static Xvfb& instance() {
        static Xvfb x;
        return x;
    }
    bool running() const { return !display_.isEmpty(); }
    QByteArray display() const { return display_; }
    QString why() const { return why_; }

private:
    Xvfb() {
        if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty()) {
            why_ = QStringLiteral("Xvfb is not installed (scripts/deps.sh installs it)");
            return;
        }
        proc_.setProgram(QStringLiteral("Xvfb"));
        // -noreset: the server keeps running (and stays reachable) when the
        // last client of one test has gone.
        proc_.setArguments({QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-noreset"),
                            QStringLiteral("-nolisten"), QStringLiteral("tcp"), QStringLiteral("-screen"),
                            QStringLiteral("0"), QStringLiteral("1024x768x24")});
        proc_.setProcessChannelMode(QProcess::SeparateChannels);
        proc_.start();
        if (!proc_.waitForStarted(10000)) {
            why_ = QStringLiteral("Xvfb did not start");
            return;
        }
        QByteArray out;
        while (!out.contains('\n') && proc_.waitForReadyRead(10000))
            out += proc_.readAllStandardOutput();
        bool ok = false;
        const int n = out.trimmed().toInt(&ok);
        if (!ok) {
            why_ = QStringLiteral("Xvfb gave no display number");
            return;
        }
        display_ = ":" + QByteArray::number(n);
    }
    ~Xvfb() {
        if (proc_.state() != QProcess::NotRunning) {
            proc_.terminate();
            proc_.waitForFinished(5000);
        }
    }
    QProcess proc_;
    QByteArray display_;
    QString why_;
};

// The "other programs": windows made through a connection of the test's own.
class Desktop {
public:
    explicit Desktop(const QByteArray& display) {
        c_ = xcb_connect(display.constData(), nullptr);
        root_ = xcb_setup_roots_iterator(xcb_get_setup(c_)).data->root;
    }
    ~Desktop() { xcb_disconnect(c_); }
    bool ok() const { return !xcb_connection_has_error(c_); }

    xcb_window_t window(xcb_window_t parent, const QString& title, const QByteArray& cls, bool map = true) {
        const xcb_window_t w = xcb_generate_id(c_);
        xcb_create_window(c_, XCB_COPY_FROM_PARENT, w, parent, 0, 0, 200, 100, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
        const QByteArray utf8 = title.toUtf8();
        xcb_change_property(c_, XCB_PROP_MODE_REPLACE, w, atom("_NET_WM_NAME"), atom("UTF8_STRING"), 8,
                            uint32_t(utf8.size()), utf8.constData());
        const QByteArray classes = cls + '\0' + cls + '\0';
        xcb_change_property(c_, XCB_PROP_MODE_REPLACE, w, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8,
                            uint32_t(classes.size()), classes.constData());
        if (map) xcb_map_window(c_, w);
        return w;
    }
    void setPid(xcb_window_t w, uint32_t pid) {
        xcb_change_property(c_, XCB_PROP_MODE_REPLACE, w, atom("_NET_WM_PID"), XCB_ATOM_CARDINAL, 32, 1,
                            &pid);
    }
    void setStacking(const std::vector<xcb_window_t>& bottomFirst) {
        xcb_change_property(c_, XCB_PROP_MODE_REPLACE, root_, atom("_NET_CLIENT_LIST_STACKING"),
                            XCB_ATOM_WINDOW, 32, uint32_t(bottomFirst.size()), bottomFirst.data());
    }
    void clearStacking() { xcb_delete_property(c_, root_, atom("_NET_CLIENT_LIST_STACKING")); }
    void destroy(xcb_window_t w) { xcb_destroy_window(c_, w); }
    // A round trip: everything sent before it has been done by the server.
    void sync() { free(xcb_get_input_focus_reply(c_, xcb_get_input_focus(c_), nullptr)); }
    xcb_window_t root() const { return root_; }

private:
    xcb_atom_t atom(const char* name) {
        xcb_intern_atom_reply_t* r =
            xcb_intern_atom_reply(c_, xcb_intern_atom(c_, 0, uint16_t(strlen(name)), name), nullptr);
        const xcb_atom_t a = r ? r->atom : XCB_NONE;
        free(r);
        return a;
    }
    xcb_connection_t* c_;
    xcb_window_t root_;
};

} // namespace

TEST(XcbCapture, RealWindowsFrontToBack) {
    Xvfb& x = Xvfb::instance();
    if (!x.running()) GTEST_SKIP() << x.why().toStdString();
    Desktop desk(x.display());
    ASSERT_TRUE(desk.ok());

    // Bottom to top: an old-style browser with its address bar, an unmapped
    // browser, then a Firefox window in front, then one of our own windows.
    const xcb_window_t ie =
        desk.window(desk.root(), QStringLiteral("人教网 - Microsoft Internet Explorer"), "IEFrame");
    const xcb_window_t bar = desk.window(ie, QStringLiteral("工具栏"), "ReBarWindow32");
    desk.window(bar, QStringLiteral("http://www.pep.com.cn/czsx/"), "Edit");
    desk.window(desk.root(), QStringLiteral("隐藏 - Netscape"), "Netscape", false);
    const xcb_window_t firefox =
        desk.window(desk.root(), QStringLiteral("课件 — Mozilla Firefox"), "firefox-esr");
    const xcb_window_t own =
        desk.window(desk.root(), QStringLiteral("我们自己 — Mozilla Firefox"), "veltrano");
    desk.setPid(own, uint32_t(getpid()));
    desk.sync();

    auto source = std::make_unique<XcbWindows>(x.display());
    ASSERT_TRUE(source->connected());
    XcbWindows* xcb = source.get();
    const QList<TopWindow> tops = xcb->topLevelWindows();
    ASSERT_EQ(tops.size(), 2); // the unmapped one and our own are left out
    EXPECT_EQ(tops[0].id, firefox);
    EXPECT_EQ(tops[0].title, QStringLiteral("课件 — Mozilla Firefox"));
    EXPECT_EQ(tops[0].wmClass, QStringLiteral("firefox-esr"));
    EXPECT_EQ(tops[1].id, ie);

    BrowserCapture cap(std::move(source), nullptr);
    CaptureResult r = cap.tick();
    EXPECT_TRUE(r.found);
    EXPECT_EQ(r.pageName, QStringLiteral("课件"));
    EXPECT_TRUE(r.address.isEmpty()) << "a Firefox window has no Edit window";

    desk.destroy(firefox);
    desk.sync();
    r = cap.tick();
    EXPECT_EQ(r.pageName, QStringLiteral("人教网"));
    EXPECT_EQ(r.address, QStringLiteral("http://www.pep.com.cn/czsx/"));
    EXPECT_EQ(r.from, CaptureResult::From::EditWindow);

    // With a window manager's stacking list, its order counts (top last).
    const xcb_window_t chromium = desk.window(desk.root(), QStringLiteral("Docs - Chromium"), "chromium");
    desk.setStacking({chromium, ie});
    desk.sync();
    EXPECT_EQ(cap.tick().pageName, QStringLiteral("人教网"));
    desk.setStacking({ie, chromium});
    desk.sync();
    EXPECT_EQ(cap.tick().pageName, QStringLiteral("Docs"));
    desk.clearStacking();
    desk.destroy(chromium);
    desk.destroy(ie);
    desk.sync();
    EXPECT_FALSE(cap.tick().found);
}

TEST(XcbCapture, AnOverlongAddressBarIsRefusedNotCut) {
    Xvfb& x = Xvfb::instance();
    if (!x.running()) GTEST_SKIP() << x.why().toStdString();
    Desktop desk(x.display());
    ASSERT_TRUE(desk.ok());
    const xcb_window_t top = desk.window(desk.root(), QStringLiteral("长 - Netscape"), "Netscape");
    desk.window(top, QStringLiteral("http://long.example/") + QString(3 * kMaxCapturedAddress, u'x'),
                "URLEdit");
    desk.sync();
    BrowserCapture cap(std::make_unique<XcbWindows>(x.display()), nullptr);
    const CaptureResult r = cap.tick();
    EXPECT_TRUE(r.found);
    EXPECT_EQ(r.pageName, QStringLiteral("长"));
    EXPECT_TRUE(r.address.isEmpty());
    desk.destroy(top);
    desk.sync();
}

TEST(XcbCapture, NoServerMeansNoWindows) {
    XcbWindows none(":987654");
    EXPECT_FALSE(none.connected());
    EXPECT_TRUE(none.topLevelWindows().isEmpty());
    EXPECT_TRUE(none.findEditText(1).isEmpty());
}
