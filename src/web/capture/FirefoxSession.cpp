#include "FirefoxSession.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <climits>
#include <cstring>
#include <lz4.h>

namespace web::capture {

namespace {
constexpr char kMagic[8] = {'m', 'o', 'z', 'L', 'z', '4', '0', '\0'};
constexpr qsizetype kHeader = 12;
// Profile folders are looked for again at most this often: a tick must not
// list directories ten times a second.
constexpr qint64 kLookEveryMs = 5000;
} // namespace

std::optional<QByteArray> decodeMozLz4(const QByteArray& file, qsizetype maxSize) {
    if (file.size() < kHeader || std::memcmp(file.constData(), kMagic, sizeof kMagic) != 0)
        return std::nullopt;
    const auto* p = reinterpret_cast<const unsigned char*>(file.constData()) + 8;
    const quint32 size = quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
    // LZ4's decoder takes int sizes: anything larger than the bound (and
    // INT_MAX) is refused before a byte is allocated.
    const qsizetype bound = qMin<qsizetype>(maxSize, INT_MAX);
    const qsizetype block = file.size() - kHeader;
    if (qsizetype(size) > bound || block > INT_MAX) return std::nullopt;
    if (size == 0)
        return block == 0 || (block == 1 && file.at(kHeader) == 0) ? std::optional(QByteArray())
                                                                   : std::nullopt;
    QByteArray out(qsizetype(size), Qt::Uninitialized);
    const int got = LZ4_decompress_safe(file.constData() + kHeader, out.data(), int(block), int(size));
    if (got != int(size)) return std::nullopt;
    return out;
}

QByteArray encodeMozLz4(const QByteArray& json) {
    const int capacity = LZ4_compressBound(int(json.size()));
    QByteArray out(kHeader + capacity, Qt::Uninitialized);
    std::memcpy(out.data(), kMagic, sizeof kMagic);
    const quint32 size = quint32(json.size());
    for (int i = 0; i < 4; ++i)
        out[8 + i] = char((size >> (8 * i)) & 0xff);
    const int n = LZ4_compress_default(json.constData(), out.data() + kHeader, int(json.size()), capacity);
    out.truncate(kHeader + qMax(n, 0));
    return out;
}

QList<SessionPage> parseSessionJson(const QByteArray& json) {
    QList<SessionPage> pages;
    const QJsonDocument doc = QJsonDocument::fromJson(json);
    if (!doc.isObject()) return pages;
    const int selectedWindow = doc.object().value(QLatin1String("selectedWindow")).toInt(0); // 1-based
    const QJsonArray windows = doc.object().value(QLatin1String("windows")).toArray();
    for (qsizetype w = 0; w < windows.size(); ++w) {
        const QJsonObject win = windows.at(w).toObject();
        const int selectedTab = win.value(QLatin1String("selected")).toInt(0); // 1-based
        const QJsonArray tabs = win.value(QLatin1String("tabs")).toArray();
        for (qsizetype t = 0; t < tabs.size(); ++t) {
            const QJsonObject tab = tabs.at(t).toObject();
            const QJsonArray entries = tab.value(QLatin1String("entries")).toArray();
            if (entries.isEmpty()) continue;
            // "index" is 1-based; a missing or stray one means the last entry.
            qsizetype index = tab.value(QLatin1String("index")).toInt(int(entries.size())) - 1;
            if (index < 0 || index >= entries.size()) index = entries.size() - 1;
            const QJsonObject e = entries.at(index).toObject();
            SessionPage page;
            page.title = e.value(QLatin1String("title")).toString();
            page.url = e.value(QLatin1String("url")).toString();
            page.selected = selectedTab == t + 1;
            page.current = page.selected && selectedWindow == w + 1;
            if (!page.url.isEmpty()) pages << page;
        }
    }
    return pages;
}

FirefoxSessions::FirefoxSessions() : FirefoxSessions(defaultProfileRoots()) {}

FirefoxSessions::FirefoxSessions(QStringList roots) : roots_(std::move(roots)) {}

QStringList FirefoxSessions::defaultProfileRoots() {
    const QString home = QDir::homePath();
    QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (config.isEmpty()) config = home + QStringLiteral("/.config");
    QStringList roots{config + QStringLiteral("/mozilla/firefox"),
                      home + QStringLiteral("/.mozilla/firefox")};
    if (config != home + QStringLiteral("/.config"))
        roots << home + QStringLiteral("/.config/mozilla/firefox");
    for (const QString& box : {home + QStringLiteral("/snap/firefox/common"),
                               home + QStringLiteral("/.var/app/org.mozilla.firefox")})
        roots << box + QStringLiteral("/.mozilla/firefox") << box + QStringLiteral("/.config/mozilla/firefox")
              << box + QStringLiteral("/config/mozilla/firefox");
    roots << home + QStringLiteral("/.librewolf");
    return roots;
}

namespace {

// The profile paths an ini file of a profile root names: "Path=" of the
// [Profile…] sections (with their IsRelative) and "Default=" of the install
// sections, which are always relative. In profiles.ini an install section
// is named "Install" and the install's hash, in installs.ini by the hash
// alone.
QStringList iniProfiles(const QString& root, const QString& iniName, bool everySectionAnInstall) {
    QFile f(QDir(root).filePath(iniName));
    // A profiles.ini is a few hundred bytes; a larger one is not Firefox's.
    if (f.size() > 1024 * 1024 || !f.open(QIODevice::ReadOnly | QIODevice::Text)) return {};
    QStringList out;
    QString section, path;
    bool relative = true;
    auto endSection = [&] {
        if (!path.isEmpty()) out << (relative ? QDir(root).filePath(path) : path);
        path.clear();
        relative = true;
    };
    for (const QByteArray& raw : f.readAll().split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            endSection();
            section = line.mid(1, line.size() - 2);
            continue;
        }
        const qsizetype eq = line.indexOf(u'=');
        if (eq <= 0) continue;
        const QString key = line.left(eq).trimmed(), value = line.mid(eq + 1).trimmed();
        if (section.startsWith(QLatin1String("Profile"), Qt::CaseInsensitive)) {
            if (key.compare(QLatin1String("Path"), Qt::CaseInsensitive) == 0) path = value;
            if (key.compare(QLatin1String("IsRelative"), Qt::CaseInsensitive) == 0) relative = value != u"0";
        } else if ((everySectionAnInstall ||
                    section.startsWith(QLatin1String("Install"), Qt::CaseInsensitive)) &&
                   key.compare(QLatin1String("Default"), Qt::CaseInsensitive) == 0 && !value.isEmpty()) {
            out << QDir(root).filePath(value);
        }
    }
    endSection();
    return out;
}

} // namespace

