#include "TestSupport.h"
#include "shell/core/SafeOpen.h"
#include "store/Schema.h"
#include "store/Store.h"
#include "web/model/BookmarkBrowser.h"
#include "web/model/Bookmarks.h"

#include <gtest/gtest.h>

using namespace web;
using testing_support::DataFolder;

namespace {
QString db(const DataFolder& f) {
    return f.file(store::kCommonDb);
}
} // namespace

TEST(DateGroups, RulesAgainstAFixedToday) {
    const QDate wed(2024, 3, 13); // a Wednesday: weekday 4 counting Sunday as 1
    using G = DateGroup;
    struct Case {
        QDate recorded;
        QList<G> in;
    };
    const QList<Case> cases{
        {wed, {G::Today, G::Week, G::Month, G::Year}},
        {wed.addDays(-1), {G::Yesterday, G::Week, G::Month, G::Year}},
        // The Saturday before, four days back, still counts as this week.
        {QDate(2024, 3, 9), {G::Week, G::Month, G::Year}},
        {QDate(2024, 3, 8), {G::Month, G::Year}},
        // The month number alone: March of an earlier year is "本月".
        {QDate(2021, 3, 30), {G::Month, G::Before}},
        {QDate(2023, 12, 31), {G::LastYear}},
        {QDate(2022, 1, 1), {G::Before}},
        {QDate(), {}},
    };
    const QList<G> all{G::Folder, G::Today, G::Yesterday, G::Week, G::Month, G::Year, G::LastYear, G::Before};
    for (const Case& c : cases)
        for (G g : all)
            EXPECT_EQ(inDateGroup(c.recorded, g, wed), c.in.contains(g))
                << c.recorded.toString(Qt::ISODate).toStdString() << " group " << int(g);
    // On a Sunday (weekday 1) the week reaches back one day only.
    const QDate sun(2024, 3, 17);
    EXPECT_TRUE(inDateGroup(sun.addDays(-1), G::Week, sun));
    EXPECT_FALSE(inDateGroup(sun.addDays(-2), G::Week, sun));
    // Across the new year: yesterday is last year.
    EXPECT_TRUE(inDateGroup(QDate(2023, 12, 31), G::Yesterday, QDate(2024, 1, 1)));
    EXPECT_TRUE(inDateGroup(QDate(2023, 12, 31), G::LastYear, QDate(2024, 1, 1)));
}

TEST(DateGroups, KeysOfTheTimeFolder) {
    EXPECT_EQ(dateGroupOfKey("daToDay"), DateGroup::Today);
    EXPECT_EQ(dateGroupOfKey("daFront"), DateGroup::Before);
    EXPECT_EQ(dateGroupOfKey("date"), DateGroup::Folder);
    EXPECT_EQ(dateGroupOfKey("leiBie12"), std::nullopt);
    EXPECT_EQ(dateGroupOfKey("explor"), std::nullopt);
}

TEST(BookmarkTable, AddReadAndRemoveByIdentity) {
    DataFolder f;
    const QDate d(2024, 3, 13);
    ASSERT_TRUE(addBookmark(db(f), QStringLiteral("人教网"), QStringLiteral("教材"), d, "http://a.example/"));
    ASSERT_TRUE(addBookmark(db(f), QStringLiteral("人教网"), QStringLiteral("教材"), d, "http://b.example/"));
    ASSERT_TRUE(addBookmark(db(f), QStringLiteral("课件"), QString(), d, "http://c.example/"));
    QList<Bookmark> all;
    ASSERT_TRUE(readBookmarks(db(f), &all));
    ASSERT_EQ(all.size(), 3);
    EXPECT_EQ(all[1].address, QStringLiteral("http://b.example/"));
    EXPECT_EQ(all[1].dateText, QStringLiteral("2024-3-13"));
    EXPECT_EQ(all[1].date, d);

    // The second of two same-named pages goes, the first stays.
    ASSERT_TRUE(removeBookmark(db(f), all[1].key));
    QList<Bookmark> left;
    ASSERT_TRUE(readBookmarks(db(f), &left));
    ASSERT_EQ(left.size(), 2);
    EXPECT_EQ(left[0].address, QStringLiteral("http://a.example/"));
    EXPECT_EQ(left[1].name, QStringLiteral("课件"));
    EXPECT_EQ(removeBookmark(db(f), all[1].key).reason, shell::Reason::NotFound);
}

