// SPDX-License-Identifier: GPL-3.0-or-later
// The Tools menu's entries start the teacher's program, else the desktop's
// program of the kind, and say so when the machine has none.
#include "ShellFiles.h"
#include "TestSupport.h"
#include "shell/core/Settings.h"
#include "shell/ui/DocServices.h"
#include "shell/ui/MessageBox.h"
#include "shell/ui/StandardMenus.h"

#include <QAction>
#include <QMainWindow>
#include <QMenuBar>
#include <QScopeGuard>
#include <QTest>
#include <gtest/gtest.h>

using shell_files::FakeDesktop;

namespace {

// A script that writes its arguments, one a line, into `marker`.
QString recorder(const FakeDesktop& desk, const QString& name, const QString& marker) {
    const QString script = desk.program(name);
    shell_files::writeAll(script,
                          QStringLiteral("#!/bin/sh\nfor a in \"$@\"; do echo \"$a\"; done > '%1.part'\n"
                                         "/bin/mv '%1.part' '%1'\n")
                              .arg(marker)
                              .toUtf8());
    return script;
}

} // namespace

TEST(ToolLauncher, TheTeachersProgramElseTheDesktopsReallyStarts) {
    // This test is about really starting the programs, so not through the seam.
    shell::setShellOpenTestMode(false);
    const auto seamBack = qScopeGuard([] { shell::setShellOpenTestMode(true); });
    shell::MessageBox::takeShown();
    testing_support::DataFolder data(false);
    FakeDesktop desk;
    const QString ownMarker = desk.path("own-ran"), deskMarker = desk.path("desk-ran");
    const QString own = recorder(desk, QStringLiteral("记事本.sh"), ownMarker);
    recorder(desk, QStringLiteral("calculator"), deskMarker);
    desk.app(QStringLiteral("usr/share"), "calc.desktop", "calculator --mode \"basic mode\" %U",
             "Utility;Calculator;");

    ASSERT_TRUE(shell::writeProfileString("MYTOOBFILE", "TOOBNAME2", own));
    EXPECT_TRUE(shell::RunToolProgram("toobName2"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(ownMarker); }, 10000));
    // Nothing set for the calculator: the desktop's, its field code left out.
    EXPECT_TRUE(shell::RunToolProgram("toobName3"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(deskMarker); }, 10000));
    EXPECT_EQ(shell_files::readAll(deskMarker), "--mode\nbasic mode\n");
    EXPECT_TRUE(shell::MessageBox::takeShown().isEmpty());
}

TEST(ToolLauncher, MenuEntryWithoutAProgramSaysWhatIsMissing) {
    testing_support::DataFolder data(false);
    FakeDesktop desk;
    shell::MessageBox::takeShown();
    shell::takeShellOpened();
    QMainWindow w;
    const shell::BuiltMenus built = shell::buildMenuBar(w.menuBar(), {shell::toolsMenu()}, &w);

    // Nothing on the machine: one message per choice, nothing started.
    built.action("mToobJSB")->trigger();
    const QStringList shown = shell::MessageBox::takeShown();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown[0].contains("“记事本”")) << shown[0].toStdString();
    EXPECT_TRUE(shown[0].contains("文本编辑器")) << shown[0].toStdString();
    EXPECT_TRUE(shell::takeShellOpened().isEmpty());

    // A text editor installed: started, and no word.
    const QString editor = desk.program("mousepad");
    desk.app(QStringLiteral("usr/share"), "org.xfce.mousepad.desktop", "mousepad %U",
             "GTK;Utility;TextEditor;");
    built.action("mToobJSB")->trigger();
    EXPECT_EQ(shell::takeShellOpened(), QStringList{editor});
    EXPECT_TRUE(shell::MessageBox::takeShown().isEmpty());

    // The teacher's own program wins over the desktop's.
    const QString own = desk.program(desk.path("my/editor"));
    ASSERT_TRUE(shell::setToolProgram("toobName2", own));
    built.action("mToobJSB")->trigger();
    EXPECT_EQ(shell::takeShellOpened(), QStringList{own});
}
