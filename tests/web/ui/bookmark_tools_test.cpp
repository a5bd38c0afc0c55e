#include "WidgetSupport.h"
#include "shell/Windows.h"
#include "shell/ui/FileDialog.h"
#include "shell/ui/GridView.h"
#include "shell/ui/MessageBox.h"
#include "shell/ui/TreeView.h"
#include "store/Schema.h"
#include "store/Store.h"
#include "web/model/BookmarkFile.h"
#include "web/model/Bookmarks.h"
#include "web/ui/frmInternet.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
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

struct Window {
    frmInternet* w;
    Window() {
        shell::MessageBox::takeShown();
        w = qobject_cast<frmInternet*>(shell::Windows::instance().open("frmInternet"));
        EXPECT_NE(w, nullptr);
        w->setToday(kToday);
    }
    ~Window() {
        shell::Windows::instance().unload("frmInternet");
        settle();
    }
    const shell::Grid& grid() const { return child<shell::GridView>(w, "MSFlexGrid1")->grid(); }
    QString status() const { return child<QLineEdit>(w, "txtFiles")->text(); }
    QStringList categories() const {
        return child<shell::TreeView>(w, "tvwExplorer")->tree().childTexts("leiBie");
    }
    QStringList names(int rows) const {
        QStringList out;
        for (int r = 1; r <= rows; ++r)
            out << grid().text(r, 1);
        return out;
    }
};

QString db(const DataFolder& f) {
    return f.file(store::kCommonDb);
}

void add(const DataFolder& f, const QString& name, const QString& cat, const QString& address) {
    ASSERT_TRUE(addBookmark(db(f), name, cat, kToday, address));
}

QList<Bookmark> stored(const DataFolder& f) {
    QList<Bookmark> all;
    EXPECT_TRUE(readBookmarks(db(f), &all));
    return all;
}

template <typename T = QDialog> T* dialog(QWidget* w, const char* name) {
    T* d = nullptr;
    EXPECT_TRUE(testing_support::waitFor([&] { return (d = w->findChild<T*>(name)) && d->isVisible(); }));
    return d;
}

} // namespace

TEST(BookmarkTools, ImportShowsThePreviewAndWritesOnlyWhenConfirmed) {
    DataFolder data;
    add(data, QStringLiteral("人教网"), QStringLiteral("教材"), "https://www.pep.com.cn/");
    const QString file = data.path() + "/bookmarks.html";
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bookmarkFileText({
            {0,
             QStringLiteral("人教网（再存）"),
             QStringLiteral("教材"),
             kToday,
             {},
             "HTTPS://www.pep.com.cn"},
            {0,
             QStringLiteral("静夜思"),
             QStringLiteral("语文/古诗"),
             QDate(2021, 2, 3),
             {},
             "https://so.example.cn/"},
            {0, QStringLiteral("小工具"), QStringLiteral("工具"), kToday, {}, "javascript:void(0)"},
        }));
    }
    Window win;
    // Cancelled: nothing written.
    win.w->importFile(file);
    auto* preview = dialog(win.w, "frmImportBookmarks");
    ASSERT_NE(preview, nullptr);
    EXPECT_TRUE(preview->isModal());
    EXPECT_EQ(preview->parentWidget(), win.w);
    EXPECT_EQ(child<QLabel>(preview, "labSummary")->text(),
              QStringLiteral("共 3 个网页：新增 1 个，重复 1 个，不导入 1 个。"));
    const shell::Grid rows = child<shell::GridView>(preview, "grdPreview")->grid();
    EXPECT_EQ(rows.column(1), (QStringList{"重复", "新增", "不导入"}));
    EXPECT_EQ(rows.text(2, 3), QStringLiteral("语文/古诗"));
    child<QPushButton>(preview, "cmdImportCancel")->click();
    settle();
    EXPECT_EQ(stored(data).size(), 1);

    win.w->importFile(file);
    preview = dialog(win.w, "frmImportBookmarks");
    ASSERT_NE(preview, nullptr);
    child<QPushButton>(preview, "cmdImportOk")->click();
    settle();
    EXPECT_EQ(shell::MessageBox::takeShown(), QStringList{QStringLiteral("已导入 1 个网页！")});
    const QList<Bookmark> after = stored(data);
    ASSERT_EQ(after.size(), 2);
    EXPECT_EQ(after[1].name, QStringLiteral("静夜思"));
    EXPECT_EQ(after[1].date, QDate(2021, 2, 3));
    EXPECT_EQ(win.categories(), (QStringList{"教材", "语文/古诗"}));

    // A file that is not a bookmark file is named and nothing opens.
    const QString other = data.path() + "/note.txt";
    {
        QFile f(other);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("随便写的笔记");
    }
    shell::FileDialog::setNextFileName(other);
    child<QPushButton>(win.w, "cmdImport")->click();
    const QStringList refused = shell::MessageBox::takeShown();
    ASSERT_EQ(refused.size(), 1);
    EXPECT_TRUE(refused[0].contains(other));
    settle();
    EXPECT_EQ(win.w->findChild<QDialog*>("frmImportBookmarks"), nullptr);
}

