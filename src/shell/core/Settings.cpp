#include "Settings.h"

#include "AppPaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringDecoder>

namespace shell {

namespace {

bool sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Files are written as UTF-8. A file saved by hand in the Chinese code page
// is still read correctly (and written back as UTF-8).
QString decodeFile(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    if (!utf8.hasError()) return text;
    QStringDecoder gb("GB18030");
    if (gb.isValid()) return gb(bytes);
    return QString::fromUtf8(bytes);
}

// Sections and keys of the settings file; only the typed functions name them.
const QString kAutoRunSection = QStringLiteral("MyFileAotoRun");
const QString kAutoRunKey = QStringLiteral("runFileName");
const QString kToolSection = QStringLiteral("MyToobFile");
const QString kEntryGroup = QStringLiteral("Desktop Entry");
const QString kDialogSection = QStringLiteral("MyFileDialog");
const QString kLastFolderKey = QStringLiteral("lastFolder");

// The message of a failed save is the file system's reason alone; callers
// say which file it was.
Outcome saveText(const QString& path, const QByteArray& bytes) {
    const QFileInfo info(path);
    if (!QDir().mkpath(info.absolutePath()))
        return Outcome::fail(
            Reason::Failed,
            QStringLiteral("无法建立文件夹“%1”").arg(QDir::toNativeSeparators(info.absolutePath())));
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.commit())
        return Outcome::fail(Reason::Failed, f.errorString());
    return Outcome::done();
}

QString why(const Outcome& o) {
    return o.messages.value(0);
}

} // namespace

IniFile::IniFile(const QString& path) : path_(path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return;
    QString text = decodeFile(f.readAll());
    if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);
    if (text.contains(u"\r\n")) eol_ = QStringLiteral("\r\n");
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QStringList raw = text.split(u'\n');
    if (!raw.isEmpty() && raw.last().isEmpty()) raw.removeLast(); // the final line end
    QString section;
    for (const QString& r : raw) {
        Line line{r, section, {}};
        const QString t = r.trimmed();
        if (t.startsWith(u'[')) {
            const int close = t.indexOf(u']');
            if (close > 0) {
                section = t.mid(1, close - 1).trimmed();
                line.section = section;
                line.header = true;
            }
        } else if (!t.startsWith(u';') && !t.startsWith(u'#')) {
            const int eq = t.indexOf(u'=');
            if (eq > 0) line.key = t.left(eq).trimmed();
        }
        lines_ << line;
    }
}

// Blanks around the value go, and a value wrapped in matching quotes loses
// them: a path typed in quotes by hand reads as the path.
QString IniFile::parseValue(const QString& raw) {
    QString v = raw.mid(raw.indexOf(u'=') + 1).trimmed();
    if (v.size() >= 2 && (v.front() == u'"' || v.front() == u'\'') && v.back() == v.front())
        v = v.mid(1, v.size() - 2);
    return v;
}

int IniFile::findSection(const QString& section) const {
    for (int i = 0; i < lines_.size(); ++i)
        if (lines_[i].header && sameName(lines_[i].section, section)) return i;
    return -1;
}

int IniFile::findKey(const QString& section, const QString& key) const {
    // A file edited by hand may hold a section twice: the first one counts,
    // and a value written goes there too.
    const int head = findSection(section);
    if (head < 0) return -1;
    for (int i = head + 1; i < lines_.size() && !lines_[i].header; ++i) {
        if (!lines_[i].key.isEmpty() && sameName(lines_[i].key, key)) return i;
    }
    return -1;
}

bool IniFile::contains(const QString& section, const QString& key) const {
    return findKey(section, key) >= 0;
}

QString IniFile::value(const QString& section, const QString& key, const QString& fallback) const {
    const int i = findKey(section, key);
    return i < 0 ? fallback : parseValue(lines_[i].raw);
}

