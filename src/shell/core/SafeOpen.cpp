#include "SafeOpen.h"

#include <QFileInfo>
#include <QMimeDatabase>
#include <QProcess>
#include <QSet>

namespace shell {

namespace {

// File kinds that run code when "opened": the desktop would start them (or
// hand them to an interpreter) rather than show them.
const QSet<QString>& programSuffixes() {
    static const QSet<QString> s{
        QStringLiteral("desktop"), QStringLiteral("sh"),  QStringLiteral("bash"),       QStringLiteral("zsh"),
        QStringLiteral("csh"),     QStringLiteral("ksh"), QStringLiteral("fish"),       QStringLiteral("py"),
        QStringLiteral("pyw"),     QStringLiteral("pl"),  QStringLiteral("rb"),         QStringLiteral("php"),
        QStringLiteral("lua"),     QStringLiteral("tcl"), QStringLiteral("js"),         QStringLiteral("jar"),
        QStringLiteral("run"),     QStringLiteral("bin"), QStringLiteral("appimage"),   QStringLiteral("exe"),
        QStringLiteral("com"),     QStringLiteral("bat"), QStringLiteral("cmd"),        QStringLiteral("msi"),
        QStringLiteral("vbs"),     QStringLiteral("ps1"), QStringLiteral("scr"),        QStringLiteral("pif"),
        QStringLiteral("deb"),     QStringLiteral("rpm"), QStringLiteral("flatpakref"),
    };
    return s;
}

bool isProgramMime(const QMimeType& m) {
    for (const char* t : {"application/x-executable", "application/x-sharedlib", "application/x-shellscript",
                          "application/x-desktop", "application/x-ms-dos-executable", "application/x-msi",
                          "application/x-executable-script", "text/x-python", "text/x-python3",
                          "application/x-perl", "text/x-perl", "application/x-ruby", "application/javascript",
                          "application/x-java-archive", "application/x-pie-executable"})
        if (m.inherits(QString::fromLatin1(t))) return true;
    return false;
}

bool isProgramFile(const QFileInfo& fi) {
    if (fi.isDir()) return false;
    if (fi.isExecutable()) return true;
    if (programSuffixes().contains(fi.suffix().toLower())) return true;
    static const QMimeDatabase db;
    // By name and by content: an ELF file or a "#!" script under a harmless
    // name is still a program.
    return isProgramMime(db.mimeTypeForFile(fi, QMimeDatabase::MatchExtension)) ||
           isProgramMime(db.mimeTypeForFile(fi, QMimeDatabase::MatchContent));
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
    if (!fi.exists())
        t.kind = OpenKind::Missing;
    else
        t.kind = isProgramFile(fi) ? OpenKind::Program : OpenKind::Document;
    return t;
}

bool desktopLaunch(const OpenTarget& t) {
    if (t.kind == OpenKind::Program && !t.localPath.isEmpty() && QFileInfo(t.localPath).isExecutable() &&
        QFileInfo(t.localPath).isFile())
        return QProcess::startDetached(t.localPath, {}, QFileInfo(t.localPath).absolutePath());
    // The URL always begins with its scheme, so xdg-open never takes it for
    // an option.
    return QProcess::startDetached(QStringLiteral("xdg-open"), {t.url.toString(QUrl::FullyEncoded)});
}

Launcher& launcher() {
    static Launcher l;
    return l;
}

} // namespace

QString OpenTarget::question() const {
    if (kind == OpenKind::Program)
        return QStringLiteral("“%1”是一个程序或脚本，打开它就会运行它。确实要运行吗？").arg(text);
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
    case OpenKind::OtherScheme:
        if (!consented) return Outcome::fail(Reason::NotChosen);
        break;
    case OpenKind::Web:
    case OpenKind::Document:
        break;
    }
    const bool started = launcher() ? launcher()(t) : desktopLaunch(t);
    if (!started)
        return Outcome::fail(Reason::Failed,
                             QStringLiteral("无法打开“%1”：桌面没有可以打开它的程序！").arg(t.text));
    return Outcome::done();
}

void setLauncherForTesting(Launcher l) {
    launcher() = std::move(l);
}

} // namespace shell