TEST(BookmarkTools, ExportWritesEveryPageForABrowser) {
    DataFolder data;
    add(data, QStringLiteral("人教网"), QStringLiteral("教材"), "https://www.pep.com.cn/");
    add(data, QStringLiteral("古诗 & 词"), QStringLiteral("语文/古诗"), "https://so.example.cn/?a=1&b=2");
    Window win;
    const QString out = data.path() + "/导出书签.html";
    shell::FileDialog::setNextFileName(out);
    child<QPushButton>(win.w, "cmdExport")->click();
    const QStringList said = shell::MessageBox::takeShown();
    ASSERT_EQ(said.size(), 1);
    EXPECT_TRUE(said[0].contains(out));
    QList<FilePage> back;
    ASSERT_TRUE(readBookmarkFile(out, &back));
    ASSERT_EQ(back.size(), 2);
    EXPECT_EQ(back[1].name, QStringLiteral("古诗 & 词"));
    EXPECT_EQ(back[1].category, QStringLiteral("语文/古诗"));
    EXPECT_EQ(back[1].address, QStringLiteral("https://so.example.cn/?a=1&b=2"));

    // Cancelled: no file, no message.
    shell::FileDialog::setNextFileName({});
    child<QPushButton>(win.w, "cmdExport")->click();
    EXPECT_TRUE(shell::MessageBox::takeShown().isEmpty());
}

TEST(BookmarkTools, SearchListsAsTheTeacherTypes) {
    DataFolder data;
    add(data, QStringLiteral("古诗文网"), QStringLiteral("语文"), "https://gushiwen.example.cn/");
    add(data, QStringLiteral("几何画板"), QStringLiteral("数学"), "https://GEO.example.cn/gushi");
    add(data, QStringLiteral("化学实验"), QStringLiteral("化学"), "https://lab.example.cn/");
    Window win;
    auto* box = child<QLineEdit>(win.w, "txtSearch");
    ASSERT_NE(box, nullptr);
    QTest::keyClicks(box, "GUSHI");
    EXPECT_EQ(win.names(3), (QStringList{"古诗文网", "几何画板", ""}));
    EXPECT_EQ(win.status(), QStringLiteral("共列 2 个文件"));
    box->setText(QStringLiteral("化学 lab"));
    EXPECT_EQ(win.names(2), (QStringList{"化学实验", ""}));
    box->setText(QStringLiteral("古诗"));
    EXPECT_EQ(win.names(2), (QStringList{"古诗文网", ""}));
    // A page recorded since shows at the next keystroke.
    add(data, QStringLiteral("唐诗古诗"), QStringLiteral("语文"), "https://ts.example.cn/");
    QTest::keyClick(box, Qt::Key_End);
    QTest::keyClicks(box, " ");
    EXPECT_EQ(win.names(3), (QStringList{"古诗文网", "唐诗古诗", ""}));
    box->clear();
    EXPECT_EQ(win.grid().text(1, 1), QString());
    EXPECT_EQ(win.status(), QString());
}

