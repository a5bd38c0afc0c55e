#include "Printers.h"
#include "WidgetSupport.h"
#include "shell/Windows.h"
#include "shell/core/FileSearch.h"
#include "shell/core/Settings.h"
#include "shell/ui/MessageBox.h"
#include "shell/windows/frmFindFile.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using shell::FileSearch;
using shell::NamePattern;
using testing_support::child;

namespace {

void touch(const QString& path) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
}

void settle() {
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QStringList searchAll(const QString& root, const QString& pattern) {
    FileSearch s(root, pattern);
    QStringList out;
    int guard = 0;
    while (!s.finished()) {
        for (const FileSearch::Batch& b : s.step(0)) {
            for (const QString& m : b.matches)
                EXPECT_TRUE(m.startsWith(b.folder));
            out += b.matches;
        }
        if (++guard > 100000) {
            ADD_FAILURE() << "the search does not end";
            break;
        }
    }
    return out;
}

// A tree with the traps of a real disk: links back up the tree, a link to a
// folder with a matching name, a folder nobody may read, Chinese names.
class Tree {
public:
    Tree() {
        // Readable by the unprivileged user the test may switch to.
        QFile::setPermissions(dir_.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                               QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                               QFileDevice::ExeOther | QFileDevice::ReadGroup |
                                               QFileDevice::ExeGroup);
        touch(path("b/calc.EXE"));
        touch(path("a/CALC.EXE"));
        touch(path("a/sub/calc.exe"));
        touch(path("a/sub/notcalc.exe"));
        touch(path("locked/calc.exe"));
        touch(path("中文/计算器.exe"));
        touch(path("中文/calc.exe.txt"));
        QDir().mkpath(path("c"));
        QFile::link(dir_.path(), path("b/loop"));   // back to the top
        QFile::link(path("a"), path("c/calc.exe")); // a link to a folder, by a matching name
        QFile::link("..", path("a/sub/up"));        // relative link up
        ::chmod(QFile::encodeName(path("locked")).constData(), 0);
    }
    ~Tree() { ::chmod(QFile::encodeName(path("locked")).constData(), 0755); }
    QString root() const { return dir_.path(); }
    QString path(const QString& rel) const { return dir_.path() + u'/' + rel; }

private:
    QTemporaryDir dir_;
};

// Runs f with the rights of an ordinary user: root reads every folder, so
// the unreadable folder is only unreadable to someone else.
template <typename F> void asOrdinaryUser(F f) {
    const bool root = geteuid() == 0;
    if (root) {
        ASSERT_EQ(seteuid(65534), 0);
    }
    f();
    if (root) {
        ASSERT_EQ(seteuid(0), 0);
    }
}

} // namespace

TEST(NamePattern, WildcardsWithoutRegardToCase) {
    struct Case {
        const char* pattern;
        const char* name;
        bool match;
    } cases[] = {
        {"calc.exe", "CALC.EXE", true},
        {"calc.exe", "calc.exe.bak", false},
        {"*.txt", "notes.TXT", true},
        {"*.txt", "notes.txt.gz", false},
        {"a?c", "abc", true},
        {"a?c", "ac", false},
        {"a?c", "abbc", false},
        {"*.*", "README", true},
        {"*a*b", "xaxb", true},
        {"*a*b", "xaxbx", false},
        {"*", "任何名字", true},
        {"[ab]", "[AB]", true},
        {"a?c", "a计c", true},
        {"*.exe", "计算器.EXE", true},
        {"?算器.exe", "计算器.exe", true},
        {"école*", "ÉCOLE.doc", true},
        {"计算器", "计算机", false},
        {"", "x", false},
        {"**x", "x", true},
        {"x*", "x", true},
    };
    for (const Case& c : cases) {
        const NamePattern p(QString::fromUtf8(c.pattern));
        const QByteArray name(c.name);
        EXPECT_EQ(p.matches(name.constData(), size_t(name.size())), c.match) << c.pattern << " / " << c.name;
        EXPECT_EQ(p.matches(QString::fromUtf8(c.name)), c.match) << c.pattern << " / " << c.name;
    }
}

