#include "WidgetSupport.h"
#include "shell/Windows.h"
#include "shell/ui/MessageBox.h"
#include "store/Schema.h"
#include "web/capture/BrowserCapture.h"
#include "web/model/Bookmarks.h"
#include "web/ui/frmSetInternet.h"

#include <QClipboard>
#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

using namespace web;
using capture::WindowNode;
using testing_support::child;
using testing_support::DataFolder;

namespace {

void settle() {
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// The desktop every window of one test sees: the test changes it between ticks.
struct Desktop {
    QList<WindowNode> windows;
    Desktop() {
        frmSetInternet::setCaptureFactory([this] {
            // A view of this desktop at each look, not a copy taken at open.
            struct View : capture::WindowSource {
                Desktop* d;
                explicit View(Desktop* d) : d(d) {}
                QList<capture::TopWindow> topLevelWindows() override {
                    return capture::WindowTree(d->windows).topLevelWindows();
                }
                QString findEditText(uint64_t id) override {
                    return capture::WindowTree(d->windows).findEditText(id);
                }
            };
            return std::make_unique<capture::BrowserCapture>(std::make_unique<View>(this), nullptr);
        });
    }
    ~Desktop() { frmSetInternet::setCaptureFactory({}); }
    void browser(const QString& title, const QString& address) {
        windows = {
            {5, QStringLiteral("终端"), QStringLiteral("XTerm"), {}, {}},
            {9, title, QStringLiteral("IEFrame"), {}, {{10, address, QStringLiteral("Edit"), {}, {}}}}};
    }
};

struct Window {
    frmSetInternet* w;
    QLineEdit* txt;
    QLineEdit* address;
    QComboBox* category;
    QPushButton* ok;
    explicit Window(const QDate& today = QDate(2024, 3, 13)) {
        shell::MessageBox::takeShown();
        w = qobject_cast<frmSetInternet*>(shell::Windows::instance().open("frmSetInternet"));
        EXPECT_NE(w, nullptr);
        w->setToday(today);
        txt = child<QLineEdit>(w, "txt");
        address = child<QLineEdit>(w, "txtAddress");
        category = child<QComboBox>(w, "cobAddText");
        ok = child<QPushButton>(w, "Command1");
    }
    ~Window() {
        shell::Windows::instance().unload("frmSetInternet");
        settle();
    }
};

QList<Bookmark> stored(const DataFolder& f) {
    QList<Bookmark> all;
    EXPECT_TRUE(readBookmarks(f.file(store::kCommonDb), &all));
    return all;
}

} // namespace

TEST(SetInternetWindow, CapturesNameAndAddressAndSavesThem) {
    DataFolder data;
    ASSERT_TRUE(addBookmark(data.file(store::kCommonDb), "a", QStringLiteral("数学"), QDate(2024, 1, 1),
                            "http://a/"));
    ASSERT_TRUE(addBookmark(data.file(store::kCommonDb), "b", QStringLiteral("语文"), QDate(2024, 1, 1),
                            "http://b/"));
    Desktop desk;
    desk.browser(QStringLiteral("人教网 - Microsoft Internet Explorer"),
                 QStringLiteral("http://www.pep.com.cn/"));
    Window win;
    EXPECT_EQ(win.w->windowTitle(), QStringLiteral("把当前网址记录到<<Veltrano>>中"));
    EXPECT_EQ(win.address->text(), QStringLiteral("Text1"));
    EXPECT_EQ(child<QTimer>(win.w, "tim")->interval(), 100);
    EXPECT_TRUE(win.w->searching());
    // The categories in first-occurrence order; the box shows the last one added.
    ASSERT_EQ(win.category->count(), 2);
    EXPECT_EQ(win.category->itemText(0), QStringLiteral("数学"));
    EXPECT_EQ(win.category->currentText(), QStringLiteral("语文"));

    win.w->tick();
    EXPECT_EQ(win.txt->text(), QStringLiteral("人教网"));
    EXPECT_EQ(win.address->text(), QStringLiteral("http://www.pep.com.cn/"));
    EXPECT_FALSE(win.w->searching()) << "a name stops the search";
    EXPECT_TRUE(win.ok->isEnabled());

    win.category->setEditText(QStringLiteral("  教材  "));
    win.ok->click();
    settle();
    EXPECT_EQ(shell::MessageBox::takeShown(), QStringList{});
    EXPECT_EQ(shell::Windows::instance().find("frmSetInternet"), nullptr);
    const QList<Bookmark> all = stored(data);
    ASSERT_EQ(all.size(), 3);
    EXPECT_EQ(all[2].name, QStringLiteral("人教网"));
    EXPECT_EQ(all[2].category, QStringLiteral("教材"));
    EXPECT_EQ(all[2].date, QDate(2024, 3, 13));
    EXPECT_EQ(all[2].address, QStringLiteral("http://www.pep.com.cn/"));
}

TEST(SetInternetWindow, SearchingHoldingAndRefresh) {
    DataFolder data;
    Desktop desk;
    Window win;
    EXPECT_EQ(win.category->currentText(), QStringLiteral("教育综合资源"));
    // No browser: the address is empty, "确定" is off, the search goes on.
    win.w->tick();
    EXPECT_TRUE(win.address->text().isEmpty());
    EXPECT_FALSE(win.ok->isEnabled());
    EXPECT_TRUE(win.w->searching());

    // A title that begins with its marker gives no name: still searching.
    desk.browser(QStringLiteral("Offline Explorer - 首页"), QStringLiteral("http://offline.example/"));
    win.w->tick();
    EXPECT_TRUE(win.txt->text().isEmpty());
    EXPECT_EQ(win.address->text(), QStringLiteral("http://offline.example/"));
    EXPECT_TRUE(win.w->searching());

    // Typing a name holds; "刷新" empties it and searches again.
    win.txt->setText(QStringLiteral("我的名字"));
    EXPECT_FALSE(win.w->searching());
    desk.browser(QStringLiteral("新页 - Netscape"), QStringLiteral("http://new.example/"));
    child<QPushButton>(win.w, "Command2")->click();
    EXPECT_TRUE(win.txt->text().isEmpty());
    EXPECT_TRUE(win.w->searching());
    win.w->tick();
    EXPECT_EQ(win.txt->text(), QStringLiteral("新页"));
    EXPECT_EQ(shell::MessageBox::takeShown(), QStringList{});
}

TEST(SetInternetWindow, WarningsAndRefusals) {
    DataFolder data;
    Desktop desk;
    Window win;
    const QString name26 = QString(26, u'名');
    win.txt->setText(name26);
    EXPECT_EQ(shell::MessageBox::takeShown(),
              QStringList{QStringLiteral("为节约资源，输入网页名称不要超过25个字！")});
    EXPECT_FALSE(win.w->searching());

    win.category->setEditText(QString(21, u'类'));
    EXPECT_EQ(shell::MessageBox::takeShown(),
              QStringList{QStringLiteral("为节约资源，输入类别名称不要超过20个字！")});
    win.category->setEditText(QStringLiteral("  "));
    EXPECT_EQ(shell::MessageBox::takeShown(), QStringList{QStringLiteral("请选择或输入类别名称！")});
    win.ok->click();
    EXPECT_EQ(shell::MessageBox::takeShown(),
              QStringList{QStringLiteral("名称或类别不能为空，请输入名称！")});
    EXPECT_TRUE(stored(data).isEmpty());
    EXPECT_NE(shell::Windows::instance().find("frmSetInternet"), nullptr);

    // Over-long texts warn but are stored whole.
    win.category->setEditText(QStringLiteral("资源"));
    win.address->setText(QStringLiteral("http://long.example/"));
    win.ok->click();
    settle();
    ASSERT_EQ(stored(data).size(), 1);
    EXPECT_EQ(stored(data)[0].name, name26);
}

TEST(SetInternetWindow, AFailedWriteKeepsTheWindowAndWhatWasTyped) {
    DataFolder data;
    Desktop desk;
    Window win;
    win.txt->setText(QStringLiteral("课件"));
    win.address->setText(QStringLiteral("http://x.example/"));
    win.category->setEditText(QStringLiteral("资源"));
    // The database goes away between opening the window and saving.
    ASSERT_TRUE(QFile::rename(data.file(store::kCommonDb), data.file("moved.mdb")));
    shell::MessageBox::takeShown();
    win.ok->click();
    settle();
    const QStringList shown = shell::MessageBox::takeShown();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown[0].contains(store::kCommonDb)) << shown[0].toStdString();
    ASSERT_NE(shell::Windows::instance().find("frmSetInternet"), nullptr);
    EXPECT_EQ(win.txt->text(), QStringLiteral("课件"));
    EXPECT_EQ(win.address->text(), QStringLiteral("http://x.example/"));
    EXPECT_EQ(win.category->currentText(), QStringLiteral("资源"));
}

