#include "Printers.h"
#include "ShellFiles.h"
#include "TestSupport.h"
#include "shell/core/Settings.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStandardPaths>
#include <gtest/gtest.h>

using shell::IniFile;
using shell_files::ConfigHome;
using shell_files::readAll;
using shell_files::writeAll;

namespace {

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

// The entry's TryExec as a launcher reads it (string escapes resolved); null
// when the entry has none.
QString tryExecValue(const QString& text) {
    for (const QString& line : text.split(u'\n')) {
        if (!line.startsWith(u"TryExec=")) continue;
        QString v;
        for (qsizetype i = 8; i < line.size(); ++i) {
            if (line[i] != u'\\' || i + 1 == line.size()) {
                v += line[i];
                continue;
            }
            const QChar e = line[++i];
            v += e == u's'   ? QChar(u' ')
                 : e == u'n' ? QChar(u'\n')
                 : e == u't' ? QChar(u'\t')
                 : e == u'r' ? QChar(u'\r')
                             : e;
        }
        return v;
    }
    return {};
}

// Whether the desktop would start the entry: its TryExec names a program
// that is there (a path to an executable, or a name found on PATH).
bool tryExecFound(const QString& text) {
    const QString program = tryExecValue(text);
    if (program.isEmpty()) return false;
    if (QDir::isAbsolutePath(program))
        return QFileInfo(program).isExecutable() && QFileInfo(program).isFile();
    return !QStandardPaths::findExecutable(program).isEmpty();
}

// Points PATH at a temporary folder of its own for one test, so that whether
// a "veltrano" is installed on the machine running the tests changes nothing.
class PathFolder {
public:
    PathFolder() : old_(qgetenv("PATH")) { qputenv("PATH", QFile::encodeName(bin())); }
    ~PathFolder() { qputenv("PATH", old_); }
    QString bin() const { return dir_.path() + QStringLiteral("/bin"); }
    // An executable file at dir_/rel.
    QString program(const QString& rel) const {
        const QString path = dir_.path() + u'/' + rel;
        shell_files::touch(path);
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        return path;
    }
    QString path(const QString& rel) const { return dir_.path() + u'/' + rel; }

private:
    QTemporaryDir dir_;
    QByteArray old_;
};

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
    const shell::Outcome written = shell::writeProfileString("MyToobFile", "toobName1", "/x");
    EXPECT_FALSE(written.ok);
    QString error = written.messages.value(0);
    EXPECT_FALSE(error.isEmpty());

    const shell::Outcome autoRun = shell::WriteAutoRun(QString());
    EXPECT_FALSE(autoRun.ok);
    error = autoRun.messages.value(0);
    EXPECT_TRUE(error.startsWith(QStringLiteral("设置没有保存"))) << error.toStdString();
    EXPECT_TRUE(error.endsWith(QStringLiteral("！")));
    EXPECT_TRUE(error.contains(QStringLiteral("sysRun.ini")));
}

TEST(Autostart, EntryIsWrittenEnabledThenDisabledButKept) {
    testing_support::DataFolder data(false);
    ConfigHome home;
    PathFolder path;
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
    PathFolder path;
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
        EXPECT_EQ(tryExecValue(readAll(home.entry())), program);
        EXPECT_TRUE(shell::autostartEnabled());
    }

    // A control character no entry can carry: refused, the entry left as it was.
    const QString before = readAll(home.entry());
    const shell::Outcome refused = shell::WriteAutoRun(QStringLiteral("/tmp/bell\x07"));
    EXPECT_FALSE(refused.ok);
    const QString error = refused.messages.value(0);
    EXPECT_TRUE(error.startsWith(QStringLiteral("设置没有保存"))) << error.toStdString();
    EXPECT_TRUE(error.contains(QStringLiteral("veltrano.desktop")));
    EXPECT_EQ(readAll(home.entry()), before);
}

