#include "Printers.h"
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
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using shell::IniFile;
using testing_support::child;

namespace {

QString readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

void writeAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// Points XDG_CONFIG_HOME at a temporary folder for one test.
class ConfigHome {
public:
    ConfigHome() : old_(qgetenv("XDG_CONFIG_HOME")) { qputenv("XDG_CONFIG_HOME", dir_.path().toUtf8()); }
    ~ConfigHome() {
        if (old_.isEmpty())
            qunsetenv("XDG_CONFIG_HOME");
        else
            qputenv("XDG_CONFIG_HOME", old_);
    }
    QString entry() const { return dir_.path() + QStringLiteral("/autostart/veltrano.desktop"); }

private:
    QTemporaryDir dir_;
    QByteArray old_;
};

// Reads a desktop entry back as a launcher does and returns the program's
// arguments from its Exec key; anything a launcher would not take as written
// goes to *problem: a line that is no group, key or comment, a second Exec
// key, an unknown escape, an unquoted reserved character or a field code.
QStringList execArguments(const QString& text, QString* problem) {
    QString exec;
    int execKeys = 0;
    QStringList lines = text.split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    static const QRegularExpression keyLine(QStringLiteral("^[A-Za-z0-9-]+(\\[[^\\]]+\\])?\\s*="));
    for (const QString& line : lines) {
        if (line.isEmpty() || line.startsWith(u'#') || line.startsWith(u'[')) continue;
        if (!keyLine.match(line).hasMatch()) *problem += QStringLiteral("stray line: ") + line + u'\n';
        if (line.startsWith(u"Exec=")) {
            exec = line.mid(5);
            ++execKeys;
        }
    }
    if (execKeys != 1) *problem += QStringLiteral("Exec keys: %1\n").arg(execKeys);
    // String escapes first.
    QString value;
    for (qsizetype i = 0; i < exec.size(); ++i) {
        if (exec[i] != u'\\') {
            value += exec[i];
            continue;
        }
        const QChar e = i + 1 < exec.size() ? exec[++i] : QChar();
        if (e == u's')
            value += u' ';
        else if (e == u'n')
            value += u'\n';
        else if (e == u't')
            value += u'\t';
        else if (e == u'r')
            value += u'\r';
        else if (e == u'\\')
            value += u'\\';
        else
            *problem += QStringLiteral("unknown escape\n");
    }
    // Then the quoting rules of Exec, then "%%".
    QStringList args;
    QString arg;
    bool inArg = false, quoted = false;
    static const QString reserved = QStringLiteral("\t\n\"'\\><~|&;$*?#()`");
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (quoted) {
            if (c == u'"')
                quoted = false;
            else if (c == u'\\' && i + 1 < value.size() && QStringLiteral("\"`$\\").contains(value[i + 1]))
                arg += value[++i];
            else if (c == u'\\' || c == u'"' || c == u'`' || c == u'$')
                *problem += QStringLiteral("unescaped in quotes\n");
            else
                arg += c;
        } else if (c == u' ') {
            if (inArg) args << arg;
            arg.clear();
            inArg = false;
        } else if (c == u'"') {
            quoted = inArg = true;
        } else {
            if (reserved.contains(c)) *problem += QStringLiteral("unquoted reserved character\n");
            arg += c;
            inArg = true;
        }
    }
    if (quoted) *problem += QStringLiteral("open quote\n");
    if (inArg) args << arg;
    for (QString& a : args) {
        QString out;
        for (qsizetype i = 0; i < a.size(); ++i) {
            if (a[i] == u'%') {
                if (i + 1 < a.size() && a[i + 1] == u'%')
                    ++i;
                else
                    *problem += QStringLiteral("field code\n");
            }
            out += a[i];
        }
        a = out;
    }
    return args;
}

