// The settings window's backups: made at a click, listed, one put back after
// a question and never under an open score window.
#include "TestSupport.h"
#include "WidgetSupport.h"
#include "shell/Windows.h"
#include "shell/ui/MessageBox.h"
#include "store/Schema.h"
#include "store/Store.h"

#include <QCoreApplication>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <gtest/gtest.h>

using shell::MessageBox;
using testing_support::child;

namespace {

void settle() {
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

bool hasClass(const QString& file) {
    return store::Database::OpenDatabase(file).hasTable(QStringLiteral("初一(1)班"));
}

TEST(SettingsWindowBackups, BackUpThenRestoreAfterTheQuestion) {
    testing_support::DataFolder data;
    auto& windows = shell::Windows::instance();
    MessageBox::takeShown();
    QWidget* w = windows.open("frmSetSystem");
    ASSERT_NE(w, nullptr);
    auto* list = child<QListWidget>(w, "lstBackup");
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->count(), 0);

    // No backup chosen: said so.
    child<QPushButton>(w, "cmdBackup(1)")->click();
    EXPECT_EQ(MessageBox::takeShown(), QStringList{QStringLiteral("请先选中要恢复的备份！")});

    child<QPushButton>(w, "cmdBackup(0)")->click();
    EXPECT_EQ(MessageBox::takeShown(), QStringList{QStringLiteral("数据已经备份完毕！")});
    ASSERT_EQ(list->count(), 1);

    const QString classDb = data.file(store::kClassDb);
    {
        store::Database db = store::Database::OpenDatabase(classDb);
        ASSERT_TRUE(db.CreateTable(QStringLiteral("初一(1)班"), store::classTableFields()));
    }

    // An open score window: refused before the question.
    QWidget* scores = windows.open("frmStudenCJ");
    ASSERT_NE(scores, nullptr);
    list->setCurrentRow(0);
    child<QPushButton>(w, "cmdBackup(1)")->click();
    QStringList shown = MessageBox::takeShown();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown[0].contains(QStringLiteral("请先关闭后再恢复备份！"))) << qPrintable(shown[0]);
    scores->close();
    settle();

    // "否": nothing replaced.
    MessageBox::setNextAnswer(MessageBox::No);
    child<QPushButton>(w, "cmdBackup(1)")->click();
    shown = MessageBox::takeShown();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown[0].startsWith(QStringLiteral("恢复备份 "))) << qPrintable(shown[0]);
    EXPECT_TRUE(hasClass(classDb));

    MessageBox::setNextAnswer(MessageBox::Yes);
    child<QPushButton>(w, "cmdBackup(1)")->click();
    shown = MessageBox::takeShown();
    ASSERT_EQ(shown.size(), 2);
    EXPECT_TRUE(shown[1].startsWith(QStringLiteral("已经恢复到 "))) << qPrintable(shown[1]);
    EXPECT_FALSE(hasClass(classDb));
    // The files as they were just before are a backup of their own.
    EXPECT_GE(list->count(), 1);

    if (qEnvironmentVariableIsSet("VELTRANO_SHOTS"))
        w->grab().save(QStringLiteral("/tmp/import_frmSetSystem.png"));
    w->close();
    settle();
}

// Every tool window that keeps a class or a library open holds a restore
// back, and the message names exactly the ones open, always in one order.
TEST(SettingsWindowBackups, EveryWindowHoldingDataIsNamedAndNoOther) {
    testing_support::DataFolder data;
    auto& windows = shell::Windows::instance();
    QWidget* w = windows.open("frmSetSystem");
    ASSERT_NE(w, nullptr);
    child<QPushButton>(w, "cmdBackup(0)")->click();
    MessageBox::takeShown();
    auto* list = child<QListWidget>(w, "lstBackup");
    ASSERT_EQ(list->count(), 1);
    list->setCurrentRow(0);

    const QStringList holders{"frmStudenCJ",    "frmStudenPY",     "frmJiaoAn",
                              "frmKaiXueJiHua", "frmQiMoZhongJie", "frmInternet"};
    // A service window holds nothing.
    for (const char* name : {"frmHelpAbout"})
        ASSERT_NE(windows.open(QString::fromLatin1(name)), nullptr);
    for (const QString& name : holders)
        ASSERT_NE(windows.open(name), nullptr) << qPrintable(name);
    child<QPushButton>(w, "cmdBackup(1)")->click();
    EXPECT_EQ(MessageBox::takeShown(),
              QStringList{QStringLiteral("“成绩管理助手”、“学生评语快手”、“教案设计能手”、“开学计划高手”、"
                                         "“期末总结枪手”、“网上资源--教育网站”窗口正在使用数据，"
                                         "请先关闭后再恢复备份！")});

    // Closed one by one, each leaves the message.
    for (const QString& name : holders) {
        ASSERT_TRUE(windows.unload(name)) << qPrintable(name);
        settle();
        child<QPushButton>(w, "cmdBackup(1)")->click();
        const QStringList shown = MessageBox::takeShown();
        ASSERT_FALSE(shown.isEmpty());
        EXPECT_FALSE(shown[0].contains(QStringLiteral("“%1”").arg(shell::Windows::caption(name))))
            << qPrintable(shown[0]);
    }
    for (const char* name : {"frmHelpAbout", "frmSetSystem"})
        windows.unload(QString::fromLatin1(name));
    settle();
}

} // namespace