TEST(FileSearch, ListsFolderByFolderNeverLoopsAndPassesOverUnreadableFolders) {
    Tree t;
    asOrdinaryUser([&] {
        EXPECT_EQ(searchAll(t.root(), "calc.exe"),
                  QStringList({t.path("a/CALC.EXE"), t.path("a/sub/calc.exe"), t.path("b/calc.EXE"),
                               t.path("c/calc.exe")}));
        // Folders and links match like files; the walk ends although links
        // lead back up the tree.
        EXPECT_EQ(searchAll(t.root() + "/", "*"),
                  QStringList({t.path("a"), t.path("b"), t.path("c"), t.path("locked"), t.path("中文"),
                               t.path("a/CALC.EXE"), t.path("a/sub"), t.path("a/sub/calc.exe"),
                               t.path("a/sub/notcalc.exe"), t.path("a/sub/up"), t.path("b/calc.EXE"),
                               t.path("b/loop"), t.path("c/calc.exe"), t.path("中文/calc.exe.txt"),
                               t.path("中文/计算器.exe")}));
        EXPECT_EQ(searchAll(t.root(), "计算器*"), QStringList({t.path("中文/计算器.exe")}));
    });
    // Without the lock the folder is searched.
    EXPECT_TRUE(searchAll(t.root(), "calc.exe").contains(t.path("locked/calc.exe")));
}