// The entry starts an installed program by its name, the way the desktop's
// own entries do; any other copy (a build folder, a portable copy, a second
// "veltrano" behind the one on PATH) by its path, so that the copy that was
// running is the one that starts. Either way with the data folder in use.
TEST(Autostart, InstalledProgramIsStartedByNameOthersByPath) {
    testing_support::DataFolder data(false);
    ConfigHome home;
    PathFolder path;
    const QString installed = path.program(QStringLiteral("bin/veltrano"));
    const QString build = path.program(QStringLiteral("build/veltrano"));
    // The same file reached through a link to its folder, as /bin reaches /usr/bin.
    ASSERT_TRUE(QFile::link(path.bin(), path.path(QStringLiteral("linked"))));
    // Not executable: PATH lookups pass over it, and so must this one.
    shell_files::touch(path.path(QStringLiteral("plain/veltrano")));
    struct Case {
        QString program;
        QString pathVariable;
        QString execProgram;
    } cases[] = {
        {installed, path.bin(), QStringLiteral("veltrano")},
        {path.path(QStringLiteral("linked/veltrano")), path.bin(), QStringLiteral("veltrano")},
        {installed, path.path(QStringLiteral("linked")), QStringLiteral("veltrano")},
        {build, path.bin(), build},
        // Another copy comes first on PATH: "veltrano" would start that one.
        {installed, path.path(QStringLiteral("build")) + u':' + path.bin(), installed},
        {installed, path.path(QStringLiteral("plain")) + u':' + path.bin(), QStringLiteral("veltrano")},
        {installed, path.path(QStringLiteral("nowhere")), installed},
        {path.path(QStringLiteral("gone/veltrano")), path.bin(), path.path(QStringLiteral("gone/veltrano"))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE((c.program + QStringLiteral(" with PATH=") + c.pathVariable).toStdString());
        qputenv("PATH", QFile::encodeName(c.pathVariable));
        EXPECT_EQ(shell::autostartProgram(c.program), c.execProgram);
        ASSERT_TRUE(shell::WriteAutoRun(c.program));
        QString problem;
        EXPECT_EQ(execArguments(readAll(home.entry()), &problem),
                  (QStringList{c.execProgram, "--data-dir", data.path()}));
        EXPECT_EQ(problem, QString());
        // The desktop checks the same program before it starts the entry.
        EXPECT_EQ(tryExecValue(readAll(home.entry())), c.execProgram);
        // The settings file keeps the full path of the program that was running.
        EXPECT_EQ(shell::autoRunProgram(), c.program);
    }

    // Switched off and on again: the disabled entry still names the program
    // the same way, and so does the entry written afresh.
    qputenv("PATH", QFile::encodeName(path.bin()));
    ASSERT_TRUE(shell::WriteAutoRun(installed));
    ASSERT_TRUE(shell::WriteAutoRun(QString()));
    QString problem;
    EXPECT_EQ(execArguments(readAll(home.entry()), &problem),
              (QStringList{"veltrano", "--data-dir", data.path()}));
    EXPECT_FALSE(shell::autostartEnabled());
}

// apt remove takes the program away but leaves the user's autostart entry:
// the desktop must then pass over it rather than fail at every login.
TEST(Autostart, EntryIsPassedOverOnceTheProgramIsGone) {
    testing_support::DataFolder data(false);
    ConfigHome home;
    PathFolder path;
    const QString installed = path.program(QStringLiteral("bin/veltrano"));
    const QString portable = path.program(QStringLiteral("opt/Veltrano 2.18/veltrano"));
    for (const QString& program : {installed, portable}) {
        SCOPED_TRACE(program.toStdString());
        ASSERT_TRUE(shell::WriteAutoRun(program));
        EXPECT_TRUE(tryExecFound(readAll(home.entry())));
        ASSERT_TRUE(QFile::remove(program));
        EXPECT_FALSE(tryExecFound(readAll(home.entry()))) << readAll(home.entry()).toStdString();
    }
}
