#include "Addresses.h"

#include <QHash>
#include <QUrl>
#include <QUrlQuery>

namespace web {

namespace {
int defaultPort(const QString& scheme) {
    if (scheme == QLatin1String("http")) return 80;
    if (scheme == QLatin1String("https")) return 443;
    if (scheme == QLatin1String("ftp")) return 21;
    return -1;
}
} // namespace

QString normalizedAddress(const QString& address) {
    const QString trimmed = address.trimmed();
    if (trimmed.isEmpty()) return {};
    // "www.example.cn/a" has no scheme; QUrl would read it all as a path.
    const bool bare = !trimmed.contains(QLatin1String("://")) &&
                      !trimmed.startsWith(QLatin1String("mailto:"), Qt::CaseInsensitive);
    QUrl url(bare ? QStringLiteral("http://") + trimmed : trimmed, QUrl::TolerantMode);
    if (!url.isValid() || url.host().isEmpty()) return trimmed.toLower();
    url.setScheme(url.scheme().toLower());
    url.setHost(url.host().toLower());
    if (url.port() == defaultPort(url.scheme())) url.setPort(-1);
    url.setFragment(QString());
    if (url.hasQuery()) {
        QUrlQuery query(url);
        const auto items = query.queryItems(QUrl::FullyEncoded);
        QList<QPair<QString, QString>> kept;
        for (const auto& item : items)
            if (!item.first.startsWith(QLatin1String("utm_"), Qt::CaseInsensitive)) kept << item;
        if (kept.size() != items.size()) {
            if (kept.isEmpty()) {
                url.setQuery(QString());
            } else {
                QUrlQuery rest;
                rest.setQueryItems(kept);
                url.setQuery(rest.query(QUrl::FullyEncoded), QUrl::StrictMode);
            }
        }
        if (url.query().isEmpty()) url.setQuery(QString());
    }
    QString path = url.path(QUrl::FullyEncoded);
    while (path.endsWith(u'/'))
        path.chop(1);
    url.setPath(path, QUrl::StrictMode);
    return url.toString(QUrl::FullyEncoded);
}

QList<QList<Bookmark>> duplicateGroups(const QList<Bookmark>& pages) {
    QHash<QString, int> groupOf;
    QList<QList<Bookmark>> groups;
    for (const Bookmark& b : pages) {
        const QString key = normalizedAddress(b.address);
        if (key.isEmpty()) continue;
        auto it = groupOf.find(key);
        if (it == groupOf.end()) {
            groupOf.insert(key, int(groups.size()));
            groups.append({b});
        } else {
            groups[*it].append(b);
        }
    }
    QList<QList<Bookmark>> out;
    for (QList<Bookmark>& g : groups)
        if (g.size() > 1) out.append(std::move(g));
    return out;
}

} // namespace web
