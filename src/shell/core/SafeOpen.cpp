#include "SafeOpen.h"

#include <QDir>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QProcess>
#include <QSet>
#include <utility>

namespace shell {

namespace {

// File kinds that run code when "opened": the desktop would start them (or
// hand them to an interpreter or an installer) rather than show them. Named
// here as well as found by type, since the type database does not know all
// of them (.bat, .pyz, .appref-ms are not in it).
const QSet<QString>& programSuffixes() {
    static const QSet<QString> s{
        QStringLiteral("desktop"),     QStringLiteral("sh"),          QStringLiteral("bash"),
        QStringLiteral("zsh"),         QStringLiteral("csh"),         QStringLiteral("ksh"),
        QStringLiteral("fish"),        QStringLiteral("command"),     QStringLiteral("py"),
        QStringLiteral("pyw"),         QStringLiteral("pyz"),         QStringLiteral("pyzw"),
        QStringLiteral("pyc"),         QStringLiteral("pl"),          QStringLiteral("rb"),
        QStringLiteral("php"),         QStringLiteral("lua"),         QStringLiteral("tcl"),
        QStringLiteral("js"),          QStringLiteral("jse"),         QStringLiteral("mjs"),
        QStringLiteral("jar"),         QStringLiteral("jnlp"),        QStringLiteral("run"),
        QStringLiteral("bin"),         QStringLiteral("appimage"),    QStringLiteral("exe"),
        QStringLiteral("com"),         QStringLiteral("bat"),         QStringLiteral("cmd"),
        QStringLiteral("msi"),         QStringLiteral("msp"),         QStringLiteral("mst"),
        QStringLiteral("vbs"),         QStringLiteral("vbe"),         QStringLiteral("wsf"),
        QStringLiteral("wsh"),         QStringLiteral("hta"),         QStringLiteral("ps1"),
        QStringLiteral("psm1"),        QStringLiteral("scr"),         QStringLiteral("pif"),
        QStringLiteral("cpl"),         QStringLiteral("msc"),         QStringLiteral("reg"),
        QStringLiteral("lnk"),         QStringLiteral("url"),         QStringLiteral("appref-ms"),
        QStringLiteral("application"), QStringLiteral("gadget"),      QStringLiteral("deb"),
        QStringLiteral("rpm"),         QStringLiteral("snap"),        QStringLiteral("flatpak"),
        QStringLiteral("flatpakref"),  QStringLiteral("flatpakrepo"), QStringLiteral("apk"),
    };
    return s;
}

// Types that run code (or install it) when handed to the desktop, with the
// types that inherit them (every shell script type, for one).
bool isProgramMime(const QMimeType& m) {
    for (const char* t : {"application/x-executable",
                          "application/x-sharedlib",
                          "application/x-pie-executable",
                          "application/x-shellscript",
                          "application/x-executable-script",
                          "application/x-desktop",
                          "application/x-ms-dos-executable",
                          "application/vnd.microsoft.portable-executable",
                          "application/x-msdownload",
                          "application/x-msi",
                          "application/x-ms-shortcut",
                          "application/x-mswinurl",
                          "application/x-bat",
                          "text/vbscript",
                          "text/x-python",
                          "text/x-python3",
                          "application/x-python-bytecode",
                          "application/x-perl",
                          "text/x-perl",
                          "application/x-ruby",
                          "application/x-php",
                          "text/x-tcl",
                          "text/x-lua",
                          "application/x-awk",
                          "application/javascript",
                          "text/javascript",
                          "application/x-java-archive",
                          "application/x-java-jnlp-file",
                          "application/x-java",
                          "application/vnd.appimage",
                          "application/x-iso9660-appimage",
                          "application/vnd.debian.binary-package",
                          "application/x-rpm",
                          "application/vnd.flatpak",
                          "application/vnd.flatpak.ref",
                          "application/vnd.flatpak.repo",
                          "application/vnd.android.package-archive"})
        if (m.inherits(QString::fromLatin1(t))) return true;
    return false;
}

// Types whose desktop program only shows the file: documents, pictures,
// sound and film, archives. Anything else is of a kind we do not know and
// opens only after asking.
bool isDocumentName(const QString& type) {
    static const QSet<QString> names{
        QStringLiteral("text/plain"),
        QStringLiteral("text/csv"),
        QStringLiteral("text/tab-separated-values"),
        QStringLiteral("text/markdown"),
        QStringLiteral("text/html"),
        QStringLiteral("application/xhtml+xml"),
        QStringLiteral("text/rtf"),
        QStringLiteral("application/rtf"),
        QStringLiteral("application/pdf"),
        QStringLiteral("application/postscript"),
        QStringLiteral("application/x-mimearchive"),
        QStringLiteral("application/epub+zip"),
        QStringLiteral("application/msword"),
        QStringLiteral("application/vnd.ms-works"),
        QStringLiteral("application/x-ole-storage"),
        QStringLiteral("application/xml"),
        QStringLiteral("text/xml"),
        QStringLiteral("application/json"),
        QStringLiteral("application/zip"),
        QStringLiteral("application/vnd.rar"),
        QStringLiteral("application/x-7z-compressed"),
        QStringLiteral("application/gzip"),
        QStringLiteral("application/x-tar"),
        QStringLiteral("application/x-compressed-tar"),
        QStringLiteral("application/x-bzip2"),
        QStringLiteral("application/x-bzip-compressed-tar"),
        QStringLiteral("application/x-xz"),
        QStringLiteral("application/x-xz-compressed-tar"),
        QStringLiteral("application/x-zerosize"),
    };
    static const QStringList families{
        QStringLiteral("image/"),
        QStringLiteral("audio/"),
        QStringLiteral("video/"),
        QStringLiteral("font/"),
        QStringLiteral("application/vnd.openxmlformats-officedocument."),
        QStringLiteral("application/vnd.oasis.opendocument."),
        QStringLiteral("application/vnd.ms-excel"),
        QStringLiteral("application/vnd.ms-powerpoint"),
        QStringLiteral("application/vnd.ms-word"),
    };
    if (names.contains(type)) return true;
    for (const QString& f : families)
        if (type.startsWith(f)) return true;
    return false;
}

bool isDocumentMime(const QMimeType& m) {
    if (!m.isValid() || m.isDefault()) return false;
    if (isDocumentName(m.name())) return true;
    for (const QString& alias : m.aliases())
        if (isDocumentName(alias)) return true;
    return false;
}

// Documents of the Chinese office suite teachers use, whose names the type
// database does not know.
const QSet<QString>& documentSuffixes() {
    static const QSet<QString> s{QStringLiteral("wps"), QStringLiteral("wpt"), QStringLiteral("et"),
                                 QStringLiteral("ett"), QStringLiteral("dps"), QStringLiteral("dpt"),
                                 QStringLiteral("caj")};
    return s;
}

OpenKind kindOfFile(const QFileInfo& fi) {
    if (fi.isDir()) return OpenKind::Document;
    if (fi.isExecutable()) return OpenKind::Program;
    const QString suffix = fi.suffix().toLower();
    if (programSuffixes().contains(suffix)) return OpenKind::Program;
    static const QMimeDatabase db;
    // By name and by content: an ELF file or a "#!" script under a harmless
    // name is still a program.
    const QMimeType byName = db.mimeTypeForFile(fi, QMimeDatabase::MatchExtension);
    const QMimeType byContent = db.mimeTypeForFile(fi, QMimeDatabase::MatchContent);
    if (isProgramMime(byName) || isProgramMime(byContent)) return OpenKind::Program;
    // A name says what program the desktop picks, so it decides; a name
    // without a known kind is asked about whatever it holds (an .appref-ms
    // is plain text that starts an installer).
    if (!suffix.isEmpty())
        return isDocumentMime(byName) || documentSuffixes().contains(suffix) ? OpenKind::Document
                                                                             : OpenKind::Unknown;
    // No suffix: the content alone, and only content the desktop recognises
    // as a document by itself (a bare archive or compound file could be an
    // installer).
    if (isDocumentMime(byContent) && byContent.name() != u"application/zip" &&
        byContent.name() != u"application/x-ole-storage")
        return OpenKind::Document;
    return OpenKind::Unknown;
}

bool hasControlCharacters(const QString& s) {
    for (QChar c : s)
        if (c.unicode() < 0x20 || c.unicode() == 0x7f) return true;
    return false;
}

OpenTarget local(const QString& text, const QString& path) {
    OpenTarget t;
    t.text = text;
    t.localPath = QFileInfo(path).absoluteFilePath();
    t.url = QUrl::fromLocalFile(t.localPath);
    const QFileInfo fi(t.localPath);
    t.kind = fi.exists() ? kindOfFile(fi) : OpenKind::Missing;
    return t;
}

UrlOpener& desktopOpener() {
    static UrlOpener o;
    return o;
}

bool desktopLaunch(const OpenTarget& t) {
    if (t.kind == OpenKind::Program && !t.localPath.isEmpty() && QFileInfo(t.localPath).isExecutable() &&
        QFileInfo(t.localPath).isFile())
        return QProcess::startDetached(t.localPath, t.arguments,
                                       t.workingFolder.isEmpty() ? QFileInfo(t.localPath).absolutePath()
                                                                 : t.workingFolder);
    if (desktopOpener() && desktopOpener()(t.url)) return true;
    // The URL always begins with its scheme, so xdg-open never takes it for
    // an option.
    return QProcess::startDetached(QStringLiteral("xdg-open"), {t.url.toString(QUrl::FullyEncoded)});
}

Launcher& launcher() {
    static Launcher l;
    return l;
}

bool g_testMode = false;
QStringList& recorded() {
    static QStringList paths;
    return paths;
}

// What the teacher chose to start, opened without a question; in the
// window tests' record-only mode, recorded instead.
Outcome openChosen(const OpenTarget& t) {
    if (g_testMode && !t.localPath.isEmpty() && t.kind != OpenKind::Missing) {
        recorded() << t.localPath;
        return Outcome::done();
    }
    return openTarget(t, true);
}

} // namespace

QString OpenTarget::question() const {
    if (kind == OpenKind::Program)
        return QStringLiteral("“%1”是一个程序或脚本，打开它就会运行它。确实要运行吗？").arg(text);
    if (kind == OpenKind::Unknown)
        return QStringLiteral("不知道“%1”是什么文件，打开它可能会运行其中的程序。确实要打开吗？").arg(text);
    if (kind == OpenKind::OtherScheme)
        return QStringLiteral("“%1”不是网页地址，打开它可能会启动其他程序。确实要打开吗？").arg(text);
    return {};
}

OpenTarget classifyAddress(const QString& address) {
    OpenTarget t;
    t.text = address.trimmed();
    if (t.text.isEmpty() || t.text.size() > kMaxAddressLength || hasControlCharacters(t.text)) return t;

    const QString lower = t.text.toLower();
    if (lower.startsWith(u"www.")) {
        t.url = QUrl(QStringLiteral("http://") + t.text, QUrl::StrictMode);
        if (!t.url.isValid()) t.url = QUrl(QStringLiteral("http://") + t.text, QUrl::TolerantMode);
        t.kind = t.url.isValid() && !t.url.host().isEmpty() ? OpenKind::Web : OpenKind::Invalid;
        return t;
    }
    if (t.text.startsWith(u'/')) return local(t.text, t.text);

    const QUrl url(t.text, QUrl::TolerantMode);
    const QString scheme = url.scheme().toLower();
    // A one-letter "scheme" is a drive letter of a path written on another
    // system ("C:\..."): there is no such file here.
    if (!url.isValid() || scheme.size() < 2) {
        t.kind = OpenKind::Invalid;
        return t;
    }
    if (scheme == u"http" || scheme == u"https" || scheme == u"ftp") {
        t.url = url;
        t.kind = url.host().isEmpty() ? OpenKind::Invalid : OpenKind::Web;
        return t;
    }
    if (scheme == u"file") {
        if (!url.host().isEmpty() && url.host() != u"localhost") {
            t.url = url;
            t.kind = OpenKind::OtherScheme;
            return t;
        }
        return local(t.text, url.toLocalFile());
    }
    t.url = url;
    t.kind = OpenKind::OtherScheme;
    return t;
}

Outcome openTarget(const OpenTarget& t, bool consented) {
    switch (t.kind) {
    case OpenKind::Invalid:
        return Outcome::fail(Reason::Invalid,
                             t.text.isEmpty() ? QStringLiteral("没有可以打开的地址！")
                                              : QStringLiteral("“%1”不是可以打开的网址或文件！").arg(t.text));
    case OpenKind::Missing:
        return Outcome::fail(Reason::NotFound, QStringLiteral("找不到文件“%1”！").arg(t.localPath));
    case OpenKind::Program:
    case OpenKind::Unknown:
    case OpenKind::OtherScheme:
        if (!consented) return Outcome::fail(Reason::NotChosen);
        break;
    case OpenKind::Web:
    case OpenKind::Document:
        break;
    }
    if (!(launcher() ? launcher()(t) : desktopLaunch(t)))
        return Outcome::fail(Reason::Failed,
                             QStringLiteral("无法打开“%1”：桌面没有可以打开它的程序！").arg(t.text));
    return Outcome::done();
}

Outcome openPath(const QString& path) {
    if (path.isEmpty()) return openTarget(OpenTarget{}, true);
    return openChosen(classifyAddress(QFileInfo(path).absoluteFilePath()));
}

Outcome startProgram(const QString& program, const QStringList& arguments) {
    OpenTarget t = classifyAddress(QFileInfo(program).absoluteFilePath());
    t.arguments = arguments;
    // A tool's own file dialogs start where the teacher's files are.
    t.workingFolder = QDir::homePath();
    return openChosen(t);
}

void setDesktopOpener(UrlOpener o) {
    desktopOpener() = std::move(o);
}

void setLauncherForTesting(Launcher l) {
    launcher() = std::move(l);
}

void setShellOpenTestMode(bool on) {
    g_testMode = on;
    recorded().clear();
}

bool shellOpenTestMode() {
    return g_testMode;
}

QStringList takeShellOpened() {
    return std::exchange(recorded(), {});
}

} // namespace shell