TEST(BookmarkTable, LongAddressesFitAndTooLongOnesAreRefused) {
    DataFolder f;
    const QString longest =
        QStringLiteral("https://example.org/") + QString(shell::kMaxAddressLength - 20, u'q');
    EXPECT_TRUE(addBookmark(db(f), "a", "b", QDate(2024, 1, 1), longest));
    const shell::Outcome o = addBookmark(db(f), "a", "b", QDate(2024, 1, 1), longest + u'q');
    EXPECT_FALSE(o.ok);
    EXPECT_EQ(o.reason, shell::Reason::Failed);
    ASSERT_FALSE(o.messages.isEmpty());
    EXPECT_TRUE(o.messages[0].startsWith(QStringLiteral("保存失败："))) << o.messages[0].toStdString();
    QList<Bookmark> all;
    ASSERT_TRUE(readBookmarks(db(f), &all));
    ASSERT_EQ(all.size(), 1);
    EXPECT_EQ(all[0].address, longest);
}

TEST(BookmarkTable, EveryCategoryInFirstOccurrenceOrder) {
    QList<Bookmark> records;
    for (int i = 0; i < 450; ++i)
        records << Bookmark{i, "p", QStringLiteral("类%1").arg(i % 300), {}, {}, {}};
    records.insert(5, Bookmark{900, "p", QString(), {}, {}, {}});
    const QStringList cats = bookmarkCategories(records);
    ASSERT_EQ(cats.size(), 300); // past the old 199
    EXPECT_EQ(cats.first(), QStringLiteral("类0"));
    EXPECT_EQ(cats.last(), QStringLiteral("类299"));
}

TEST(BookmarkTable, MissingTableIsReportedNotCreated) {
    DataFolder f(false);
    store::Database::Create(db(f));
    QList<Bookmark> all;
    const shell::Outcome o = readBookmarks(db(f), &all);
    EXPECT_FALSE(o.ok);
    EXPECT_EQ(o.reason, shell::Reason::NotOpen);
    EXPECT_FALSE(o.messages.isEmpty());
    EXPECT_FALSE(addBookmark(db(f), "a", "b", QDate(2024, 1, 1), "http://x/").ok);
}

TEST(BookmarkTable, FieldsAreReadByNameInAnyOrder) {
    DataFolder f(false);
    {
        store::Database d = store::Database::Create(db(f));
        using store::FieldKind;
        ASSERT_TRUE(d.CreateTable(kBookmarkTable, {{"网站地址", FieldKind::Text, 255},
                                                   {"备注", FieldKind::Text, 50},
                                                   {"记录时间", FieldKind::Date, 0},
                                                   {"类别", FieldKind::Text, 50},
                                                   {"网页名称", FieldKind::Text, 100}}));
    }
    const QDate d(2024, 3, 13);
    ASSERT_TRUE(addBookmark(db(f), QStringLiteral("人教网"), QStringLiteral("教材"), d, "http://a.example/"));
    QList<Bookmark> all;
    ASSERT_TRUE(readBookmarks(db(f), &all));
    ASSERT_EQ(all.size(), 1);
    EXPECT_EQ(all[0].name, QStringLiteral("人教网"));
    EXPECT_EQ(all[0].category, QStringLiteral("教材"));
    EXPECT_EQ(all[0].date, d);
    EXPECT_EQ(all[0].address, QStringLiteral("http://a.example/"));

    // The window's tree and grid read the same fields.
    BookmarkBrowser b(db(f));
    b.setToday(d);
    ASSERT_TRUE(b.BuildBookmarkTree());
    EXPECT_EQ(b.tree().childTexts("leiBie"), QStringList{QStringLiteral("教材")});
    ASSERT_TRUE(b.ListBookmarks("daToDay"));
    ASSERT_EQ(b.listedCount(), 1);
    EXPECT_EQ(b.grid().text(1, 1), QStringLiteral("人教网"));
    EXPECT_EQ(b.grid().text(1, 2), QStringLiteral("教材"));
    EXPECT_EQ(b.grid().text(1, 3), QStringLiteral("2024-3-13"));
    EXPECT_EQ(b.grid().text(1, 4), QStringLiteral("http://a.example/"));
}

TEST(BookmarkTable, TableWithoutAFieldIsNamedAndNotRead) {
    DataFolder f(false);
    {
        store::Database d = store::Database::Create(db(f));
        ASSERT_TRUE(d.CreateTable(kBookmarkTable, {{"网页名称", store::FieldKind::Text, 100},
                                                   {"记录时间", store::FieldKind::Date, 0},
                                                   {"网站地址", store::FieldKind::Text, 255},
                                                   {"备注", store::FieldKind::Text, 50}}));
    }
    QList<Bookmark> all;
    const shell::Outcome read = readBookmarks(db(f), &all);
    EXPECT_EQ(read.reason, shell::Reason::NotOpen);
    ASSERT_FALSE(read.messages.isEmpty());
    EXPECT_TRUE(read.messages[0].contains(QStringLiteral("“类别”"))) << read.messages[0].toStdString();
    BookmarkBrowser b(db(f));
    EXPECT_EQ(b.BuildBookmarkTree().reason, shell::Reason::NotOpen);
    EXPECT_EQ(b.tree().count(), 10);
}
