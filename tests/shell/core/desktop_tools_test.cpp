// SPDX-License-Identifier: GPL-3.0-or-later
// The Tools menu's programs on a Linux desktop: the teacher's own choice
// from the settings file, else the desktop's paint program, text editor,
// calculator or address book as its desktop entries describe them.
#include "Printers.h"
#include "ShellFiles.h"
#include "TestSupport.h"
#include "shell/core/DesktopTools.h"
#include "shell/core/Settings.h"

#include <gtest/gtest.h>

using shell_files::FakeDesktop;

namespace {
const QString kSystem = QStringLiteral("usr/share");
const QString kLocal = QStringLiteral("usr/local/share");
const QString kUser = QStringLiteral("home/data");
} // namespace

TEST(DesktopTools, EachEntryFindsTheDesktopsProgramOfItsKind) {
    FakeDesktop desk;
    // What a Debian desktop brings, with the traps around them: an image
    // viewer is RasterGraphics too, and vim's entry needs a terminal.
    desk.program("kolourpaint");
    desk.program("eog");
    desk.program("vim");
    desk.program("gnome-text-editor");
    const QString calculator = desk.program(desk.path("opt/calc/bin/galculator"));
    desk.program("gnome-contacts");
    desk.app(kSystem, "org.gnome.eog.desktop", "eog %U", "GNOME;Graphics;2DGraphics;RasterGraphics;Viewer;");
    desk.app(kSystem, "org.kde.kolourpaint.desktop", "kolourpaint %U",
             "Qt;KDE;Graphics;2DGraphics;RasterGraphics;");
    desk.app(kSystem, "a-vim.desktop", "vim %F", "Utility;TextEditor;", "Terminal=true\n");
    desk.app(kSystem, "org.gnome.TextEditor.desktop", "gnome-text-editor --new-window %U",
             "GNOME;Utility;TextEditor;");
    desk.app(kSystem, "galculator.desktop", "\"" + calculator + "\"", "Utility;Calculator;");
    desk.app(kSystem, "org.gnome.Contacts.desktop", "gnome-contacts", "GNOME;Office;ContactManagement;");

    struct Case {
        const char* key;
        QString id;
        QString program;
        QStringList arguments;
    } cases[] = {
        {"toobName1", "org.kde.kolourpaint.desktop", desk.bin() + "/kolourpaint", {}},
        {"toobName2", "org.gnome.TextEditor.desktop", desk.bin() + "/gnome-text-editor", {"--new-window"}},
        {"toobName3", "galculator.desktop", calculator, {}},
        {"toobName4", "org.gnome.Contacts.desktop", desk.bin() + "/gnome-contacts", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        const std::optional<shell::DesktopProgram> p = shell::desktopToolProgram(c.key);
        ASSERT_TRUE(p);
        EXPECT_EQ(p->id, c.id);
        EXPECT_EQ(p->program, c.program);
        EXPECT_EQ(p->arguments, c.arguments);
    }
    EXPECT_FALSE(shell::desktopToolProgram("toobName9"));
}

// Entries the desktop itself would not start are passed over, and the next
// one of the kind is taken.
TEST(DesktopTools, EntriesTheDesktopWouldNotStartArePassedOver) {
    struct Case {
        const char* what;
        QByteArray entry; // "a.desktop", before the good "z.desktop"
    } cases[] = {
        {"hidden",
         "[Desktop Entry]\nType=Application\nName=a\nExec=editor\nCategories=TextEditor;\nHidden=true\n"},
        {"kept out of the menus",
         "[Desktop Entry]\nType=Application\nName=a\nExec=editor\nCategories=TextEditor;\nNoDisplay=true\n"},
        {"in a terminal",
         "[Desktop Entry]\nType=Application\nName=a\nExec=editor\nCategories=TextEditor;\nTerminal=true\n"},
        {"TryExec gone",
         "[Desktop "
         "Entry]\nType=Application\nName=a\nExec=editor\nTryExec=removed-editor\nCategories=TextEditor;\n"},
        {"program gone",
         "[Desktop Entry]\nType=Application\nName=a\nExec=removed-editor %F\nCategories=TextEditor;\n"},
        {"relative path",
         "[Desktop Entry]\nType=Application\nName=a\nExec=bin/editor\nCategories=TextEditor;\n"},
        {"other desktop only",
         "[Desktop Entry]\nType=Application\nName=a\nExec=editor\nCategories=TextEditor;\nOnlyShowIn=KDE;\n"},
        {"not on this desktop",
         "[Desktop "
         "Entry]\nType=Application\nName=a\nExec=editor\nCategories=TextEditor;\nNotShowIn=XFCE;GNOME;\n"},
        {"a link", "[Desktop Entry]\nType=Link\nName=a\nURL=https://localhost/\nCategories=TextEditor;\n"},
        {"no Exec", "[Desktop Entry]\nType=Application\nName=a\nCategories=TextEditor;\n"},
        {"only field codes",
         "[Desktop Entry]\nType=Application\nName=a\nExec=%F %u\nCategories=TextEditor;\n"},
        {"category in another group", "[Desktop Entry]\nType=Application\nName=a\nExec=editor\n[Desktop "
                                      "Action new]\nCategories=TextEditor;\n"},
        {"a similar category",
         "[Desktop Entry]\nType=Application\nName=a\nExec=editor\nCategories=TextEditors;\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FakeDesktop desk;
        desk.program("editor");
        desk.entry(kSystem, "a.desktop", c.entry);
        desk.app(kSystem, "z.desktop", "editor", "TextEditor;");
        const std::optional<shell::DesktopProgram> p = shell::desktopToolProgram("toobName2");
        ASSERT_TRUE(p);
        EXPECT_EQ(p->id, "z.desktop");
    }
}

TEST(DesktopTools, EarlierFoldersComeFirstAndHideTheSameEntryLaterOn) {
    FakeDesktop desk;
    desk.program("calc-a");
    desk.program("calc-b");
    // The user switched the system's calculator off with an entry of the
    // same id; the one in /usr/local comes before /usr's.
    desk.app(kSystem, "a-calc.desktop", "calc-a", "Calculator;");
    desk.entry(kUser, "a-calc.desktop",
               "[Desktop Entry]\nType=Application\nName=a\nExec=calc-a\nHidden=true\n");
    desk.app(kSystem, "b-calc.desktop", "calc-a", "Calculator;");
    desk.app(kLocal, "z-calc.desktop", "calc-b", "Calculator;");
    std::optional<shell::DesktopProgram> p = shell::desktopToolProgram("toobName3");
    ASSERT_TRUE(p);
    EXPECT_EQ(p->id, "z-calc.desktop");

    // Entries in a subfolder have the folder in their id, and are found.
    QFile::remove(desk.path(kLocal + "/applications/z-calc.desktop"));
    desk.app(kUser, "kde/calc.desktop", "calc-b", "Calculator;");
    p = shell::desktopToolProgram("toobName3");
    ASSERT_TRUE(p);
    EXPECT_EQ(p->id, "kde-calc.desktop");
    EXPECT_EQ(p->program, desk.bin() + "/calc-b");
}

TEST(DesktopTools, TheUsersDefaultForTextFilesIsTheEditorWhenItIsOne) {
    FakeDesktop desk;
    desk.program("editor-a");
    desk.program("editor-b");
    desk.program("writer");
    desk.app(kSystem, "a-editor.desktop", "editor-a", "TextEditor;");
    desk.app(kSystem, "b-editor.desktop", "editor-b %F", "Utility;TextEditor;");
    desk.app(kSystem, "writer.desktop", "writer", "Office;WordProcessor;");
    const QString mimeapps = desk.path("home/config/mimeapps.list");
    struct Case {
        QByteArray list;
        QString id;
    } cases[] = {
        {"[Default Applications]\ntext/plain=missing.desktop;b-editor.desktop;\n", "b-editor.desktop"},
        // Another group's line is no default.
        {"[Added Associations]\ntext/plain=b-editor.desktop;\n", "a-editor.desktop"},
        // A word processor opens text files but is no 记事本: the editors.
        {"[Default Applications]\ntext/plain=writer.desktop\n", "a-editor.desktop"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.list.constData());
        shell_files::touch(mimeapps);
        shell_files::writeAll(mimeapps, c.list);
        const std::optional<shell::DesktopProgram> p = shell::desktopToolProgram("toobName2");
        ASSERT_TRUE(p);
        EXPECT_EQ(p->id, c.id);
    }
    // The desktop's own list (gnome-mimeapps.list) when the user has none.
    QFile::remove(mimeapps);
    desk.entry(kSystem, "gnome-mimeapps.list", "[Default Applications]\ntext/plain=b-editor.desktop\n");
    EXPECT_EQ(shell::desktopToolProgram("toobName2").value_or(shell::DesktopProgram{}).id,
              "b-editor.desktop");
}

TEST(DesktopTools, TheTeachersOwnProgramComesFirstAndAWindowsPathFallsBack) {
    testing_support::DataFolder data(false);
    FakeDesktop desk;
    desk.program("gnome-text-editor");
    const QString own = desk.program(desk.path("程序/我的 编辑器"));
    desk.program("mousepad");
    desk.app(kSystem, "org.gnome.TextEditor.desktop", "gnome-text-editor", "TextEditor;");
    struct Case {
        QString stored; // null: the key is never written
        QString configuredPath;
    } cases[] = {
        {QString(), QString()},
        {"", QString()},
        {"sysAutoRunFileText", QString()},
        {own, own},
        {"mousepad", desk.bin() + "/mousepad"}, // a program's name, found on PATH
        {"C:\\WINDOWS\\NOTEPAD.EXE", QString()},
        {"NOTEPAD.EXE", QString()},
        {desk.path("gone/editor"), QString()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored.toStdString());
        if (!c.stored.isNull()) {
            ASSERT_TRUE(shell::setToolProgram("toobName2", c.stored));
        }
        shell::ToolLaunch launch;
        const shell::Outcome found = shell::findToolProgram("toobName2", &launch);
        ASSERT_TRUE(found);
        EXPECT_EQ(launch.configuredPath, c.configuredPath);
        // Without a program of the teacher's, the desktop's editor.
        EXPECT_EQ(launch.desktop.has_value(), c.configuredPath.isEmpty());
        if (launch.desktop) {
            EXPECT_EQ(launch.desktop->id, "org.gnome.TextEditor.desktop");
        }
    }
}

TEST(DesktopTools, NoProgramOfTheKindIsToldWithWhatIsMissing) {
    testing_support::DataFolder data(false);
    FakeDesktop desk;            // no desktop entries at all
    desk.program("kolourpaint"); // a program without an entry is not enough
    struct Case {
        const char* key;
        QString caption, kind;
    } cases[] = {
        {"toobName1", "画图", "画图程序"},
        {"toobName2", "记事本", "文本编辑器"},
        {"toobName3", "计算器", "计算器程序"},
        {"toobName4", "通讯簿", "通讯录程序"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        shell::ToolLaunch launch;
        const shell::Outcome found = shell::findToolProgram(c.key, &launch);
        EXPECT_EQ(found.reason, shell::Reason::NotFound);
        ASSERT_EQ(found.messages.size(), 1);
        const QString m = found.messages[0];
        EXPECT_TRUE(m.contains("“" + c.caption + "”")) << m.toStdString();
        EXPECT_TRUE(m.contains(c.kind)) << m.toStdString();
        EXPECT_TRUE(m.contains("系统设置")) << m.toStdString();
        EXPECT_TRUE(m.endsWith("！")) << m.toStdString();
        EXPECT_FALSE(launch.desktop);
    }
    // A program set by the teacher that is gone is named.
    ASSERT_TRUE(shell::setToolProgram("toobName2", "C:\\WINDOWS\\NOTEPAD.EXE"));
    shell::ToolLaunch launch;
    const shell::Outcome found = shell::findToolProgram("toobName2", &launch);
    EXPECT_EQ(found.reason, shell::Reason::NotFound);
    EXPECT_TRUE(found.messages.value(0).contains("C:\\WINDOWS\\NOTEPAD.EXE"))
        << found.messages.value(0).toStdString();
    EXPECT_EQ(shell::findToolProgram("toobName5", &launch).reason, shell::Reason::Invalid);
}
