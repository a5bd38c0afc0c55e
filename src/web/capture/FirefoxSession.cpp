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
    return {home + QStringLiteral("/.mozilla/firefox"),
            home + QStringLiteral("/snap/firefox/common/.mozilla/firefox"),
            home + QStringLiteral("/.var/app/org.mozilla.firefox/.mozilla/firefox"),
            home + QStringLiteral("/.librewolf")};
}

void FirefoxSessions::findFiles() {
    QList<File> found;
    for (const QString& root : roots_) {
        const QDir dir(root);
        for (const QString& profile : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            const QString path =
                dir.filePath(profile) + QStringLiteral("/sessionstore-backups/recovery.jsonlz4");
            if (!QFileInfo::exists(path)) continue;
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
