// SPDX-License-Identifier: GPL-3.0-or-later
#include "DesktopTools.h"

#include "Settings.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMap>
#include <QStandardPaths>
#include <QStringDecoder>

namespace shell {

namespace {

// What each Tools-menu entry stands for on a Linux desktop: the category its
// programs carry in their desktop entries, a category that rules one out (an
// image viewer is RasterGraphics too, but paints nothing), the kind of file
// whose default program may be one, and what the teacher is told is missing.
struct ToolKind {
    QString key;
    QString category;
    QString excluded;
    QString mimeType;
    QString missing;
};

const QList<ToolKind>& toolKinds() {
    static const QList<ToolKind> kinds{
        {QStringLiteral("toobName1"), QStringLiteral("RasterGraphics"), QStringLiteral("Viewer"),
         QStringLiteral("image/png"), QStringLiteral("画图程序")},
        {QStringLiteral("toobName2"), QStringLiteral("TextEditor"), QString(), QStringLiteral("text/plain"),
         QStringLiteral("文本编辑器")},
        {QStringLiteral("toobName3"), QStringLiteral("Calculator"), QString(), QString(),
         QStringLiteral("计算器程序")},
        {QStringLiteral("toobName4"), QStringLiteral("ContactManagement"), QString(),
         QStringLiteral("text/vcard"), QStringLiteral("通讯录程序")},
    };
    return kinds;
}

const ToolKind* kindOf(const QString& key) {
    for (const ToolKind& k : toolKinds())
        if (k.key.compare(key, Qt::CaseInsensitive) == 0) return &k;
    return nullptr;
}

QString captionOf(const QString& key) {
    for (const ToolEntry& t : toolEntries())
        if (t.key.compare(key, Qt::CaseInsensitive) == 0) return t.caption;
    return key;
}

// --- XDG base directories, read afresh on every call so that a changed
// environment (a test's, a new session's) is seen ---

QString homeFolder(const char* variable, const QString& fallback) {
    const QString v = qEnvironmentVariable(variable);
    return QDir::isAbsolutePath(v) ? QDir::cleanPath(v) : QDir::homePath() + fallback;
}

QStringList folderList(const char* variable, const QStringList& fallback) {
    QStringList out;
    for (const QString& p : qEnvironmentVariable(variable).split(u':', Qt::SkipEmptyParts))
        if (QDir::isAbsolutePath(p)) out << QDir::cleanPath(p);
    return out.isEmpty() ? fallback : out;
}

// $XDG_DATA_HOME first, then $XDG_DATA_DIRS, each with its applications folder.
QStringList applicationFolders() {
    QStringList dirs{homeFolder("XDG_DATA_HOME", QStringLiteral("/.local/share"))};
    dirs << folderList("XDG_DATA_DIRS", {QStringLiteral("/usr/local/share"), QStringLiteral("/usr/share")});
    for (QString& d : dirs)
        d += QStringLiteral("/applications");
    dirs.removeDuplicates();
    return dirs;
}

QStringList currentDesktops() {
    return qEnvironmentVariable("XDG_CURRENT_DESKTOP").split(u':', Qt::SkipEmptyParts);
}

// --- desktop entries ---

// A string value with its escapes (\s \n \t \r \\) resolved.
QString unescapeValue(const QString& raw) {
    QString v;
    v.reserve(raw.size());
    for (qsizetype i = 0; i < raw.size(); ++i) {
        if (raw[i] != u'\\' || i + 1 == raw.size()) {
            v += raw[i];
            continue;
        }
        const QChar e = raw[++i];
        if (e == u's')
            v += u' ';
        else if (e == u'n')
            v += u'\n';
        else if (e == u't')
            v += u'\t';
        else if (e == u'r')
            v += u'\r';
        else
            v += e; // "\\" and anything else as itself
    }
    return v;
}

QStringList listValue(const QString& value) {
    return value.split(u';', Qt::SkipEmptyParts);
}

// The keys of one group of a desktop-entry-style file (the first of a key
// that appears twice). Keys keep their case: the format tells them apart.
QHash<QString, QString> readGroup(const QString& file, const QString& group) {
    QHash<QString, QString> keys;
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) return keys;
    // Desktop files are UTF-8; a stray invalid byte must not hide the entry.
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(f.read(1 << 20));
    bool inGroup = false;
    for (QStringView line : QStringView(text).split(u'\n')) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(u'#')) continue;
        if (line.startsWith(u'[')) {
            inGroup = line == QString(u'[' + group + u']');
            continue;
        }
        if (!inGroup) continue;
        const qsizetype eq = line.indexOf(u'=');
        if (eq <= 0) continue;
        const QString key = line.left(eq).trimmed().toString();
        if (!keys.contains(key)) keys.insert(key, line.mid(eq + 1).trimmed().toString());
    }
    return keys;
}

