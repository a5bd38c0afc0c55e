#include "Bookmarks.h"

#include "store/Store.h"

#include <QSet>
#include <algorithm>

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
      address(rs.fieldIndex(kAddress)), linkStatus(rs.fieldIndex(kLinkStatusField)),
      checkedAt(rs.fieldIndex(kCheckedAtField)) {}

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

namespace {
qsizetype characterCount(const QString& s) {
    // Characters as a teacher counts them: a pair of surrogates is one.
    return s.size() - std::count_if(s.cbegin(), s.cend(), [](QChar c) { return c.isLowSurrogate(); });
}

BookmarkLimits limitsOf(const store::Recordset& rs, const BookmarkColumns& col) {
    auto size = [&rs](int i) {
        const store::FieldDef& f = rs.fieldDefs()[i];
        return f.kind == store::FieldKind::Text ? f.size : 0;
    };
    return {size(col.name), size(col.category), size(col.address)};
}
} // namespace

QString checkBookmark(const QString& name, const QString& category, const QString& address,
                      const BookmarkLimits& limits) {
    const QString n = name.trimmed(), c = category.trimmed(), a = address.trimmed();
    if (n.isEmpty()) return QStringLiteral("没有网页名称");
    if (c.isEmpty()) return QStringLiteral("没有类别");
    if (a.isEmpty()) return QStringLiteral("没有网址");
    if (limits.name > 0 && characterCount(name) > limits.name)
        return QStringLiteral("网页名称超过%1个字").arg(limits.name);
    if (limits.category > 0 && characterCount(category) > limits.category)
        return QStringLiteral("类别超过%1个字").arg(limits.category);
    if (limits.address > 0 && characterCount(address) > limits.address)
        return QStringLiteral("网址超过%1个字符").arg(limits.address);
    return {};
}

Outcome readBookmarks(const QString& dbPath, QList<Bookmark>* out, BookmarkLimits* limits) {
    out->clear();
    Outcome failure;
    auto rs = openTable(dbPath, &failure);
    if (!rs) return failure;
    if (limits) *limits = limitsOf(*rs, BookmarkColumns(*rs));
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

namespace web {

namespace {
// Runs `write` over the open table inside one transaction; a failure rolls
// every write back and carries the store's reason.
template <typename Write> Outcome inTransaction(store::Recordset& rs, Write write) {
    store::Database db = rs.database();
    if (!db.beginTransaction()) return Outcome::storeFailed(db.lastError());
    QString why;
    if (!write(why)) {
        db.rollback();
        return Outcome::storeFailed(why);
    }
    if (!db.commit()) {
        why = db.lastError();
        db.rollback();
        return Outcome::storeFailed(why);
    }
    return Outcome::done();
}
} // namespace

Outcome removeBookmarks(const QString& dbPath, const QList<qint64>& keys) {
    Outcome failure;
    auto rs = openTable(dbPath, &failure);
    if (!rs) return failure;
    const QSet<qint64> gone(keys.cbegin(), keys.cend());
    return inTransaction(*rs, [&](QString& why) {
        for (rs->MoveFirst(); !rs->isEOF(); rs->MoveNext()) {
            if (!gone.contains(rs->storedKey())) continue;
            if (!rs->Delete()) {
                why = rs->lastError();
                return false;
            }
        }
        return true;
    });
}

Outcome updateBookmark(const QString& dbPath, qint64 key, const QString& name, const QString& category,
                       const QString& address) {
    Outcome failure;
    auto rs = openTable(dbPath, &failure);
    if (!rs) return failure;
    const BookmarkColumns col(*rs);
    const QString wrong = checkBookmark(name, category, address, limitsOf(*rs, col));
    if (!wrong.isEmpty()) return Outcome::fail(Reason::Invalid, wrong + QStringLiteral("，请修改！"));
    for (rs->MoveFirst(); !rs->isEOF(); rs->MoveNext()) {
        if (rs->storedKey() != key) continue;
        const bool ok = rs->Edit() && rs->SetField(col.name, name.trimmed()) &&
                        rs->SetField(col.category, category.trimmed()) &&
                        rs->SetField(col.address, address.trimmed()) && rs->Update();
        if (ok) return Outcome::done();
        const QString why = rs->lastError();
        rs->CancelUpdate();
        return Outcome::storeFailed(why);
    }
    return Outcome::fail(Reason::NotFound, QStringLiteral("这条网页记录已不在数据库中！"));
}

Outcome renameCategory(const QString& dbPath, const QString& from, const QString& to, int* changed) {
    if (changed) *changed = 0;
    Outcome failure;
    auto rs = openTable(dbPath, &failure);
    if (!rs) return failure;
    const BookmarkColumns col(*rs);
    const QString target = to.trimmed();
    if (target.isEmpty()) return Outcome::fail(Reason::Invalid, QStringLiteral("请选择或输入类别名称！"));
    const BookmarkLimits limits = limitsOf(*rs, col);
    if (limits.category > 0 && characterCount(target) > limits.category)
        return Outcome::fail(Reason::Invalid,
                             QStringLiteral("类别名称不能超过%1个字！").arg(limits.category));
    int n = 0;
    const Outcome written = inTransaction(*rs, [&](QString& why) {
        for (rs->MoveFirst(); !rs->isEOF(); rs->MoveNext()) {
            if (rs->text(col.category) != from) continue;
            if (!rs->Edit() || !rs->SetField(col.category, target) || !rs->Update()) {
                why = rs->lastError();
                rs->CancelUpdate();
                return false;
            }
            ++n;
        }
        return true;
    });
    if (!written) return written;
    if (n == 0) return Outcome::fail(Reason::NotFound, QStringLiteral("类别“%1”中已经没有网页！").arg(from));
    if (changed) *changed = n;
    return written;
}

} // namespace web
