#include "Printers.h"
#include "ShellFiles.h"
#include "WidgetSupport.h"
#include "shell/Windows.h"
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

using shell_files::touch;
using shell_files::Tree;
using testing_support::child;

namespace {

void settle() {
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

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