// Exec's words by its quoting rules: words apart at blanks; inside double
// quotes a backslash keeps the next character as it is.
QStringList execWords(const QString& exec) {
    QStringList words;
    QString word;
    bool inWord = false, quoted = false;
    for (qsizetype i = 0; i < exec.size(); ++i) {
        const QChar c = exec[i];
        if (quoted) {
            if (c == u'\\' && i + 1 < exec.size())
                word += exec[++i];
            else if (c == u'"')
                quoted = false;
            else
                word += c;
        } else if (c == u'"') {
            quoted = inWord = true;
        } else if (c == u' ' || c == u'\t') {
            if (inWord) words << word;
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord) words << word;
    return words;
}

// A word with its field codes taken out ("%%" is a percent sign); a word
// that was nothing but a field code goes altogether.
std::optional<QString> withoutFieldCodes(const QString& word) {
    QString out;
    bool hadCode = false;
    for (qsizetype i = 0; i < word.size(); ++i) {
        if (word[i] != u'%' || i + 1 == word.size()) {
            out += word[i];
            continue;
        }
        if (word[++i] == u'%') {
            out += u'%';
        } else {
            hadCode = true;
        }
    }
    if (hadCode && out.isEmpty()) return std::nullopt;
    return out;
}

// A program as the desktop finds it: an absolute path of an executable
// file, or a name looked up on PATH.
QString resolveProgram(const QString& program) {
    if (program.isEmpty()) return {};
    if (QDir::isAbsolutePath(program)) {
        const QFileInfo info(program);
        return info.isFile() && info.isExecutable() ? info.absoluteFilePath() : QString();
    }
    if (program.contains(u'/')) return {};
    return QStandardPaths::findExecutable(program);
}

bool isTrue(const QString& value) {
    return value == QStringLiteral("true");
}

bool shownHere(const QHash<QString, QString>& entry) {
    const QStringList desktops = currentDesktops();
    auto meets = [&desktops](const QString& list) {
        for (const QString& d : listValue(list))
            if (desktops.contains(d, Qt::CaseInsensitive)) return true;
        return false;
    };
    if (entry.contains(QStringLiteral("OnlyShowIn")) && !meets(entry.value(QStringLiteral("OnlyShowIn"))))
        return false;
    return !meets(entry.value(QStringLiteral("NotShowIn")));
}

QString localizedName(const QHash<QString, QString>& entry) {
    for (const char* key : {"Name[zh_CN]", "Name[zh]", "Name"}) {
        const QString v = entry.value(QString::fromLatin1(key));
        if (!v.isEmpty()) return unescapeValue(v);
    }
    return {};
}

// Every desktop entry by id, each from the first folder that has it.
struct EntryIndex {
    QStringList ids; // folder order, then id
    QHash<QString, QString> files;
};

EntryIndex indexEntries() {
    EntryIndex index;
    for (const QString& folder : applicationFolders()) {
        QStringList found;
        QDirIterator it(folder, {QStringLiteral("*.desktop")}, QDir::Files | QDir::Readable,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString file = it.next();
            // The id of applications/kde/foo.desktop is kde-foo.desktop.
            const QString id = QDir(folder).relativeFilePath(file).replace(u'/', u'-');
            if (index.files.contains(id)) continue;
            index.files.insert(id, file);
            found << id;
        }
        found.sort();
        index.ids << found;
    }
    return index;
}

bool hasCategory(const QString& file, const ToolKind& kind) {
    const QStringList categories =
        listValue(readGroup(file, QStringLiteral("Desktop Entry")).value(QStringLiteral("Categories")));
    return categories.contains(kind.category) &&
           (kind.excluded.isEmpty() || !categories.contains(kind.excluded));
}

// The user's default programs for a kind of file, in the order the desktop
// asks the mimeapps.list files (desktop-specific before general, the
// user's configuration before the system's, then the data folders).
QStringList defaultApplications(const QString& mimeType) {
    QStringList lists;
    QStringList folders{homeFolder("XDG_CONFIG_HOME", QStringLiteral("/.config"))};
    folders << folderList("XDG_CONFIG_DIRS", {QStringLiteral("/etc/xdg")});
    folders << applicationFolders();
    const QStringList desktops = currentDesktops();
    for (const QString& folder : folders) {
        for (const QString& d : desktops)
            lists << folder + u'/' + d.toLower() + QStringLiteral("-mimeapps.list");
        lists << folder + QStringLiteral("/mimeapps.list");
    }
    QStringList ids;
    for (const QString& list : lists)
        ids << listValue(readGroup(list, QStringLiteral("Default Applications")).value(mimeType));
    return ids;
}

} // namespace