TEST(SetInternetWindow, ClipboardAddressForABrowserWithoutAddressBar) {
    DataFolder data;
    Desktop desk;
    desk.windows = {{3, QStringLiteral("课程 — Mozilla Firefox"), QStringLiteral("firefox"), {}, {}}};
    QGuiApplication::clipboard()->setText(QStringLiteral("not an address"));
    settle();
    Window win;
    auto* hint = child<QLabel>(win.w, "labHint");
    EXPECT_TRUE(hint->isHidden());
    win.w->tick();
    EXPECT_EQ(win.txt->text(), QStringLiteral("课程"));
    EXPECT_TRUE(win.address->text().isEmpty());
    // No address found: the window says how to get one ...
    EXPECT_FALSE(hint->isHidden());
    EXPECT_TRUE(hint->text().contains(QStringLiteral("地址栏"))) << hint->text().toStdString();
    EXPECT_TRUE(hint->text().contains(QStringLiteral("复制"))) << hint->text().toStdString();
    // ... and the address copied then fills the box, the name held as it is.
    QGuiApplication::clipboard()->setText(QStringLiteral("https://www.example.edu/kc"));
    settle();
    EXPECT_EQ(win.address->text(), QStringLiteral("https://www.example.edu/kc"));
    EXPECT_TRUE(hint->isHidden());
    EXPECT_TRUE(win.ok->isEnabled());
    EXPECT_EQ(win.txt->text(), QStringLiteral("课程"));
    child<QPushButton>(win.w, "Command2")->click();
    win.w->tick();
    EXPECT_EQ(win.address->text(), QStringLiteral("https://www.example.edu/kc"));
    QGuiApplication::clipboard()->clear();
}

