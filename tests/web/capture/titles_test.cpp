#include "web/capture/BrowserCapture.h"

#include <gtest/gtest.h>

using namespace web::capture;

namespace {

WindowNode top(uint64_t id, const QString& title, const QString& cls = {}, QList<WindowNode> kids = {}) {
    return WindowNode{id, title, cls, {}, std::move(kids)};
}

// A browser window the old way: a frame, a toolbar, and the address bar
// as an "Edit" window deep inside.
WindowNode markedBrowser(uint64_t id, const QString& title, const QString& address) {
    return top(
        id, title, QStringLiteral("IEFrame"),
        {top(id + 1, QStringLiteral("tool"), QStringLiteral("ReBarWindow32"),
             {top(id + 2, {}, QStringLiteral("ComboBox"), {top(id + 3, address, QStringLiteral("Edit"))})})});
}

BrowserCapture captureOver(QList<WindowNode> windows, std::unique_ptr<FirefoxSessions> sessions = nullptr) {
    return BrowserCapture(std::make_unique<WindowTree>(std::move(windows)), std::move(sessions));
}

} // namespace

TEST(BrowserTitles, PageNameFromTitles) {
    struct Case {
        QString title;
        QString name;
    };
    const QList<Case> cases{
        {QStringLiteral("人教网 - Microsoft Internet Explorer"), QStringLiteral("人教网")},
        {QStringLiteral("新闻 - Netscape"), QStringLiteral("新闻")},
        // Both markers: "Tencent Explorer" is applied last and wins.
        {QStringLiteral("A - Microsoft Internet Explorer Tencent Explorer"),
         QStringLiteral("A - Microsoft Internet Explorer ")},
        {QStringLiteral("Offline Explorer - 首页"), QString()},
        {QStringLiteral("课件 — Mozilla Firefox"), QStringLiteral("课件")},
        {QStringLiteral("课件 - Mozilla Firefox"), QStringLiteral("课件")},
        {QStringLiteral("私密 — Mozilla Firefox Private Browsing"), QStringLiteral("私密")},
        {QStringLiteral("Docs - Chromium"), QStringLiteral("Docs")},
        {QStringLiteral("Mail - Google Chrome"), QStringLiteral("Mail")},
        {QStringLiteral("Mozilla Firefox"), QString()},
        // A suffix only counts at the end; markers are case-sensitive.
        {QStringLiteral("Chromium - notes.txt"), QStringLiteral("Chromium - notes.txt")},
        {QStringLiteral("a - netscape"), QStringLiteral("a - netscape")},
        // The Linux suffix goes first, then the four classic markers.
        {QStringLiteral("Old - Netscape — Mozilla Firefox"), QStringLiteral("Old")},
    };
    for (const Case& c : cases)
        EXPECT_EQ(pageNameFromTitle(c.title), c.name) << c.title.toStdString();
}

TEST(BrowserTitles, BrowserCheckByTitleAndClass) {
    struct Case {
        TopWindow w;
        bool browser;
        BrowserFamily family;
        QString name;
    };
    const QList<Case> cases{
        {{1, QStringLiteral("x - Microsoft Internet Explorer"), {}, {}}, true, BrowserFamily::Marked, "x"},
        {{1, QStringLiteral("x — Mozilla Firefox"), {}, {}}, true, BrowserFamily::Firefox, "x"},
        {{1, QStringLiteral("x - Chromium"), {}, {}}, true, BrowserFamily::Chromium, "x"},
        // No suffix (a browser set to show the page title only): its class says it.
        {{1, QStringLiteral("课程表"), QStringLiteral("firefox-esr"), QStringLiteral("Navigator")},
         true,
         BrowserFamily::Firefox,
         QStringLiteral("课程表")},
        {{1, QStringLiteral("Docs"), QStringLiteral("Chromium"), QStringLiteral("chromium")},
         true,
         BrowserFamily::Chromium,
         "Docs"},
        // A browser's untitled helper window is no page.
        {{1, {}, QStringLiteral("firefox"), {}}, false, BrowserFamily::None, {}},
        {{1, QStringLiteral("Terminal"), QStringLiteral("XTerm"), {}}, false, BrowserFamily::None, {}},
        {{1, QStringLiteral("La Traviata - Opera"), QStringLiteral("Rhythmbox"), {}},
         false,
         BrowserFamily::None,
         {}},
    };
    for (const Case& c : cases) {
        const BrowserCheck r = checkBrowserWindow(c.w);
        EXPECT_EQ(r.browser, c.browser) << c.w.title.toStdString();
        EXPECT_EQ(r.family, c.family) << c.w.title.toStdString();
        EXPECT_EQ(r.pageName, c.name) << c.w.title.toStdString();
    }
}