std::optional<DesktopProgram> readDesktopProgram(const QString& entryFile, const QString& id) {
    const QHash<QString, QString> entry = readGroup(entryFile, QStringLiteral("Desktop Entry"));
    if (entry.value(QStringLiteral("Type")) != QStringLiteral("Application")) return std::nullopt;
    if (isTrue(entry.value(QStringLiteral("Hidden"))) || isTrue(entry.value(QStringLiteral("NoDisplay"))))
        return std::nullopt;
    // The Tools menu starts programs, not terminals around them.
    if (isTrue(entry.value(QStringLiteral("Terminal")))) return std::nullopt;
    if (!shownHere(entry)) return std::nullopt;
    if (const QString tryExec = unescapeValue(entry.value(QStringLiteral("TryExec")));
        !tryExec.isEmpty() && resolveProgram(tryExec).isEmpty())
        return std::nullopt;

    QStringList words;
    for (const QString& w : execWords(unescapeValue(entry.value(QStringLiteral("Exec")))))
        if (std::optional<QString> kept = withoutFieldCodes(w)) words << *kept;
    if (words.isEmpty()) return std::nullopt;
    const QString program = resolveProgram(words.takeFirst());
    if (program.isEmpty()) return std::nullopt;
    return DesktopProgram{id.isEmpty() ? QFileInfo(entryFile).fileName() : id, entryFile,
                          localizedName(entry), program, words};
}

std::optional<DesktopProgram> desktopToolProgram(const QString& toolKey) {
    const ToolKind* kind = kindOf(toolKey);
    if (!kind) return std::nullopt;
    const EntryIndex index = indexEntries();

    // The user's own choice for that kind of file, when it is a program of
    // the kind: the first default that is installed decides.
    if (!kind->mimeType.isEmpty()) {
        for (const QString& id : defaultApplications(kind->mimeType)) {
            const QString file = index.files.value(id);
            if (file.isEmpty()) continue;
            std::optional<DesktopProgram> p = readDesktopProgram(file, id);
            if (!p) continue;
            if (hasCategory(file, *kind)) return p;
            break;
        }
    }
    for (const QString& id : index.ids) {
        const QString file = index.files.value(id);
        if (!hasCategory(file, *kind)) continue;
        if (std::optional<DesktopProgram> p = readDesktopProgram(file, id)) return p;
    }
    return std::nullopt;
}

Outcome findToolProgram(const QString& toolKey, ToolLaunch* launch) {
    *launch = {};
    const ToolKind* kind = kindOf(toolKey);
    if (!kind) return Outcome::fail(Reason::Invalid, QStringLiteral("没有这个工具：%1！").arg(toolKey));
    const QString caption = captionOf(toolKey);

    // The teacher's own choice first. A key never set reads as a name that
    // opens nothing, and a settings file brought from Windows names programs
    // this machine does not have (C:\WINDOWS\NOTEPAD.EXE): both fall through
    // to the desktop's program.
    QString configured = toolProgram(toolKey).trimmed();
    if (configured == QStringLiteral("sysAutoRunFileText")) configured.clear();
    if (!configured.isEmpty()) {
        QString path;
        if (!configured.contains(u'/'))
            path = QStandardPaths::findExecutable(configured);
        else if (QFileInfo::exists(configured))
            path = QFileInfo(configured).absoluteFilePath();
        if (!path.isEmpty()) {
            launch->configuredPath = path;
            return Outcome::done();
        }
    }

    launch->desktop = desktopToolProgram(toolKey);
    if (launch->desktop) return Outcome::done();
    if (configured.isEmpty())
        return Outcome::fail(
            Reason::NotFound,
            QStringLiteral("本机没有找到可用的%1，“%2”无法打开。请安装一个%1，或在“系统设置”中为"
                           "“%2”指定程序！")
                .arg(kind->missing, caption));
    return Outcome::fail(
        Reason::NotFound,
        QStringLiteral("为“%1”设置的程序“%2”不存在，本机也没有找到可用的%3。请安装一个%3，或在"
                       "“系统设置”中为“%1”重新指定程序！")
            .arg(caption, QDir::toNativeSeparators(configured), kind->missing));
}

} // namespace shell