TEST(BookmarkTools, DuplicatesMergedOrDeletedFromTheirList) {
    DataFolder data;
    add(data, "a", QStringLiteral("甲"), "http://a.example.cn/");
    add(data, "a2", QStringLiteral("乙"), "HTTP://A.example.cn/#top");
    add(data, "b", QStringLiteral("甲"), "http://b.example.cn/");
    add(data, "a3", QStringLiteral("乙"), "http://a.example.cn/?utm_source=qq");
    add(data, "b2", QStringLiteral("乙"), "http://b.example.cn");
    Window win;
    child<QPushButton>(win.w, "cmdDuplicates")->click();
    auto* d = dialog(win.w, "frmDuplicates");
    ASSERT_NE(d, nullptr);
    auto* list = child<shell::GridView>(d, "grdDuplicates");
    EXPECT_EQ(list->grid().column(1), (QStringList{"a", "a2", "a3", "b", "b2"}));
    EXPECT_EQ(list->grid().column(0), (QStringList{"1", "", "", "2", ""}));

    // Deleting the chosen row (b2) alone.
    list->setCurrentIndex(list->gridModel()->index(5, 1));
    shell::MessageBox::setNextAnswer(shell::MessageBox::Yes);
    child<QPushButton>(d, "cmdDeleteChosen")->click();
    EXPECT_EQ(shell::MessageBox::takeShown(), QStringList{QStringLiteral("真的要删除选中的 1 个网页吗？")});
    EXPECT_EQ(list->grid().column(1), (QStringList{"a", "a2", "a3"}));

    // Merging: No changes nothing, Yes keeps the first of each group.
    shell::MessageBox::setNextAnswer(shell::MessageBox::No);
    child<QPushButton>(d, "cmdMerge")->click();
    EXPECT_EQ(stored(data).size(), 4);
    shell::MessageBox::setNextAnswer(shell::MessageBox::Yes);
    child<QPushButton>(d, "cmdMerge")->click();
    shell::MessageBox::takeShown();
    const QList<Bookmark> left = stored(data);
    ASSERT_EQ(left.size(), 2);
    EXPECT_EQ(left[0].name, "a");
    EXPECT_EQ(left[1].name, "b");
    EXPECT_EQ(child<QLabel>(d, "labSummary")->text(), QStringLiteral("没有重复的网址。"));
    EXPECT_EQ(win.categories(), QStringList{"甲"}) << "the window's tree follows";
}

TEST(BookmarkTools, CategoriesRenamedOrMergedAndAPageEdited) {
    DataFolder data;
    add(data, "a", QStringLiteral("语文"), "http://a.example.cn/");
    add(data, "b", QStringLiteral("数学"), "http://b.example.cn/");
    add(data, "c", QStringLiteral("古诗"), "http://c.example.cn/");
    Window win;
    win.w->renameCategoryTo(QStringLiteral("语文"), QStringLiteral("国文"));
    EXPECT_EQ(win.categories(), (QStringList{"国文", "数学", "古诗"}));
    // Into one in use: asked first; No leaves both.
    shell::MessageBox::setNextAnswer(shell::MessageBox::No);
    win.w->renameCategoryTo(QStringLiteral("古诗"), QStringLiteral("国文"));
    EXPECT_EQ(shell::MessageBox::takeShown(),
              QStringList{QStringLiteral("类别“国文”已经存在，要把“古诗”中的网页都并入“国文”吗？")});
    EXPECT_EQ(win.categories(), (QStringList{"国文", "数学", "古诗"}));
    shell::MessageBox::setNextAnswer(shell::MessageBox::Yes);
    win.w->renameCategoryTo(QStringLiteral("古诗"), QStringLiteral("国文"));
    shell::MessageBox::takeShown();
    EXPECT_EQ(win.categories(), (QStringList{"国文", "数学"}));

    win.w->listNode("daToDay");
    win.w->editRow(2);
    auto* d = dialog(win.w, "frmEditBookmark");
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(child<QLineEdit>(d, "txtName")->text(), "b");
    child<QLineEdit>(d, "txtName")->setText(" ");
    child<QPushButton>(d, "cmdEditOk")->click();
    EXPECT_EQ(shell::MessageBox::takeShown(), QStringList{QStringLiteral("没有网页名称，请修改！")});
    EXPECT_TRUE(d->isVisible()) << "the dialog stays with what was typed";
    child<QLineEdit>(d, "txtName")->setText(QStringLiteral("几何画板"));
    child<QComboBox>(d, "cobCategory")->setEditText(QStringLiteral("国文"));
    child<QPushButton>(d, "cmdEditOk")->click();
    settle();
    EXPECT_TRUE(shell::MessageBox::takeShown().isEmpty());
    const QList<Bookmark> after = stored(data);
    EXPECT_EQ(after[1].name, QStringLiteral("几何画板"));
    EXPECT_EQ(after[1].category, QStringLiteral("国文"));
    EXPECT_EQ(win.grid().text(2, 1), QStringLiteral("几何画板"));
    EXPECT_EQ(win.categories(), QStringList{"国文"});
    win.w->editRow(9); // a row without a page
    EXPECT_EQ(shell::MessageBox::takeShown(), QStringList{QStringLiteral("请先在列表中选择要修改的网页！")});
}

