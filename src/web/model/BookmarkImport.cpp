#include "BookmarkImport.h"

#include "Addresses.h"
#include "store/Store.h"

#include <QHash>

namespace web {

using shell::Outcome;
using shell::Reason;

int ImportPlan::count(ImportKind kind) const {
    int n = 0;
    for (const ImportEntry& e : entries)
        n += e.kind == kind;
    return n;
}

ImportPlan planImport(const QList<FilePage>& pages, const QList<Bookmark>& stored,
                      const BookmarkLimits& limits, const QDate& today) {
    QHash<QString, const Bookmark*> storedBy;
    storedBy.reserve(stored.size());
    for (const Bookmark& b : stored) {
        const QString key = normalizedAddress(b.address);
        if (!key.isEmpty() && !storedBy.contains(key)) storedBy.insert(key, &b);
    }
    QHash<QString, int> seenAt; // normalised address → line of its first page in the file
    ImportPlan plan;
    plan.entries.reserve(pages.size());
    for (const FilePage& p : pages) {
        ImportEntry e;
        e.page = p;
        if (e.page.category.isEmpty()) e.page.category = kImportCategory;
        if (!e.page.date.isValid()) e.page.date = today;
        e.note = checkBookmark(e.page.name, e.page.category, e.page.address, limits);
        if (e.note.isEmpty()) {
            const QString scheme = e.page.address.section(QLatin1String("://"), 0, 0).toLower();
            if (!e.page.address.contains(QLatin1String("://")) ||
                (scheme != QLatin1String("http") && scheme != QLatin1String("https") &&
                 scheme != QLatin1String("ftp")))
                e.note = QStringLiteral("不是网页地址");
        }
        if (!e.note.isEmpty()) {
            e.kind = ImportKind::Refused;
        } else {
            const QString key = normalizedAddress(e.page.address);
            if (const Bookmark* b = storedBy.value(key)) {
                e.kind = ImportKind::Stored;
                e.note = QStringLiteral("已收藏为《%1》（%2）").arg(b->name, b->category);
            } else if (auto it = seenAt.constFind(key); it != seenAt.cend()) {
                e.kind = ImportKind::Repeated;
                e.note = QStringLiteral("与文件第 %1 行的网址相同").arg(*it);
            } else {
                seenAt.insert(key, p.line);
            }
        }
        plan.entries.append(std::move(e));
    }
    return plan;
}

Outcome importPages(const QString& dbPath, const ImportPlan& plan, bool duplicatesToo, int* written) {
    if (written) *written = 0;
    QString why;
    auto rs = store::Recordset::OpenTable(dbPath, kBookmarkTable, &why);
    if (!rs) return Outcome::fail(Reason::NotOpen, why);
    const BookmarkColumns col(*rs);
    if (!col.missing().isEmpty()) return Outcome::fail(Reason::NotOpen, col.missingSentence(dbPath));
    store::Database db = rs->database();
    if (!db.beginTransaction()) return Outcome::storeFailed(db.lastError());
    int n = 0;
    for (const ImportEntry& e : plan.entries) {
        const bool take = e.kind == ImportKind::New ||
                          (duplicatesToo && (e.kind == ImportKind::Stored || e.kind == ImportKind::Repeated));
        if (!take) continue;
        rs->AddNew();
        const bool ok = rs->SetField(col.name, e.page.name) && rs->SetField(col.category, e.page.category) &&
                        rs->SetField(col.date, e.page.date) && rs->SetField(col.address, e.page.address) &&
                        rs->Update();
        if (!ok) {
            why = rs->lastError();
            rs->CancelUpdate();
            db.rollback();
            return Outcome::storeFailed(why);
        }
        ++n;
    }
    if (!db.commit()) {
        why = db.lastError();
        db.rollback();
        return Outcome::storeFailed(why);
    }
    if (written) *written = n;
    return Outcome::done();
}

} // namespace web