void settle() {
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

TEST(IniFile, HandEditedFileIsReadAndChangedWhateverTheCaseOfNames) {
    testing_support::DataFolder data(false);
    const QString path = data.file(QStringLiteral("sysRun.ini"));
    writeAll(path, "; teacher's notes stay\r\n"
                   "[MYTOOBFILE]\r\n"
                   "TOOBNAME1 = /usr/bin/kolourpaint \r\n"
                   "toobname2=\"/usr/bin/gedit\"\r\n"
                   "other=keep me\r\n"
                   "\r\n"
                   "[Unrelated]\r\n"
                   "toobName3=not this one\r\n");
    IniFile ini(path);
    EXPECT_EQ(ini.value("MyToobFile", "toobName1"), "/usr/bin/kolourpaint");
    EXPECT_EQ(ini.value("mytoobfile", "TOOBNAME2"), "/usr/bin/gedit"); // quotes go, as for profile strings
    EXPECT_EQ(ini.value("MyToobFile", "toobName3", "sysAutoRunFileText"), "sysAutoRunFileText");
    EXPECT_FALSE(ini.contains("NoSuchSection", "toobName1"));

    ini.setValue("MyToobFile", "toobName1", "/opt/paint");    // replaced where it is
    ini.setValue("myToobFile", "toobName3", "/usr/bin/calc"); // added to the section, not to [Unrelated]
    ini.setValue("MyFileAotoRun", "runFileName", "");         // a new section at the end
    ASSERT_TRUE(ini.save());

    const QString text = readAll(path);
    EXPECT_EQ(text, "; teacher's notes stay\r\n"
                    "[MYTOOBFILE]\r\n"
                    "TOOBNAME1=/opt/paint\r\n"
                    "toobname2=\"/usr/bin/gedit\"\r\n"
                    "other=keep me\r\n"
                    "toobName3=/usr/bin/calc\r\n"
                    "\r\n"
                    "[Unrelated]\r\n"
                    "toobName3=not this one\r\n"
                    "\r\n"
                    "[MyFileAotoRun]\r\n"
                    "runFileName=\r\n");
    IniFile again(path);
    EXPECT_EQ(again.value("MYTOOBFILE", "TOOBNAME3"), "/usr/bin/calc");
    EXPECT_EQ(again.value("unrelated", "toobname3"), "not this one");
    EXPECT_TRUE(again.contains("myfileaotorun", "RUNFILENAME"));
}

TEST(IniFile, ProfileStringsRoundTripThroughTheDataFolder) {
    testing_support::DataFolder data(false);
    EXPECT_EQ(shell::settingsFile(), data.file(QStringLiteral("sysRun.ini")));
    EXPECT_FALSE(QFile::exists(shell::settingsFile()));
    // Chinese folder names in a path survive.
    ASSERT_TRUE(shell::writeProfileString("MyToobFile", "toobName2", "/home/老师/编辑器"));
    EXPECT_EQ(shell::readProfileString("mytoobfile", "TOOBNAME2"), "/home/老师/编辑器");
    ASSERT_TRUE(shell::writeProfileString("MYTOOBFILE", "TOOBNAME2", "/usr/bin/gedit"));
    EXPECT_EQ(readAll(shell::settingsFile()), "[MyToobFile]\ntoobName2=/usr/bin/gedit\n");
    // The typed view reads and writes the same entries.
    EXPECT_EQ(shell::toolProgram("toobName2"), "/usr/bin/gedit");
    EXPECT_EQ(shell::toolProgram("toobName3"), "sysAutoRunFileText");
    ASSERT_TRUE(shell::setToolProgram("toobName3", "/usr/bin/mousepad"));
    EXPECT_EQ(shell::readProfileString("MyToobFile", "toobName3"), "/usr/bin/mousepad");
}

TEST(IniFile, FailedWriteIsReportedAndLeavesNothingHalfDone) {
    testing_support::DataFolder data(false);
    // A folder where the file should be: no write can succeed, even as root.
    ASSERT_TRUE(QDir().mkpath(shell::settingsFile()));
    QString error;
    EXPECT_FALSE(shell::writeProfileString("MyToobFile", "toobName1", "/x", &error));
    EXPECT_FALSE(error.isEmpty());

    EXPECT_FALSE(shell::WriteAutoRun(QString(), &error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("设置没有保存"))) << error.toStdString();
    EXPECT_TRUE(error.endsWith(QStringLiteral("！")));
    EXPECT_TRUE(error.contains(QStringLiteral("sysRun.ini")));
}

TEST(Autostart, EntryIsWrittenEnabledThenDisabledButKept) {
    testing_support::DataFolder data(false);
    ConfigHome home;
    EXPECT_EQ(shell::autostartFile(), home.entry());

    // Switching off when nothing was ever on leaves no entry behind.
    ASSERT_TRUE(shell::WriteAutoRun(QString()));
    EXPECT_FALSE(QFile::exists(home.entry()));
    EXPECT_EQ(shell::readProfileString("MyFileAotoRun", "runFileName", "unset"), "");

    const QString program = QStringLiteral("/opt/Veltrano 2.18/veltrano");
    ASSERT_TRUE(shell::WriteAutoRun(program));
    EXPECT_EQ(shell::readProfileString("MyFileAotoRun", "runFileName"), program);
    EXPECT_TRUE(shell::autostartEnabled());
    const QString on = readAll(home.entry());
    EXPECT_TRUE(on.startsWith("[Desktop Entry]\n"));
    EXPECT_TRUE(on.contains("\nType=Application\n"));
    // A path with a blank is quoted as the desktop-entry format wants; the
    // program starts with the data folder in use.
    EXPECT_TRUE(on.contains("\nExec=\"/opt/Veltrano 2.18/veltrano\" --data-dir ")) << on.toStdString();
    QString problem;
    EXPECT_EQ(execArguments(on, &problem), (QStringList{program, "--data-dir", data.path()}));
    EXPECT_EQ(problem, QString());
    EXPECT_FALSE(on.contains("Hidden=true"));

    ASSERT_TRUE(shell::WriteAutoRun(QString()));
    EXPECT_EQ(shell::readProfileString("MyFileAotoRun", "runFileName", "unset"), "");
    EXPECT_FALSE(shell::autostartEnabled());
    const QString off = readAll(home.entry());
    EXPECT_TRUE(off.contains("\nHidden=true\n")) << off.toStdString();
    EXPECT_TRUE(off.contains("\nX-GNOME-Autostart-enabled=false\n"));
    EXPECT_EQ(execArguments(off, &problem), (QStringList{program, "--data-dir", data.path()}));
    EXPECT_EQ(problem, QString());

    // Switched on again: enabled once more.
    ASSERT_TRUE(shell::WriteAutoRun("/usr/bin/veltrano"));
    EXPECT_TRUE(shell::autostartEnabled());
    EXPECT_TRUE(readAll(home.entry()).contains("\nExec=/usr/bin/veltrano --data-dir "));
}

TEST(Autostart, ProgramAndDataFolderComeBackAsWrittenWhateverTheyHold) {
    testing_support::DataFolder data(false);
    ConfigHome home;
    struct Case {
        const char* program;
        const char* folder; // under the test's data folder
    } cases[] = {
        {"/usr/bin/veltrano", "data"},
        {"/opt/Veltrano 2.18/veltrano", "我的 数据"},
        // A line end must not start a line of its own in the entry.
        {"/tmp/x\nExec=/bin/evil\n", "d\nHidden=true"},
        {"/tmp/a\tb\rc", "tab\there"},
        {"/tmp/back\\slash\\", "\\\\"},
        {"/tmp/\"quoted\" $HOME `id` 'single'", "$(id);x"},
        {"/tmp/100%/v %f %%", "%U"},
        {" /tmp/leading blank", "trailing blank "},
        {"/home/老师/程序/veltrano", "老师的班级"},
    };
    for (const Case& c : cases) {
        const QString program = QString::fromUtf8(c.program);
        const QString folder = data.path() + u'/' + QString::fromUtf8(c.folder);
        SCOPED_TRACE(c.program);
        qputenv("VELTRANO_DATA_DIR", QFile::encodeName(folder));
        ASSERT_TRUE(shell::WriteAutoRun(program));
        QString problem;
        EXPECT_EQ(execArguments(readAll(home.entry()), &problem),
                  (QStringList{program, "--data-dir", folder}));
        EXPECT_EQ(problem, QString());
        EXPECT_TRUE(shell::autostartEnabled());
    }

    // A control character no entry can carry: refused, the entry left as it was.
    const QString before = readAll(home.entry());
    QString error;
    EXPECT_FALSE(shell::WriteAutoRun(QStringLiteral("/tmp/bell\x07"), &error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("设置没有保存"))) << error.toStdString();
    EXPECT_TRUE(error.contains(QStringLiteral("veltrano.desktop")));
    EXPECT_EQ(readAll(home.entry()), before);
}

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