void IniFile::setValue(const QString& section, const QString& key, const QString& value) {
    QString v = value;
    v.replace(u'\r', u' ').replace(u'\n', u' '); // one value, one line
    if (const int i = findKey(section, key); i >= 0) {
        lines_[i].raw = lines_[i].key + u'=' + v; // keep the key's case as the file has it
        return;
    }
    const int head = findSection(section);
    if (head < 0) {
        if (!lines_.isEmpty() && !lines_.last().raw.trimmed().isEmpty())
            lines_ << Line{QString(), lines_.last().section, {}};
        lines_ << Line{u'[' + section + u']', section, {}, true};
        lines_ << Line{key + u'=' + v, section, key};
        return;
    }
    // After the section's last key line (blank lines and comments that close
    // the section stay after it).
    int at = head;
    for (int i = head + 1; i < lines_.size(); ++i) {
        if (lines_[i].header) break;
        if (!lines_[i].key.isEmpty()) at = i;
    }
    lines_.insert(at + 1, Line{key + u'=' + v, lines_[head].section, key});
}

QString IniFile::text() const {
    QString out;
    for (const Line& l : lines_)
        out += l.raw + eol_;
    return out;
}

Outcome IniFile::save() const {
    return saveText(path_, text().toUtf8());
}

QString settingsFile() {
    return AppPaths::file(QStringLiteral("sysRun.ini"));
}

QString readProfileString(const QString& section, const QString& key, const QString& fallback) {
    return IniFile(settingsFile()).value(section, key, fallback);
}

Outcome writeProfileString(const QString& section, const QString& key, const QString& value) {
    IniFile ini(settingsFile());
    ini.setValue(section, key, value);
    return ini.save();
}

QString autostartFile() {
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base)) base = QDir::homePath() + QStringLiteral("/.config");
    return base + QStringLiteral("/autostart/veltrano.desktop");
}

bool autostartEnabled() {
    const IniFile entry(autostartFile());
    if (!entry.contains(kEntryGroup, QStringLiteral("Exec"))) return false;
    if (sameName(entry.value(kEntryGroup, QStringLiteral("Hidden")), QStringLiteral("true"))) return false;
    return !sameName(entry.value(kEntryGroup, QStringLiteral("X-GNOME-Autostart-enabled")),
                     QStringLiteral("false"));
}

namespace {

// One argument of a desktop entry's Exec key, quoted by the rules of that
// key: quoted when it holds a reserved character, and inside the quotes
// " ` $ and \ escaped with a backslash; "%" doubled (a single one would be a
// field code the launcher replaces).
QString execArgument(const QString& argument) {
    QString a = argument;
    a.replace(u'%', QStringLiteral("%%"));
    static const QString reserved = QStringLiteral(" \t\n\r\"'\\><~|&;$*?#()`=");
    bool quote = a.isEmpty();
    for (QChar c : a)
        if (reserved.contains(c)) quote = true;
    if (!quote) return a;
    QString q = QStringLiteral("\"");
    for (QChar c : a) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\') q += u'\\';
        q += c;
    }
    return q + u'"';
}

// A string value of a desktop entry: one line, so backslash, line ends and
// tabs are written as the escapes \\ \n \r \t. Other control characters
// cannot be written at all: nullopt.
std::optional<QString> entryValue(const QString& text) {
    QString v;
    v.reserve(text.size());
    for (QChar c : text) {
        switch (c.unicode()) {
        case u'\\':
            v += QStringLiteral("\\\\");
            break;
        case u'\n':
            v += QStringLiteral("\\n");
            break;
        case u'\r':
            v += QStringLiteral("\\r");
            break;
        case u'\t':
            v += QStringLiteral("\\t");
            break;
        default:
            if (c.unicode() < 0x20 || c.unicode() == 0x7f) return std::nullopt;
            v += c;
        }
    }
    return v;
}

} // namespace

QString autostartProgram(const QString& program) {
    static const QString name = QStringLiteral("veltrano");
    const QString onPath = QStandardPaths::findExecutable(name);
    if (onPath.isEmpty()) return program;
    // Compared as the files they lead to: /usr/bin is often reached through a
    // link, and the running program knows itself by its resolved path.
    const QString self = QFileInfo(program).canonicalFilePath();
    return !self.isEmpty() && self == QFileInfo(onPath).canonicalFilePath() ? name : program;
}

std::optional<QString> autostartExec(const QString& program, const QString& dataDir) {
    return entryValue(execArgument(program) + QStringLiteral(" --data-dir ") + execArgument(dataDir));
}

