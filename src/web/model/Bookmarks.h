#pragma once

#include "shell/core/Outcome.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace store {
class Recordset;
}

namespace web {

// One stored page of table "filedata" in "cJapy218.mdb": fields 网页名称,
// 类别, 记录时间, 网站地址. `key` is the record's identity (its place in the
// stored order), so that two pages of one name are two different records.
struct Bookmark {
    qint64 key = -1;
    QString name;
    QString category;
    QDate date;
    QString dateText; // "2003-2-11"; empty without a date
    QString address;
};

inline const QString kBookmarkTable = QStringLiteral("filedata");
inline const QString kPageName = QStringLiteral("网页名称");
inline const QString kCategory = QStringLiteral("类别");
inline const QString kRecorded = QStringLiteral("记录时间");
inline const QString kAddress = QStringLiteral("网站地址");
// The link check's result and time, added to "filedata" when a file made
// before them is first checked.
inline const QString kLinkStatusField = QStringLiteral("链接状态");
inline const QString kCheckedAtField = QStringLiteral("检查时间");

// The fields of "filedata", found by name once per opened table: reads go by
// name as the adding routine writes, so a table made with its fields in
// another order, or with more of them, reads the same.
struct BookmarkColumns {
    int name = -1, category = -1, date = -1, address = -1;
    // The link check's two fields, -1 until a check added them.
    int linkStatus = -1, checkedAt = -1;
    explicit BookmarkColumns(const store::Recordset& rs);
    // The first of the four fields the table lacks; empty when it has all.
    QString missing() const;
    // The sentence for a table that lacks one ("…缺少字段“类别”…").
    QString missingSentence(const QString& dbPath) const;
};

// The page under the cursor.
Bookmark readBookmark(const store::Recordset& rs, const BookmarkColumns& col);

// The date groups of the "时间" folder, by their tree keys.
enum class DateGroup { Folder, Today, Yesterday, Week, Month, Year, LastYear, Before };
struct DateGroupNode {
    DateGroup group;
    const char* key;
    QString text;
};
// "去年以前" … "今天" in the tree's order, the folder "时间" not included.
const QList<DateGroupNode>& dateGroupNodes();
// The group of a tree key beginning with "da", or nullopt for any other key.
std::optional<DateGroup> dateGroupOfKey(const QString& key);

// Whether a page recorded on `recorded` belongs to a group on `today`:
// 今天 the same day; 昨天 one day before; 本周 at most as many days back as
// today's weekday number, Sunday counted 1 (so a Wednesday reaches back to
// the Saturday before); 本月 the same month number, whatever the year;
// 今年 the same year; 去年 the year before; 去年以前 earlier. The folder
// holds nothing of its own and a page without a date belongs nowhere.
bool inDateGroup(const QDate& recorded, DateGroup group, const QDate& today);

// The longest texts the table takes, in characters (0: no limit).
struct BookmarkLimits {
    int name = 100, category = 50, address = 2048;
};

// What is wrong with a page as the teacher would store it: no name, no
// category or no address (after trimming), or a text longer than the table
// takes; a short phrase for a list ("没有网页名称"), empty when it can be
// stored.
QString checkBookmark(const QString& name, const QString& category, const QString& address,
                      const BookmarkLimits& limits);

// Every record of "filedata" in stored order, and the lengths its fields take.
shell::Outcome readBookmarks(const QString& dbPath, QList<Bookmark>* out, BookmarkLimits* limits = nullptr);
// The distinct non-empty categories in the order of their first record.
// All of them: the list has no limit.
QStringList bookmarkCategories(const QList<Bookmark>& records);
// AddBookmark: one new record (name and address as given, the category,
// the date). A refused or failed write leaves the table as it was and the
// Outcome carries the store's reason.
shell::Outcome addBookmark(const QString& dbPath, const QString& name, const QString& category,
                           const QDate& date, const QString& address);
// Removes the record with this key (and no other); NotFound when it is gone.
shell::Outcome removeBookmark(const QString& dbPath, qint64 key);
// The same through an open cursor over "filedata".
shell::Outcome removeBookmark(store::Recordset& table, qint64 key);
// Removes the records with these keys in one transaction: all or none.
// Keys no longer stored are passed over.
shell::Outcome removeBookmarks(const QString& dbPath, const QList<qint64>& keys);
// A page's name, category and address as the teacher edited them (names
// and categories trimmed; its date kept). Invalid, with the sentence to
// show, for what checkBookmark() refuses; NotFound when it is gone.
shell::Outcome updateBookmark(const QString& dbPath, qint64 key, const QString& name, const QString& category,
                              const QString& address);
// Gives every page of category `from` the category `to` (trimmed) in one
// transaction; when `to` is a category already, the two become one.
// `changed` gets how many pages were written. Invalid for an empty or
// over-long name, NotFound when no page has `from`.
shell::Outcome renameCategory(const QString& dbPath, const QString& from, const QString& to,
                              int* changed = nullptr);

} // namespace web