TEST(SetInternetWindow, AnAddressCopiedBeforeOpeningCounts) {
    DataFolder data;
    Desktop desk;
    QGuiApplication::clipboard()->setText(QStringLiteral("https://www.zxx.edu.cn/syncClassroom"));
    settle();
    // No browser window the capture knows; the copied address is taken,
    // the name is the teacher's to type.
    desk.windows = {{5, QStringLiteral("终端"), QStringLiteral("XTerm"), {}, {}}};
    Window win;
    win.w->tick();
    EXPECT_EQ(win.address->text(), QStringLiteral("https://www.zxx.edu.cn/syncClassroom"));
    EXPECT_TRUE(win.txt->text().isEmpty());
    EXPECT_TRUE(win.ok->isEnabled());
    EXPECT_TRUE(child<QLabel>(win.w, "labHint")->isHidden());
    win.txt->setText(QStringLiteral("同步课堂"));
    win.ok->click();
    settle();
    const QList<Bookmark> all = stored(data);
    ASSERT_EQ(all.size(), 1);
    EXPECT_EQ(all[0].address, QStringLiteral("https://www.zxx.edu.cn/syncClassroom"));
    QGuiApplication::clipboard()->clear();
}

TEST(BookmarkTools, SavingAnAddressKeptAlreadyAsksFirst) {
    DataFolder data;
    ASSERT_TRUE(addBookmark(data.file(store::kCommonDb), QStringLiteral("人教网"), QStringLiteral("教材"),
                            QDate(2024, 1, 1), "http://www.pep.com.cn/"));
    Desktop desk;
    desk.browser(QStringLiteral("人教网首页 - Microsoft Internet Explorer"),
                 QStringLiteral("HTTP://WWW.PEP.COM.CN/#top"));
    Window win;
    win.w->tick();
    shell::MessageBox::setNextAnswer(shell::MessageBox::No);
    win.ok->click();
    settle();
    EXPECT_EQ(shell::MessageBox::takeShown(),
              QStringList{QStringLiteral("这个网址已经收藏为《人教网》（教材），还要再保存一次吗？")});
    EXPECT_EQ(stored(data).size(), 1);
    ASSERT_NE(shell::Windows::instance().find("frmSetInternet"), nullptr) << "No keeps the window";
    EXPECT_EQ(win.txt->text(), QStringLiteral("人教网首页"));

    shell::MessageBox::setNextAnswer(shell::MessageBox::Yes);
    win.ok->click();
    settle();
    const QList<Bookmark> all = stored(data);
    ASSERT_EQ(all.size(), 2);
    EXPECT_EQ(all[1].name, QStringLiteral("人教网首页"));
    EXPECT_EQ(shell::Windows::instance().find("frmSetInternet"), nullptr);
}
