#include "WidgetSupport.h"
#include "shell/Windows.h"
#include "shell/core/SafeOpen.h"
#include "shell/ui/GridView.h"
#include "shell/ui/MessageBox.h"
#include "shell/ui/TreeView.h"
#include "store/Schema.h"
#include "web/model/Bookmarks.h"
#include "web/ui/frmInternet.h"

#include <QAction>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFile>
#include <QLineEdit>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace web;
using testing_support::child;
using testing_support::DataFolder;

namespace {

const QDate kToday(2024, 3, 13);

void settle() {
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

struct Launches {
    QList<shell::OpenTarget> opened;
    Launches() {
        shell::setLauncherForTesting([this](const shell::OpenTarget& t) {
            opened << t;
            return true;
        });
    }
    ~Launches() { shell::setLauncherForTesting({}); }
};

// Qt's own opener, as the desktop would answer it: the handler takes the
// place of the browser or the document's program.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public Q_SLOTS:
    void open(const QUrl& url) { urls << url; }
};

struct Window {
    frmInternet* w;
    explicit Window() {
        shell::MessageBox::takeShown();
        w = qobject_cast<frmInternet*>(shell::Windows::instance().open("frmInternet"));
        EXPECT_NE(w, nullptr);
        w->setToday(kToday);
    }
    ~Window() {
        shell::Windows::instance().unload("frmInternet");
        settle();
    }
    QString status(const char* name) const { return child<QLineEdit>(w, name)->text(); }
    const shell::Grid& grid() const { return child<shell::GridView>(w, "MSFlexGrid1")->grid(); }
    QStringList categories() const {
        return child<shell::TreeView>(w, "tvwExplorer")->tree().childTexts("leiBie");
    }
};

void add(const DataFolder& f, const QString& name, const QString& cat,
         const QString& address = "http://x.example/") {
    ASSERT_TRUE(addBookmark(f.file(store::kCommonDb), name, cat, kToday, address));
}

QList<Bookmark> stored(const DataFolder& f) {
    QList<Bookmark> all;
    EXPECT_TRUE(readBookmarks(f.file(store::kCommonDb), &all));
    return all;
}

} // namespace

TEST(InternetWindow, TreeClickListsAndTheStatusTells) {
    DataFolder data;
    add(data, "a", QStringLiteral("数学"), "http://a.example/");
    add(data, "b", QStringLiteral("数学"), "http://b.example/");
    Window win;
    EXPECT_EQ(win.w->windowTitle(), QStringLiteral("网上资源--教育网站"));
    EXPECT_EQ(child<QWidget>(win.w, "Label3") != nullptr, true);
    EXPECT_NE(child<QWidget>(win.w, "Label2(0)"), nullptr);
    EXPECT_EQ(win.categories(), QStringList{"数学"});
    auto* tree = child<shell::TreeView>(win.w, "tvwExplorer");
    ASSERT_NE(tree->item("daToDay"), nullptr);
    // A real click on the tree node.
    tree->setCurrentItem(tree->item("daToDay"));
    Q_EMIT tree->itemClicked(tree->item("daToDay"), 0);
    EXPECT_EQ(win.grid().text(2, 4), QStringLiteral("http://b.example/"));
    EXPECT_EQ(win.status("txtFiles"), QStringLiteral("共列 2 个文件"));
    EXPECT_TRUE(win.status("txtFile").isEmpty());

    win.w->hoverCell(2, 4);
    EXPECT_EQ(child<QWidget>(win.w, "MSFlexGrid1")->toolTip(), QStringLiteral("http://b.example/"));
    EXPECT_EQ(win.status("txtFileName"), QStringLiteral("名称: b"));
    EXPECT_EQ(win.status("txtFile"), QStringLiteral("当前第 2 个网页"));
    EXPECT_EQ(win.status("txtFiles"), QStringLiteral("共列 2 个网页"));
    win.w->hoverCell(5, 2);
    EXPECT_TRUE(child<QWidget>(win.w, "MSFlexGrid1")->toolTip().isEmpty());
    EXPECT_TRUE(win.status("txtFiles").isEmpty());
}