QStringList FirefoxSessions::profileFolders(const QString& root) {
    const QDir dir(root);
    if (!dir.exists()) return {};
    QStringList candidates = iniProfiles(root, QStringLiteral("profiles.ini"), false);
    candidates << iniProfiles(root, QStringLiteral("installs.ini"), true);
    // Profiles made by hand or by an older release sit in the root without
    // a line in profiles.ini ("Profiles/" is where Firefox on other systems
    // puts them).
    for (const QString& sub : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        candidates << dir.filePath(sub);
    for (const QString& sub :
         QDir(dir.filePath(QStringLiteral("Profiles"))).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        candidates << dir.filePath(QStringLiteral("Profiles/") + sub);
    QStringList folders;
    for (const QString& c : candidates) {
        const QString canonical = QFileInfo(c).canonicalFilePath();
        if (!canonical.isEmpty() && QFileInfo(canonical).isDir() && !folders.contains(canonical))
            folders << canonical;
    }
    return folders;
}

void FirefoxSessions::findFiles() {
    QList<File> found;
    QStringList seen;
    for (const QString& root : roots_) {
        for (const QString& profile : profileFolders(root)) {
            const QString path = profile + QStringLiteral("/sessionstore-backups/recovery.jsonlz4");
            // One profile reached from two roots (a link) is read once.
            if (seen.contains(path) || !QFileInfo::exists(path)) continue;
            seen << path;
            File f;
            f.path = path;
            for (const File& old : files_)
                if (old.path == path) f = old;
            found << f;
        }
    }
    files_ = found;
    lastLook_.start();
}

void FirefoxSessions::refresh() {
    if (!lastLook_.isValid() || lastLook_.elapsed() >= kLookEveryMs) findFiles();
    for (File& f : files_) {
        const QFileInfo fi(f.path);
        if (!fi.exists()) {
            f.pages.clear();
            f.size = -1;
            continue;
        }
        if (fi.size() == f.size && fi.lastModified() == f.modified) continue;
        f.size = fi.size();
        f.modified = fi.lastModified();
        f.pages.clear();
        // A file larger than any session could compress to is not read.
        if (fi.size() > kMaxSessionSize) continue;
        QFile file(f.path);
        if (!file.open(QIODevice::ReadOnly)) continue;
        ++reads_;
        if (const std::optional<QByteArray> json = decodeMozLz4(file.read(kMaxSessionSize + 1)))
            f.pages = parseSessionJson(*json);
    }
}

std::optional<SessionPage> FirefoxSessions::currentPage() {
    refresh();
    const File* newest = nullptr;
    for (const File& f : files_)
        if (!f.pages.isEmpty() && (!newest || f.modified > newest->modified)) newest = &f;
    if (newest)
        for (const SessionPage& p : newest->pages)
            if (p.current) return p;
    return std::nullopt;
}

QString FirefoxSessions::addressForTitle(const QString& title) {
    if (title.isEmpty()) return {};
    refresh();
    QString background;
    for (const File& f : files_)
        for (const SessionPage& p : f.pages) {
            if (p.title != title) continue;
            if (p.selected) return p.url;
            if (background.isEmpty()) background = p.url;
        }
    return background;
}

} // namespace web::capture
