#include "Bookmarks.h"

#include "store/Store.h"

#include <QSet>

namespace web {

using shell::Outcome;
using shell::Reason;

const QList<DateGroupNode>& dateGroupNodes() {
    static const QList<DateGroupNode> n{
        {DateGroup::Before, "daFront", QStringLiteral("去年以前")},
        {DateGroup::LastYear, "daLastYear", QStringLiteral("去年")},
        {DateGroup::Year, "daYear", QStringLiteral("今年")},
        {DateGroup::Month, "daMonth", QStringLiteral("本月")},
        {DateGroup::Week, "daWeek", QStringLiteral("本周")},
        {DateGroup::Yesterday, "daYesTerDay", QStringLiteral("昨天")},
        {DateGroup::Today, "daToDay", QStringLiteral("今天")},
    };
    return n;
}

std::optional<DateGroup> dateGroupOfKey(const QString& key) {
    if (!key.startsWith(QLatin1String("da"))) return std::nullopt;
    for (const DateGroupNode& n : dateGroupNodes())
        if (key == QLatin1String(n.key)) return n.group;
    return DateGroup::Folder; // "date" and any other "da…" key select nothing
}

bool inDateGroup(const QDate& recorded, DateGroup group, const QDate& today) {
    if (!recorded.isValid() || !today.isValid()) return false;
    const qint64 back = recorded.daysTo(today);
    switch (group) {
    case DateGroup::Folder:
        return false;
    case DateGroup::Today:
        return back == 0;
    case DateGroup::Yesterday:
        return back == 1;
    case DateGroup::Week:
        // Qt counts Monday 1 … Sunday 7; the week here starts on Sunday = 1.
        return back <= today.dayOfWeek() % 7 + 1;
    case DateGroup::Month:
        return recorded.month() == today.month();
    case DateGroup::Year:
        return recorded.year() == today.year();
    case DateGroup::LastYear:
        return today.year() - recorded.year() == 1;
    case DateGroup::Before:
        return today.year() - recorded.year() > 1;
    }
    return false;
}

BookmarkColumns::BookmarkColumns(const store::Recordset& rs)
    : name(rs.fieldIndex(kPageName)), category(rs.fieldIndex(kCategory)), date(rs.fieldIndex(kRecorded)),
      address(rs.fieldIndex(kAddress)) {}

QString BookmarkColumns::missing() const {
    if (name < 0) return kPageName;
    if (category < 0) return kCategory;
    if (date < 0) return kRecorded;
    if (address < 0) return kAddress;
    return {};
}

QString BookmarkColumns::missingSentence(const QString& dbPath) const {
    return QStringLiteral("数据库“%1”中的表“filedata”缺少字段“%2”，无法读取网页记录！")
        .arg(dbPath, missing());
}

Bookmark readBookmark(const store::Recordset& rs, const BookmarkColumns& col) {
    Bookmark b;
    b.key = rs.storedKey();
    b.name = rs.text(col.name);
    b.category = rs.text(col.category);
    b.date = rs.Fields(col.date).toDate();
    b.dateText = rs.text(col.date);
    b.address = rs.text(col.address);
    return b;
}

namespace {
std::unique_ptr<store::Recordset> openTable(const QString& dbPath, Outcome* failure) {
    QString why;
    auto rs = store::Recordset::OpenTable(dbPath, kBookmarkTable, &why);
    if (!rs) {
        *failure = Outcome::fail(Reason::NotOpen, why);
        return nullptr;
    }
    // A table without one of the four fields is not one of ours.
    const BookmarkColumns col(*rs);
    if (!col.missing().isEmpty()) {
        *failure = Outcome::fail(Reason::NotOpen, col.missingSentence(dbPath));
        return nullptr;
    }
    return rs;
}
} // namespace

Outcome readBookmarks(const QString& dbPath, QList<Bookmark>* out) {
    out->clear();
    Outcome failure;
    auto rs = openTable(dbPath, &failure);
    if (!rs) return failure;
    out->reserve(rs->RecordCount());
    const BookmarkColumns col(*rs);
    for (rs->MoveFirst(); !rs->isEOF(); rs->MoveNext())
        out->append(readBookmark(*rs, col));
    return Outcome::done();
}

QStringList bookmarkCategories(const QList<Bookmark>& records) {
    QStringList out;
    QSet<QString> seen;
    for (const Bookmark& b : records)
        if (!b.category.isEmpty() && !seen.contains(b.category)) {
            seen.insert(b.category);
            out << b.category;
        }
    return out;
}

Outcome addBookmark(const QString& dbPath, const QString& name, const QString& category, const QDate& date,
                    const QString& address) {
    Outcome failure;
    auto rs = openTable(dbPath, &failure);
    if (!rs) return failure;
    rs->AddNew();
    // Fields by name, as the table may have been made with them in another order.
    const bool set = rs->SetField(kPageName, name) && rs->SetField(kCategory, category) &&
                     rs->SetField(kRecorded, date) && rs->SetField(kAddress, address);
    if (!set || !rs->Update()) {
        const QString why = rs->lastError();
        rs->CancelUpdate();
        return Outcome::storeFailed(why);
    }
    return Outcome::done();
}

Outcome removeBookmark(const QString& dbPath, qint64 key) {
    Outcome failure;
    auto rs = openTable(dbPath, &failure);
    if (!rs) return failure;
    return removeBookmark(*rs, key);
}

Outcome removeBookmark(store::Recordset& rs, qint64 key) {
    for (rs.MoveFirst(); !rs.isEOF(); rs.MoveNext()) {
        if (rs.storedKey() != key) continue;
        if (!rs.Delete()) return Outcome::fail(Reason::Failed, QStringLiteral("删除失败：") + rs.lastError());
        return Outcome::done();
    }
    return Outcome::fail(Reason::NotFound, QStringLiteral("这条网页记录已不在数据库中！"));
}

} // namespace web