Outcome WriteAutoRun(const QString& path) {
    QStringList failures;
    Reason reason = Reason::Failed;
    if (const Outcome o = writeProfileString(kAutoRunSection, kAutoRunKey, path); !o)
        failures
            << QStringLiteral("设置文件“%1”（%2）").arg(QDir::toNativeSeparators(settingsFile()), why(o));

    const QString entryPath = autostartFile();
    if (!path.isEmpty()) {
        // The data folder goes with the program, so that the copy started at
        // login uses the folder this one was given.
        const QString program = autostartProgram(path);
        const std::optional<QString> exec = autostartExec(program, AppPaths::dataDir());
        // TryExec: once the program is removed (apt remove leaves the user's
        // autostart entry behind), the desktop skips the entry instead of
        // failing to start it at every login.
        const std::optional<QString> tryExec = entryValue(program);
        const QString entry =
            QStringLiteral("[Desktop Entry]\nType=Application\nName=Veltrano\nComment=开机后自动启动"
                           "“Veltrano”\nExec=%1\nTryExec=%2\nTerminal=false\nX-GNOME-Autostart-enabled="
                           "true\n")
                .arg(exec.value_or(QString()), tryExec.value_or(QString()));
        if (!exec || !tryExec) {
            reason = Reason::Invalid;
            failures << QStringLiteral("自启动项“%1”（程序或数据文件夹的路径中有控制字符）")
                            .arg(QDir::toNativeSeparators(entryPath));
        } else if (const Outcome o = saveText(entryPath, entry.toUtf8()); !o) {
            failures << QStringLiteral("自启动项“%1”（%2）").arg(QDir::toNativeSeparators(entryPath), why(o));
        }
    } else if (QFileInfo::exists(entryPath)) {
        // Switched off: the entry stays but is disabled, the way the desktop's
        // own session settings switch an entry off.
        IniFile entry(entryPath);
        entry.setValue(kEntryGroup, QStringLiteral("Hidden"), QStringLiteral("true"));
        entry.setValue(kEntryGroup, QStringLiteral("X-GNOME-Autostart-enabled"), QStringLiteral("false"));
        if (const Outcome o = entry.save(); !o)
            failures << QStringLiteral("自启动项“%1”（%2）").arg(QDir::toNativeSeparators(entryPath), why(o));
    }
    if (failures.isEmpty()) return Outcome::done();
    return Outcome::fail(
        reason, QStringLiteral("设置没有保存，无法写入%1！").arg(failures.join(QStringLiteral("和"))));
}

QString autoRunProgram() {
    return readProfileString(kAutoRunSection, kAutoRunKey);
}

const QList<ToolEntry>& toolEntries() {
    static const QList<ToolEntry> tools{
        {QStringLiteral("画图"), QStringLiteral("画图(&I)"), QStringLiteral("kolourpaint"),
         QStringLiteral("toobName1")},
        {QStringLiteral("记事本"), QStringLiteral("记事本(&N)"), QStringLiteral("gnome-text-editor"),
         QStringLiteral("toobName2")},
        {QStringLiteral("计算器"), QStringLiteral("计算器(&S)"), QStringLiteral("gnome-calculator"),
         QStringLiteral("toobName3")},
        {QStringLiteral("通讯簿"), QStringLiteral("通讯簿(&T)"), QStringLiteral("gnome-contacts"),
         QStringLiteral("toobName4")},
    };
    return tools;
}

QString toolProgram(const QString& toolKey) {
    return readProfileString(kToolSection, toolKey, QStringLiteral("sysAutoRunFileText"));
}

QString lastFileFolder() {
    return readProfileString(kDialogSection, kLastFolderKey);
}

Outcome setLastFileFolder(const QString& folder) {
    if (lastFileFolder() == folder) return Outcome::done();
    return writeProfileString(kDialogSection, kLastFolderKey, folder);
}

Outcome setToolProgram(const QString& toolKey, const QString& path) {
    const Outcome o = writeProfileString(kToolSection, toolKey, path);
    if (o) return o;
    return Outcome::fail(
        o.reason, QStringLiteral("设置没有保存，无法写入设置文件“%1”（%2）！").arg(settingsFile(), why(o)));
}

} // namespace shell
