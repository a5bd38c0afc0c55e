// The file dialogs of every tool, shown for real (Qt's own dialog): where
// they start, the name they suggest, and the folder kept for the next one.
#include "DialogSupport.h"
#include "Printers.h"
#include "WidgetSupport.h"
#include "shell/core/Settings.h"
#include "shell/ui/FileDialog.h"

#include <QDir>
#include <QLineEdit>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using shell::FileDialog;
using testing_support::DialogSeen;
using testing_support::lookAndCancel;
using testing_support::onFileDialog;

namespace {
// A home of the test's own with a documents folder, and a data folder
// for the settings file.
struct Home {
    testing_support::DataFolder data;
    QTemporaryDir home;
    QByteArray oldHome = qgetenv("HOME");
    QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME");
    QString documents;
    Home() {
        qputenv("HOME", home.path().toUtf8());
        qunsetenv("XDG_CONFIG_HOME");
        documents = QDir(home.path()).filePath(QStringLiteral("Documents"));
        QDir().mkpath(documents);
        FileDialog::clearNextFileNames();
    }
    ~Home() {
        qputenv("HOME", oldHome);
        if (oldConfig.isEmpty())
            qunsetenv("XDG_CONFIG_HOME");
        else
            qputenv("XDG_CONFIG_HOME", oldConfig);
    }
};
} // namespace

TEST(FileDialog, StartsInTheLastFolderUsedElseTheDocumentsFolder) {
    Home h;
    QWidget window;
    window.show();
    // Run from somewhere else: the working folder is never where it starts.
    const QString cwd = QDir::currentPath();
    QTemporaryDir elsewhere;
    QDir::setCurrent(elsewhere.path());

    // Nothing kept yet: the documents folder, with the name suggested.
    DialogSeen seen;
    onFileDialog(lookAndCancel(&seen));
    EXPECT_EQ(FileDialog::getSaveFileName(&window, "  ", "开学计划.txt", "TXT文件(*.txt)"), QString());
    EXPECT_EQ(seen.folder, h.documents);
    EXPECT_EQ(seen.name, "开学计划.txt");
    EXPECT_EQ(seen.filter, "TXT文件(*.txt)");

    // A file saved in another folder: the folder is kept in the settings
    // file, and the next dialog, of any kind, starts there.
    const QString other = QDir(h.home.path()).filePath("班级资料");
    ASSERT_TRUE(QDir().mkpath(other));
    const QString target = QDir(other).filePath("总结.txt");
    onFileDialog([target](QFileDialog* d) {
        d->selectFile(target);
        // Qt leaves the name box alone while it has the focus, which it has
        // once the dialog is up: type the name there, as the teacher would.
        auto* nameBox = d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_TRUE(nameBox);
        nameBox->setText(QFileInfo(target).fileName());
        static_cast<QDialog*>(d)->accept(); // as the 保存 button does
    });
    EXPECT_EQ(FileDialog::getSaveFileName(&window, "  ", "期末总结.txt", "TXT文件(*.txt)"), target);
    EXPECT_EQ(shell::IniFile(shell::settingsFile()).value("MyFileDialog", "lastFolder"), other);
    onFileDialog(lookAndCancel(&seen));
    EXPECT_EQ(FileDialog::getOpenFileName(&window, "打开", {}, "文本文件(*.txt)"), QString());
    EXPECT_EQ(seen.folder, other);
    EXPECT_EQ(FileDialog::startPath("初一(1)班.pdf"), QDir(other).filePath("初一(1)班.pdf"));
    // A suggested name cannot lead elsewhere; a full path is used as given.
    EXPECT_EQ(FileDialog::startPath("../x/y.txt"), QDir(other).filePath(".._x_y.txt"));
    EXPECT_EQ(FileDialog::startPath(target), target);

    // The kept folder is gone: back to the documents folder, then home.
    ASSERT_TRUE(QDir(other).removeRecursively());
    EXPECT_EQ(FileDialog::startFolder(), h.documents);
    ASSERT_TRUE(QDir(h.documents).removeRecursively());
    EXPECT_EQ(FileDialog::startFolder(), h.home.path());
    QDir::setCurrent(cwd);
}
