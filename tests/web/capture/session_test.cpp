#include "web/capture/BrowserCapture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <lz4.h>

using namespace web::capture;

namespace {

// A session the way Firefox writes it: windows, tabs, each tab's history
// with a 1-based index of the page it shows.
const QByteArray kSession = R"({"version":["sessionrestore",1],"selectedWindow":1,"windows":[
 {"selected":2,"tabs":[
   {"index":2,"entries":[{"url":"https://old.example/","title":"旧页"},
                         {"url":"https://www.pep.com.cn/czsx/","title":"初中数学"}]},
   {"index":1,"entries":[{"url":"https://shown.example/","title":"同名"}]}]},
 {"selected":1,"tabs":[
   {"index":1,"entries":[{"url":"https://other.example/","title":"Other"}]},
   {"index":1,"entries":[{"url":"https://background.example/","title":"初中数学"}]}]}]})";

// The LZ4 block of a file made by liblz4 itself, not by the code under test.
QByteArray mozLz4(const QByteArray& json, quint32 claimedSize) {
    QByteArray block(LZ4_compressBound(int(json.size())), '\0');
    const int n = LZ4_compress_default(json.constData(), block.data(), int(json.size()), int(block.size()));
    block.truncate(n);
    QByteArray file("mozLz40\0", 8);
    for (int i = 0; i < 4; ++i)
        file.append(char((claimedSize >> (8 * i)) & 0xff));
    return file + block;
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

struct Profiles {
    QTemporaryDir dir;
    QString recovery() const {
        return dir.path() + "/abcd.default-esr/sessionstore-backups/recovery.jsonlz4";
    }
};

} // namespace

TEST(MozLz4, DecodesAFileMadeByLiblz4) {
    const std::optional<QByteArray> json = decodeMozLz4(mozLz4(kSession, quint32(kSession.size())));
    ASSERT_TRUE(json);
    EXPECT_EQ(*json, kSession);
    EXPECT_EQ(decodeMozLz4(encodeMozLz4(kSession)), kSession);
}

TEST(MozLz4, DamagedFilesGiveNothing) {
    const QByteArray good = mozLz4(kSession, quint32(kSession.size()));
    struct Case {
        const char* what;
        QByteArray file;
    };
    const QList<Case> cases{
        {"empty", {}},
        {"short header", good.left(10)},
        {"header only", good.left(12)},
        {"foreign magic", QByteArray("mozLz41\0", 8) + good.mid(8)},
        {"size 2^32-1", mozLz4(kSession, 0xffffffffu)},
        {"size above the bound", mozLz4(kSession, quint32(kMaxSessionSize + 1))},
        {"size smaller than the data", mozLz4(kSession, quint32(kSession.size() - 1))},
        {"size larger than the data", mozLz4(kSession, quint32(kSession.size() + 1))},
        {"truncated block", good.left(good.size() - 7)},
        {"garbage block", QByteArray("mozLz40\0\x10\0\0\0", 12) + QByteArray(40, '\xff')},
    };
    for (const Case& c : cases)
        EXPECT_FALSE(decodeMozLz4(c.file)) << c.what;
}

TEST(FirefoxSessions, FindsTheShownPageByTitleFirst) {
    Profiles p;
    writeFile(p.recovery(), mozLz4(kSession, quint32(kSession.size())));
    FirefoxSessions s({p.dir.path()});
    // The tab shown in its window wins over a background tab of the same title.
    EXPECT_EQ(s.addressForTitle(QStringLiteral("初中数学")), QStringLiteral("https://www.pep.com.cn/czsx/"));
    EXPECT_EQ(s.addressForTitle(QStringLiteral("同名")), QStringLiteral("https://shown.example/"));
    // Only the page a tab shows, not its history.
    EXPECT_TRUE(s.addressForTitle(QStringLiteral("旧页")).isEmpty());
    EXPECT_TRUE(s.addressForTitle(QStringLiteral("初中")).isEmpty());
    // An unchanged file is not read again.
    EXPECT_EQ(s.reads(), 1);
}

