#include "Printers.h"
#include "ShellFiles.h"
#include "shell/core/FileSearch.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using shell::FileSearch;
using shell::NamePattern;
using shell_files::touch;
using shell_files::Tree;

namespace {

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
    const QStringList drives = FileSearch::drives();
    ASSERT_FALSE(drives.isEmpty());
    EXPECT_EQ(drives.first(), "/");
    EXPECT_EQ(drives.count("/"), 1);
    for (const QString& d : drives) {
        EXPECT_TRUE(d.endsWith(u'/'));
        EXPECT_FALSE(d.startsWith("/proc/") || d.startsWith("/sys/") || d.startsWith("/dev/"))
            << d.toStdString();
    }
}
