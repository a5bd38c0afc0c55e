#include "Printers.h"
#include "ShellFiles.h"
#include "WidgetSupport.h"
#include "shell/Windows.h"
#include "shell/core/Settings.h"
#include "shell/ui/MessageBox.h"
#include "shell/windows/frmFindFile.h"
#include "shell/windows/frmSetSystem.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using shell_files::ConfigHome;
using shell_files::writeAll;
using testing_support::child;

namespace {

void settle() {
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

TEST(SettingsWindow, OkWritesTheStartChoiceCancelWritesNothing) {
    testing_support::DataFolder data(false);
    ConfigHome home;
    auto& windows = shell::Windows::instance();

    QWidget* w = windows.open("frmSetSystem");
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Veltrano-系统设置"));
    auto* check = child<QCheckBox>(w, "cheAotoRUN");
    ASSERT_NE(check, nullptr);
    EXPECT_EQ(check->text(), QStringLiteral("开机后自动启动“Veltrano”"));
    EXPECT_FALSE(check->isChecked());
    const QStringList captions = {"画图", "记事本", "计算器", "通讯簿"};
    for (int i = 0; i < 4; ++i) {
        auto* opt = child<QRadioButton>(w, QStringLiteral("optEDIT(%1)").arg(i));
        ASSERT_NE(opt, nullptr);
        EXPECT_EQ(opt->text(), captions[i]);
    }

    // "取消": nothing written.
    child<QPushButton>(w, "cmdYesNo(1)")->click();
    settle();
    EXPECT_EQ(windows.find("frmSetSystem"), nullptr);
    EXPECT_FALSE(QFile::exists(shell::settingsFile()));
    EXPECT_FALSE(QFile::exists(home.entry()));

    // Ticked and "确定": this program's path in both places.
    w = windows.open("frmSetSystem");
    child<QCheckBox>(w, "cheAotoRUN")->setChecked(true);
    child<QPushButton>(w, "cmdYesNo(0)")->click();
    settle();
    EXPECT_EQ(windows.find("frmSetSystem"), nullptr);
    EXPECT_EQ(shell::readProfileString("MyFileAotoRun", "runFileName"),
              QCoreApplication::applicationFilePath());
    EXPECT_TRUE(shell::autostartEnabled());

    // The next opening shows that it is on; unticking and "确定" turns it off.
    w = windows.open("frmSetSystem");
    check = child<QCheckBox>(w, "cheAotoRUN");
    EXPECT_TRUE(check->isChecked());
    check->setChecked(false);
    child<QPushButton>(w, "cmdYesNo(0)")->click();
    settle();
    EXPECT_EQ(shell::readProfileString("MyFileAotoRun", "runFileName", "unset"), "");
    EXPECT_FALSE(shell::autostartEnabled());
    EXPECT_TRUE(shell::MessageBox::takeShown().isEmpty());
}

TEST(SettingsWindow, FailedWriteIsShownAndTheWindowStays) {
    testing_support::DataFolder data(false);
    ConfigHome home;
    ASSERT_TRUE(QDir().mkpath(shell::settingsFile()));
    shell::MessageBox::takeShown();
    QWidget* w = shell::Windows::instance().open("frmSetSystem");
    child<QPushButton>(w, "cmdYesNo(0)")->click();
    settle();
    const QStringList shown = shell::MessageBox::takeShown();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown[0].startsWith(QStringLiteral("设置没有保存")));
    EXPECT_EQ(shell::Windows::instance().find("frmSetSystem"), w);
    w->close();
    settle();
}

TEST(SettingsWindow, ChoosingAToolOpensTheFinderWhoseResultLandsUnderItsKey) {
    testing_support::DataFolder data(false);
    auto& windows = shell::Windows::instance();
    QWidget* w = windows.open("frmSetSystem");
    child<QRadioButton>(w, "optEDIT(0)")->click();
    auto* finder = qobject_cast<shell::frmFindFile*>(windows.find("frmFindFile"));
    ASSERT_NE(finder, nullptr);
    EXPECT_TRUE(finder->isVisible());
    EXPECT_EQ(child<QComboBox>(finder, "Combo1")->currentText(), "kolourpaint");

    // Another tool while the finder is open: it takes the new name and key.
    child<QRadioButton>(w, "optEDIT(2)")->click();
    EXPECT_EQ(windows.find("frmFindFile"), finder);
    EXPECT_EQ(child<QComboBox>(finder, "Combo1")->currentText(), "gnome-calculator");
    EXPECT_NE(windows.find("frmSetSystem"), nullptr); // the settings window stays open

    // Search a small tree holding the program and take what was found.
    QTemporaryDir tree;
    ASSERT_TRUE(QDir().mkpath(tree.path() + "/bin"));
    writeAll(tree.path() + "/bin/gnome-calculator", "#!/bin/sh\n");
    finder->setRoot(tree.path());
    child<QPushButton>(finder, "Command1")->click();
    while (finder->searching())
        QCoreApplication::processEvents();
    auto* list = child<QAbstractItemView>(finder, "List1");
    ASSERT_EQ(list->model()->rowCount(), 1);
    list->setCurrentIndex(list->model()->index(0, 0));
    child<QPushButton>(finder, "Command4")->click();
    settle();
    EXPECT_EQ(windows.find("frmFindFile"), nullptr);
    EXPECT_EQ(shell::readProfileString("MyToobFile", "toobName3"), tree.path() + "/bin/gnome-calculator");
    EXPECT_FALSE(shell::IniFile(shell::settingsFile()).contains("MyToobFile", "toobName1"));

    // "取消" of the settings window does not undo what the finder wrote.
    child<QPushButton>(w, "cmdYesNo(1)")->click();
    settle();
    EXPECT_EQ(shell::readProfileString("MyToobFile", "toobName3"), tree.path() + "/bin/gnome-calculator");
}