TEST(InternetWindow, DeletingAskedRowsByTheirOwnRecords) {
    DataFolder data;
    add(data, QStringLiteral("同名"), QStringLiteral("甲"), "http://one.example/");
    add(data, QStringLiteral("同名"), QStringLiteral("甲"), "http://two.example/");
    add(data, QStringLiteral("三"), QStringLiteral("甲"), "http://three.example/");
    add(data, QStringLiteral("四"), QStringLiteral("乙"), "http://four.example/");
    Window win;
    win.w->listNode("daToDay");

    // A right click on row 2 alone: only that record goes, and the status
    // that named it tells what is listed now.
    win.w->hoverCell(2, 1);
    EXPECT_EQ(win.status("txtFileName"), QStringLiteral("名称: 同名"));
    EXPECT_EQ(win.status("txtFiles"), QStringLiteral("共列 4 个网页"));
    win.w->setDragRows(2, 2);
    win.w->setMouseRow(2);
    shell::MessageBox::setNextAnswer(shell::MessageBox::Yes);
    child<QAction>(win.w, "mDele")->trigger();
    EXPECT_EQ(shell::MessageBox::takeShown(), QStringList{QStringLiteral("真的要删除《同名》吗？")});
    EXPECT_TRUE(win.status("txtFileName").isEmpty());
    EXPECT_TRUE(win.status("txtFile").isEmpty());
    EXPECT_EQ(win.status("txtFiles"), QStringLiteral("共列 3 个网页"));
    // The emptied row keeps its number but names no page.
    win.w->hoverCell(2, 1);
    EXPECT_TRUE(win.status("txtFileName").isEmpty());
    EXPECT_TRUE(win.status("txtFiles").isEmpty());
    win.w->hoverCell(3, 1);
    EXPECT_EQ(win.status("txtFiles"), QStringLiteral("共列 3 个网页"));
    QList<Bookmark> left = stored(data);
    ASSERT_EQ(left.size(), 3);
    EXPECT_EQ(left[0].address, QStringLiteral("http://one.example/"));
    EXPECT_EQ(win.grid().text(2, 0), "2");
    EXPECT_TRUE(win.grid().text(2, 1).isEmpty());

    // Dragged from row 5 up to row 1: the emptied row and the rows past the
    // list ask nothing; No keeps a record and moves to row 1.
    win.w->setDragRows(5, 1);
    shell::MessageBox::setNextAnswer(shell::MessageBox::No);
    shell::MessageBox::setNextAnswer(shell::MessageBox::Yes);
    shell::MessageBox::setNextAnswer(shell::MessageBox::Yes);
    win.w->deleteChosenRows();
    EXPECT_EQ(shell::MessageBox::takeShown(),
              (QStringList{QStringLiteral("真的要删除《同名》吗？"), QStringLiteral("真的要删除《三》吗？"),
                           QStringLiteral("真的要删除《四》吗？")}));
    left = stored(data);
    ASSERT_EQ(left.size(), 1);
    EXPECT_EQ(left[0].address, QStringLiteral("http://one.example/"));
    EXPECT_EQ(win.categories(), QStringList{"甲"}) << "the tree is built again";
    EXPECT_EQ(win.status("txtFiles"), QStringLiteral("共列 1 个网页"));
}

TEST(InternetWindow, DoubleClickOpensThroughTheSafeOpener) {
    DataFolder data;
    QTemporaryDir dir;
    const QString script = dir.filePath("run.sh");
    {
        QFile f(script);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("#!/bin/sh\n");
    }
    add(data, "web", QStringLiteral("类"), "www.pep.com.cn");
    add(data, "script", QStringLiteral("类"), script);
    add(data, "gone", QStringLiteral("类"), dir.filePath("gone.doc"));
    Launches launches;
    Window win;
    win.w->listNode("daToDay");

    win.w->openCell(1, 2); // not the name or address column
    EXPECT_TRUE(launches.opened.isEmpty());
    win.w->openCell(1, 4);
    ASSERT_EQ(launches.opened.size(), 1);
    EXPECT_EQ(launches.opened[0].url, QUrl("http://www.pep.com.cn"));

    shell::MessageBox::setNextAnswer(shell::MessageBox::No);
    win.w->openCell(2, 1);
    const QStringList asked = shell::MessageBox::takeShown();
    ASSERT_EQ(asked.size(), 1);
    EXPECT_TRUE(asked[0].contains("run.sh"));
    EXPECT_EQ(launches.opened.size(), 1) << "a script is not started on No";
    shell::MessageBox::setNextAnswer(shell::MessageBox::Yes);
    win.w->openCell(2, 4);
    shell::MessageBox::takeShown();
    EXPECT_EQ(launches.opened.size(), 2);

    win.w->openCell(3, 4);
    const QStringList missing = shell::MessageBox::takeShown();
    ASSERT_EQ(missing.size(), 1);
    EXPECT_TRUE(missing[0].contains("gone.doc"));
    win.w->openCell(9, 4); // an empty row: nothing at all
    EXPECT_TRUE(shell::MessageBox::takeShown().isEmpty());
    EXPECT_EQ(launches.opened.size(), 2);
}

TEST(InternetWindow, PagesOpenWithQtsOpenerWhereThereIsNoXdgOpen) {
    DataFolder data;
    QTemporaryDir dir;
    const QString doc = dir.filePath(QStringLiteral("教案.txt"));
    {
        QFile f(doc);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("第一课\n");
    }
    add(data, "web", QStringLiteral("类"), "www.pep.com.cn");
    add(data, "doc", QStringLiteral("类"), doc);
    // A desktop without xdg-utils: nothing on the PATH, no browser named.
    QTemporaryDir emptyBin;
    const QByteArray path = qgetenv("PATH"), browser = qgetenv("BROWSER");
    qputenv("PATH", QFile::encodeName(emptyBin.path()));
    qunsetenv("BROWSER");
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler("http", &catcher, "open");
    QDesktopServices::setUrlHandler("file", &catcher, "open");
    const auto restore = qScopeGuard([&] {
        QDesktopServices::unsetUrlHandler("http");
        QDesktopServices::unsetUrlHandler("file");
        qputenv("PATH", path);
        if (!browser.isEmpty()) qputenv("BROWSER", browser);
    });
    Window win;
    win.w->listNode("daToDay");

    win.w->openCell(1, 4);
    win.w->openCell(2, 1);
    EXPECT_EQ(shell::MessageBox::takeShown(), QStringList{});
    EXPECT_EQ(catcher.urls, (QList<QUrl>{QUrl("http://www.pep.com.cn"), QUrl::fromLocalFile(doc)}));

    // Only when nothing at all can open it is the teacher told so.
    QDesktopServices::unsetUrlHandler("http");
    win.w->openCell(1, 4);
    const QStringList shown = shell::MessageBox::takeShown();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown[0].contains(QStringLiteral("桌面没有可以打开它的程序！"))) << shown[0].toStdString();
}

#include "internet_test.moc"