namespace {
// Answers 200, 404 or 403 by path, on 127.0.0.1.
class TinySite : public QObject {
public:
    TinySite() {
        EXPECT_TRUE(server_.listen(QHostAddress::LocalHost));
        connect(&server_, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* s = server_.nextPendingConnection())
                connect(s, &QTcpSocket::readyRead, s, [s] {
                    const QByteArray head = s->peek(4096);
                    if (!head.contains("\r\n\r\n")) return;
                    const QByteArray path = head.split(' ').value(1);
                    const int code = path == "/gone" ? 404 : path == "/forbidden" ? 403 : 200;
                    s->write("HTTP/1.1 " + QByteArray::number(code) +
                             " X\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
                    s->disconnectFromHost();
                });
        });
    }
    QString url(const char* path) const {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(server_.serverPort()).arg(path);
    }

private:
    QTcpServer server_;
};
} // namespace

TEST(BookmarkTools, LinkCheckShowsAndKeepsEachPagesState) {
    DataFolder data;
    TinySite site;
    add(data, "ok", QStringLiteral("甲"), site.url("/ok"));
    add(data, "gone", QStringLiteral("甲"), site.url("/gone"));
    add(data, "forbidden", QStringLiteral("甲"), site.url("/forbidden"));
    add(data, "other", QStringLiteral("乙"), site.url("/gone"));
    Window win;
    EXPECT_EQ(win.grid().cols(), 5) << "no state column before any check";
    child<QPushButton>(win.w, "cmdCheckLinks")->click();
    EXPECT_EQ(shell::MessageBox::takeShown(),
              QStringList{QStringLiteral("请先在左边选择一个类别，或在列表中选择要检查的网页！")});

    win.w->listNode(win.w->model().tree().childKeys("leiBie").value(0)); // 甲
    child<QPushButton>(win.w, "cmdCheckLinks")->click();
    EXPECT_TRUE(child<QPushButton>(win.w, "cmdStopCheck")->isEnabled());
    ASSERT_TRUE(testing_support::waitFor([] { return !shell::MessageBox::lastShown().isEmpty(); }, 10000));
    EXPECT_EQ(shell::MessageBox::takeShown(),
              QStringList{
                  QStringLiteral("检查完毕：正常 1 个，已移动 0 个，失效 1 个，拒绝访问 1 个，超时 0 个！")});
    EXPECT_FALSE(child<QPushButton>(win.w, "cmdStopCheck")->isEnabled());
    ASSERT_EQ(win.grid().cols(), 6);
    EXPECT_EQ(win.grid().text(0, 5), QStringLiteral("链接状态"));
    EXPECT_EQ(win.grid().column(5).mid(0, 3), (QStringList{"正常", "失效", "拒绝访问"}));
    auto rs = store::Recordset::OpenTable(db(data), kBookmarkTable);
    ASSERT_NE(rs, nullptr);
    QStringList states, times;
    for (rs->MoveFirst(); !rs->isEOF(); rs->MoveNext()) {
        states << rs->text(kLinkStatusField);
        times << rs->text(kCheckedAtField);
    }
    // Only the listed category was checked.
    EXPECT_EQ(states, (QStringList{"正常", "失效", "拒绝访问", ""}));
    EXPECT_FALSE(times[1].isEmpty());

    // The filter: only the dead ones; 未检查 finds the other category's page.
    auto* filter = child<QComboBox>(win.w, "cobLinkFilter");
    filter->setCurrentText(QStringLiteral("失效"));
    win.w->listNode("daToDay");
    EXPECT_EQ(win.names(2), (QStringList{"gone", ""}));
    filter->setCurrentText(QStringLiteral("未检查"));
    EXPECT_EQ(win.names(2), (QStringList{"other", ""}));
    filter->setCurrentIndex(0);
    EXPECT_EQ(win.status(), QStringLiteral("共列 4 个文件"));
}