TEST(FirefoxSessions, DamagedSessionFilesGiveNoAddress) {
    const QByteArray good = mozLz4(kSession, quint32(kSession.size()));
    for (const QByteArray& bad :
         {good.left(10), mozLz4(kSession, 0xffffffffu), good.left(good.size() / 2), mozLz4("{not json", 9),
          mozLz4(R"({"windows":[{"tabs":[{"index":9}]}]})", 37)}) {
        Profiles p;
        writeFile(p.recovery(), bad);
        FirefoxSessions s({p.dir.path()});
        EXPECT_TRUE(s.addressForTitle(QStringLiteral("初中数学")).isEmpty());
    }
}

TEST(FirefoxSessions, ReadsAgainWhenTheFileChanges) {
    Profiles p;
    writeFile(p.recovery(), mozLz4(kSession, quint32(kSession.size())));
    FirefoxSessions s({p.dir.path()});
    EXPECT_FALSE(s.addressForTitle(QStringLiteral("Other")).isEmpty());
    const QByteArray next =
        R"({"windows":[{"selected":1,"tabs":[{"index":1,"entries":[{"url":"https://new.example/","title":"新页"}]}]}]})";
    writeFile(p.recovery(), mozLz4(next, quint32(next.size())));
    EXPECT_EQ(s.addressForTitle(QStringLiteral("新页")), QStringLiteral("https://new.example/"));
    EXPECT_EQ(s.reads(), 2);
}

TEST(BrowserCapture, FirefoxAddressFromItsSessionWhenThereIsNoEditWindow) {
    Profiles p;
    writeFile(p.recovery(), mozLz4(kSession, quint32(kSession.size())));
    auto windows = std::make_unique<WindowTree>(QList<WindowNode>{
        {7, QStringLiteral("初中数学 — Mozilla Firefox"), QStringLiteral("firefox-esr"), {}, {}}});
    BrowserCapture cap(std::move(windows), std::make_unique<FirefoxSessions>(QStringList{p.dir.path()}));
    cap.noteClipboard(QStringLiteral("https://clipboard.example/"));
    const CaptureResult r = cap.tick();
    EXPECT_EQ(r.pageName, QStringLiteral("初中数学"));
    EXPECT_EQ(r.address, QStringLiteral("https://www.pep.com.cn/czsx/"));
    EXPECT_EQ(r.from, CaptureResult::From::Session);
}

TEST(BrowserCapture, WithoutASightOfWindowsTheSessionsFrontPageOrTheClipboard) {
    Profiles p;
    writeFile(p.recovery(), mozLz4(kSession, quint32(kSession.size())));
    auto hidden = [] {
        auto w = std::make_unique<WindowTree>();
        w->setSeesAllWindows(false); // a Wayland desktop
        return w;
    };
    BrowserCapture wayland(hidden(), std::make_unique<FirefoxSessions>(QStringList{p.dir.path()}));
    CaptureResult r = wayland.tick();
    EXPECT_EQ(r.pageName, QStringLiteral("同名")); // window 1, its selected tab 2
    EXPECT_EQ(r.address, QStringLiteral("https://shown.example/"));

    QTemporaryDir none;
    BrowserCapture bare(hidden(), std::make_unique<FirefoxSessions>(QStringList{none.path()}));
    EXPECT_TRUE(bare.tick().address.isEmpty());
    bare.noteClipboard(QStringLiteral("https://copied.example/"));
    r = bare.tick();
    EXPECT_TRUE(r.pageName.isEmpty());
    EXPECT_EQ(r.address, QStringLiteral("https://copied.example/"));

    // Where every window can be seen and none is a browser, the session
    // file is what a closed browser left: only a copied address counts.
    BrowserCapture x11(std::make_unique<WindowTree>(),
                       std::make_unique<FirefoxSessions>(QStringList{p.dir.path()}));
    EXPECT_TRUE(x11.tick().address.isEmpty());
    x11.noteClipboard(QStringLiteral("https://copied.example/"));
    r = x11.tick();
    EXPECT_FALSE(r.found);
    EXPECT_TRUE(r.pageName.isEmpty());
    EXPECT_EQ(r.address, QStringLiteral("https://copied.example/"));
}