TEST(BrowserCapture, FirstBrowserFrontToBackGivesNameAndEditText) {
    auto cap = captureOver({
        top(10, QStringLiteral("记事本"), QStringLiteral("Notepad"), {top(11, "not an address", "Edit")}),
        markedBrowser(20, QStringLiteral("人教网 - Microsoft Internet Explorer"),
                      QStringLiteral("http://www.pep.com.cn/")),
        markedBrowser(30, QStringLiteral("后面 - Netscape"), QStringLiteral("http://later.example/")),
    });
    const CaptureResult r = cap.tick();
    EXPECT_TRUE(r.found);
    EXPECT_EQ(r.pageName, QStringLiteral("人教网"));
    EXPECT_EQ(r.address, QStringLiteral("http://www.pep.com.cn/"));
    EXPECT_EQ(r.from, CaptureResult::From::EditWindow);
}

TEST(BrowserCapture, TheWalkStopsAtTheFirstBrowserEvenWithoutAnAddress) {
    auto cap = captureOver(
        {top(1, QStringLiteral("空 - Netscape")),
         markedBrowser(20, QStringLiteral("有 - Netscape"), QStringLiteral("http://x.example/"))});
    const CaptureResult r = cap.tick();
    EXPECT_TRUE(r.found);
    EXPECT_EQ(r.pageName, QStringLiteral("空"));
    EXPECT_TRUE(r.address.isEmpty());
}

TEST(BrowserCapture, NoBrowserFindsNothing) {
    auto cap = captureOver({top(1, QStringLiteral("终端")), top(2, QStringLiteral("文件"))});
    const CaptureResult r = cap.tick();
    EXPECT_FALSE(r.found);
    EXPECT_TRUE(r.pageName.isEmpty());
    EXPECT_TRUE(r.address.isEmpty());
}

TEST(BrowserCapture, AddressesAreOneBoundedLine) {
    const QString longAddress = QStringLiteral("https://example.org/") + QString(kMaxCapturedAddress, u'a');
    const QString fits = QStringLiteral("https://example.org/") + QString(kMaxCapturedAddress - 20, u'a');
    struct Case {
        QString edit;
        QString address;
    };
    const QList<Case> cases{
        {QStringLiteral("  http://a.example/ \n"), QStringLiteral("http://a.example/")},
        {QStringLiteral("http://a.example/\nrm -rf ~"), {}},
        {QStringLiteral("http://a.example/\u2028x"), {}},
        {longAddress, {}},
        {fits, fits},
    };
    for (const Case& c : cases) {
        auto cap = captureOver({markedBrowser(1, QStringLiteral("p - Netscape"), c.edit)});
        EXPECT_EQ(cap.tick().address, c.address) << c.edit.left(60).toStdString();
    }
}

TEST(BrowserCapture, ClipboardWebAddressIsTheLastResort) {
    auto cap = captureOver({top(1, QStringLiteral("课件 — Mozilla Firefox"))});
    EXPECT_TRUE(cap.tick().address.isEmpty());
    cap.noteClipboard(QStringLiteral("https://www.example.edu/lesson?id=7"));
    // Text that is not a single web address leaves the last one in place.
    for (const char* junk : {"hello world", "http://a.example/\nsecond line", "ftp://", "javascript:alert(1)",
                             "file:///etc/passwd", ""})
        cap.noteClipboard(QString::fromUtf8(junk));
    const CaptureResult r = cap.tick();
    EXPECT_EQ(r.address, QStringLiteral("https://www.example.edu/lesson?id=7"));
    EXPECT_EQ(r.from, CaptureResult::From::Clipboard);
    EXPECT_EQ(r.pageName, QStringLiteral("课件"));
    cap.noteClipboard(QStringLiteral("WWW.Example.com"));
    EXPECT_EQ(cap.tick().address, QStringLiteral("WWW.Example.com"));
}