TEST(FileSearch, FoldersWhoseNamesBeginWithADotAreListedButNotSearched) {
    QTemporaryDir d;
    const QString r = d.path();
    for (const char* f :
         {".cache/calc.exe", ".calc.exe/calc.exe", "a/.git/objects/calc.exe", "a/.calc.exe", "a/calc.exe"})
        touch(r + u'/' + QString::fromUtf8(f));
    struct Case {
        QString root;
        const char* pattern;
        QStringList found;
    } cases[] = {
        // A hidden file is a file like any other; a hidden folder is listed.
        {r, "*calc.exe", {r + "/.calc.exe", r + "/a/.calc.exe", r + "/a/calc.exe"}},
        {r,
         "*",
         {r + "/.cache", r + "/.calc.exe", r + "/a", r + "/a/.calc.exe", r + "/a/.git", r + "/a/calc.exe"}},
        {r, "objects", {}},
        // A folder chosen to search from is searched, whatever its name.
        {r + "/.cache", "*", {r + "/.cache/calc.exe"}},
        {r + "/a/.git/", "calc.exe", {r + "/a/.git/objects/calc.exe"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(searchAll(c.root, QString::fromUtf8(c.pattern)), c.found)
            << c.root.toStdString() << " " << c.pattern;
}

TEST(FileSearch, SkipsKernelFileSystemsAndMissingRoots) {
    for (const char* root : {"/proc", "/sys/", "/dev", "/proc/sys/fs/binfmt_misc", "/sys/kernel/"}) {
        FileSearch s(root, "*");
        EXPECT_TRUE(s.finished()) << root;
        EXPECT_TRUE(s.step(0).empty());
    }
    EXPECT_EQ(searchAll("/no/such/folder", "*"), QStringList());
    EXPECT_EQ(searchAll(QDir::tempPath(), ""), QStringList());
}

TEST(FileSearch, DrivesStartWithTheRoot) {
    const QStringList drives = shell::frmFindFile::drives();
    ASSERT_FALSE(drives.isEmpty());
    EXPECT_EQ(drives.first(), "/");
    EXPECT_EQ(drives.count("/"), 1);
    for (const QString& d : drives) {
        EXPECT_TRUE(d.endsWith(u'/'));
        EXPECT_FALSE(d.startsWith("/proc/") || d.startsWith("/sys/") || d.startsWith("/dev/"))
            << d.toStdString();
    }
}

namespace {

shell::frmFindFile* openFinder(const QString& name, const QString& key) {
    auto* w = qobject_cast<shell::frmFindFile*>(shell::Windows::instance().open("frmFindFile"));
    EXPECT_NE(w, nullptr);
    if (w) w->applyPreset({name, key});
    return w;
}

void selectRow(QWidget* w, int row) {
    auto* list = child<QAbstractItemView>(w, "List1");
    list->setCurrentIndex(list->model()->index(row, 0));
}

void runToEnd(shell::frmFindFile* w) {
    while (w->searching())
        QCoreApplication::processEvents();
}

} // namespace

TEST(FinderWindow, SearchListsMatchesCountsThemAndOkWritesTheKey) {
    testing_support::DataFolder data(false);
    Tree t;
    auto* w = openFinder("CALC.EXE", "toobName3");
    EXPECT_EQ(w->windowTitle(), QStringLiteral("文件查找"));
    EXPECT_EQ(child<QComboBox>(w, "Combo1")->currentText(), "CALC.EXE");
    EXPECT_EQ(child<QLabel>(w, "labFindingName")->text(), QStringLiteral("查找"));
    auto* start = child<QPushButton>(w, "Command1");
    auto* stop = child<QPushButton>(w, "Command2");
    auto* ok = child<QPushButton>(w, "Command4");
    EXPECT_EQ(start->text(), QStringLiteral("开始查找"));
    EXPECT_FALSE(stop->isEnabled());
    EXPECT_FALSE(ok->isEnabled());

    w->setRoot(t.root());
    EXPECT_EQ(child<QLabel>(w, "labFindingName")->text(), t.root() + "/");
    start->click();
    EXPECT_TRUE(stop->isEnabled());
    runToEnd(w);
    auto* list = child<QAbstractItemView>(w, "List1");
    ASSERT_NE(list, nullptr);
    QStringList found;
    for (int i = 0; i < list->model()->rowCount(); ++i)
        found << list->model()->index(i, 0).data().toString();
    EXPECT_EQ(found, w->foundPaths());
    // As root the locked folder is readable too and its match comes after.
    EXPECT_EQ(found.mid(0, 4), QStringList({t.path("a/CALC.EXE"), t.path("a/sub/calc.exe"),
                                            t.path("b/calc.EXE"), t.path("c/calc.exe")}));
    EXPECT_EQ(child<QLabel>(w, "labFindedName")->text(), found.last());
    EXPECT_EQ(child<QLabel>(w, "labFindingName")->text(),
              QStringLiteral("在驱动器%1/上共查找到%2个与\"CALC.EXE\"相匹配的文件。")
                  .arg(t.root())
                  .arg(found.size()));
    EXPECT_FALSE(stop->isEnabled());

    // "确定" waits for a choice.
    EXPECT_FALSE(ok->isEnabled());
    selectRow(w, 1);
    EXPECT_TRUE(ok->isEnabled());
    QString chosenKey, chosenPath;
    QObject::connect(w, &shell::frmFindFile::pathChosen, [&](const QString& key, const QString& path) {
        chosenKey = key;
        chosenPath = path;
    });
    ok->click();
    settle();
    EXPECT_EQ(shell::Windows::instance().find("frmFindFile"), nullptr);
    EXPECT_EQ(shell::readProfileString("MyToobFile", "toobName3"), t.path("a/sub/calc.exe"));
    EXPECT_EQ(chosenPath, t.path("a/sub/calc.exe"));
    EXPECT_EQ(chosenKey, QStringLiteral("toobName3"));
}

TEST(FinderWindow, StopEndsTheSearchAndReportsWhatWasFound) {
    testing_support::DataFolder data(false);
    QTemporaryDir dir;
    for (int i = 0; i < 60; ++i)
        touch(dir.filePath(QStringLiteral("d%1/x.dat").arg(i, 2, 10, QChar(u'0'))));
    auto* w = openFinder("*.DAT", "toobName1");
    w->setRoot(dir.path());
    w->setSliceMilliseconds(0); // one small piece of work per turn of the event loop
    int slices = 0;
    QObject::connect(w, &shell::frmFindFile::sliceDone, w, [&] {
        if (++slices == 6) child<QPushButton>(w, "Command2")->click();
    });
    child<QPushButton>(w, "Command1")->click();
    runToEnd(w);
    const int n = int(w->foundPaths().size());
    EXPECT_GT(n, 0);
    EXPECT_LT(n, 60);
    EXPECT_EQ(child<QLabel>(w, "labFindingName")->text(),
              QStringLiteral("在驱动器%1/上共查找到%2个与\"*.DAT\"相匹配的文件。").arg(dir.path()).arg(n));
    EXPECT_FALSE(child<QPushButton>(w, "Command2")->isEnabled());
    EXPECT_TRUE(child<QPushButton>(w, "Command1")->isEnabled());

    // A full search finds them all.
    child<QPushButton>(w, "Command1")->click();
    runToEnd(w);
    EXPECT_EQ(w->foundPaths().size(), 60);

    // "取消" writes nothing.
    selectRow(w, 0);
    child<QPushButton>(w, "Command3")->click();
    settle();
    EXPECT_EQ(shell::Windows::instance().find("frmFindFile"), nullptr);
    EXPECT_FALSE(QFile::exists(shell::settingsFile()));
}

TEST(FinderWindow, EmptyPatternOnlyEnablesStop) {
    auto* w = openFinder("", "toobName2");
    child<QPushButton>(w, "Command1")->click();
    EXPECT_FALSE(w->searching());
    EXPECT_TRUE(child<QPushButton>(w, "Command2")->isEnabled());
    EXPECT_EQ(child<QLabel>(w, "labFindingName")->text(), QStringLiteral("查找"));
    w->close();
    settle();
}