namespace {

// A home folder of its own for the test, with no XDG folders set, so that
// the default profile roots are looked for in it.
struct TempHome {
    QTemporaryDir dir;
    QByteArray home = qgetenv("HOME"), config = qgetenv("XDG_CONFIG_HOME");
    TempHome() {
        qputenv("HOME", QFile::encodeName(dir.path()));
        qunsetenv("XDG_CONFIG_HOME");
    }
    ~TempHome() {
        qputenv("HOME", home);
        if (!config.isEmpty()) qputenv("XDG_CONFIG_HOME", config);
    }
    QString path(const QString& rel) const { return dir.path() + u'/' + rel; }
};

const QByteArray kEsrSession =
    R"({"selectedWindow":1,"windows":[{"selected":1,"tabs":[{"index":1,"entries":[{"url":"https://www.zxx.edu.cn/","title":"国家中小学智慧教育平台"}]}]}]})";

QByteArray esrSession() {
    return mozLz4(kEsrSession, quint32(kEsrSession.size()));
}

// Firefox's window over that session: no address bar window to read, so
// the address has to come from the session file.
std::unique_ptr<WindowTree> firefoxWindow() {
    return std::make_unique<WindowTree>(
        QList<WindowNode>{{7,
                           QStringLiteral("国家中小学智慧教育平台 — Mozilla Firefox"),
                           QStringLiteral("firefox-esr"),
                           {},
                           {}}});
}

} // namespace

TEST(FirefoxSessions, EveryProfileRootOfTheHomeFolder) {
    // Each place a Firefox of today keeps its profiles, laid out as it does:
    // profiles.ini naming the profile, installs.ini naming the default.
    const QStringList roots{".config/mozilla/firefox", ".mozilla/firefox",
                            "snap/firefox/common/.mozilla/firefox",
                            ".var/app/org.mozilla.firefox/.mozilla/firefox"};
    for (const QString& root : roots) {
        TempHome home;
        writeFile(home.path(root + "/profiles.ini"),
                  "[Install4F96D1932A9F858E]\nDefault=k3x9w2.default-esr\nLocked=1\n\n"
                  "[Profile0]\nName=default-esr\nIsRelative=1\nPath=k3x9w2.default-esr\nDefault=1\n\n"
                  "[General]\nStartWithLastProfile=1\nVersion=2\n");
        writeFile(home.path(root + "/installs.ini"),
                  "[4F96D1932A9F858E]\nDefault=k3x9w2.default-esr\nLocked=1\n");
        writeFile(home.path(root + "/k3x9w2.default-esr/sessionstore-backups/recovery.jsonlz4"),
                  esrSession());
        EXPECT_TRUE(FirefoxSessions::defaultProfileRoots().contains(home.path(root))) << root.toStdString();
        BrowserCapture cap(firefoxWindow(), std::make_unique<FirefoxSessions>());
        const CaptureResult r = cap.tick();
        EXPECT_EQ(r.address, QStringLiteral("https://www.zxx.edu.cn/")) << root.toStdString();
        EXPECT_EQ(r.from, CaptureResult::From::Session) << root.toStdString();
    }
}

TEST(FirefoxSessions, ProfilesNamedByTheirIniFilesWhereverTheyAre) {
    TempHome home;
    // A profile kept outside the root (IsRelative=0), and one that only
    // installs.ini names, in a folder of its own.
    const QString outside = home.path("教学/火狐配置");
    writeFile(home.path(".config/mozilla/firefox/profiles.ini"),
              QStringLiteral("[Profile0]\nName=school\nIsRelative=0\nPath=%1\n").arg(outside).toUtf8());
    writeFile(outside + "/sessionstore-backups/recovery.jsonlz4", esrSession());
    FirefoxSessions sessions;
    EXPECT_EQ(sessions.addressForTitle(QStringLiteral("国家中小学智慧教育平台")),
              QStringLiteral("https://www.zxx.edu.cn/"));

    TempHome other;
    writeFile(other.path(".mozilla/firefox/installs.ini"),
              "[4F96D1932A9F858E]\nDefault=profiles-2024/abc.default\n");
    writeFile(other.path(".mozilla/firefox/profiles-2024/abc.default/sessionstore-backups/recovery.jsonlz4"),
              esrSession());
    FirefoxSessions named;
    EXPECT_EQ(named.addressForTitle(QStringLiteral("国家中小学智慧教育平台")),
              QStringLiteral("https://www.zxx.edu.cn/"));
}
