#include "TestSupport.h"
#include "store/Schema.h"
#include "store/Store.h"
#include "web/model/BookmarkBrowser.h"

#include <gtest/gtest.h>

using namespace web;
using testing_support::DataFolder;

namespace {

const QDate kToday(2024, 3, 13); // a Wednesday

struct Pages {
    DataFolder data;
    QString db() const { return data.file(store::kCommonDb); }
    void add(const QString& name, const QString& category, const QDate& d, const QString& address = {}) {
        ASSERT_TRUE(addBookmark(db(), name, category, d,
                                address.isEmpty() ? "http://" + name + ".example/" : address));
    }
};

QStringList column(const shell::Grid& g, int c, int rows) {
    QStringList out;
    for (int r = 1; r <= rows; ++r)
        out << g.text(r, c);
    return out;
}

} // namespace

TEST(BookmarkBrowser, EmptyTableTenFixedNodesAndNothingListed) {
    Pages p;
    BookmarkBrowser b(p.db());
    b.setToday(kToday);
    ASSERT_TRUE(b.BuildBookmarkTree());
    const shell::Tree& t = b.tree();
    ASSERT_EQ(t.count(), 10);
    EXPECT_EQ(t.node(0).text, QStringLiteral("网址文件夹"));
    EXPECT_EQ(t.node(0).tag, QStringLiteral("root"));
    EXPECT_TRUE(t.node(0).expanded);
    EXPECT_EQ(t.childTexts("date"),
              (QStringList{"去年以前", "去年", "今年", "本月", "本周", "昨天", "今天"}));
    EXPECT_EQ(t.childKeys("date"), (QStringList{"daFront", "daLastYear", "daYear", "daMonth", "daWeek",
                                                "daYesTerDay", "daToDay"}));
    EXPECT_EQ(t.node(9).key, QStringLiteral("leiBie"));
    for (int i = 0; i < t.count(); ++i) {
        ASSERT_TRUE(b.ListBookmarks(t.node(i).key));
        EXPECT_EQ(b.listedCount(), 0);
        EXPECT_EQ(b.grid().rows(), BookmarkBrowser::kGridRows);
    }
    const shell::Grid& g = b.grid();
    EXPECT_EQ(g.cols(), 5);
    EXPECT_EQ(g.text(0, 1), QStringLiteral("网页名称"));
    EXPECT_EQ(g.text(0, 4), QStringLiteral("网页地址"));
    EXPECT_EQ(g.colWidth(4), 7000);
    EXPECT_EQ(g.rowHeight(15), 320);
}

TEST(BookmarkBrowser, CategoryNodesAndDateGroupsList) {
    Pages p;
    p.add("today", QStringLiteral("数学"), kToday);
    p.add("saturday", QStringLiteral("语文"), QDate(2024, 3, 9));
    p.add("oldMarch", QStringLiteral("数学"), QDate(2020, 3, 2));
    p.add("lastYear", QString(), QDate(2023, 6, 1));
    p.add("literal", QStringLiteral("类别"), QDate(2022, 6, 1));
    BookmarkBrowser b(p.db());
    b.setToday(kToday);
    ASSERT_TRUE(b.BuildBookmarkTree());
    // Categories in first-occurrence order, keyed by the node count before each.
    EXPECT_EQ(b.tree().childTexts("leiBie"), (QStringList{"数学", "语文", "类别"}));
    EXPECT_EQ(b.tree().childKeys("leiBie"), (QStringList{"leiBie10", "leiBie11", "leiBie12"}));

    struct Case {
        QString key;
        QStringList names;
    };
    const QList<Case> cases{
        {"daToDay", {"today"}},
        {"daYesTerDay", {}},
        {"daWeek", {"today", "saturday"}},
        {"daMonth", {"today", "saturday", "oldMarch"}},
        {"daYear", {"today", "saturday"}},
        {"daLastYear", {"lastYear"}},
        {"daFront", {"oldMarch", "literal"}},
        {"date", {}},
        {"leiBie10", {"today", "oldMarch"}},
        // The "类别" folder lists a category of that literal name.
        {"leiBie", {"literal"}},
        {"explor", {}},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(b.ListBookmarks(c.key)) << c.key.toStdString();
        EXPECT_EQ(b.listedCount(), c.names.size()) << c.key.toStdString();
        EXPECT_EQ(column(b.grid(), 1, int(c.names.size())), c.names) << c.key.toStdString();
    }
    ASSERT_TRUE(b.ListBookmarks("leiBie10"));
    EXPECT_EQ(b.grid().text(1, 0), "1");
    EXPECT_EQ(b.grid().text(2, 0), "2");
    EXPECT_EQ(b.grid().text(2, 3), QStringLiteral("2020-3-2"));
    EXPECT_EQ(b.grid().text(2, 4), QStringLiteral("http://oldMarch.example/"));
}

TEST(BookmarkBrowser, TheGridGrowsPastFifteenPages) {
    Pages p;
    for (int i = 0; i < 20; ++i)
        p.add(QStringLiteral("p%1").arg(i), QStringLiteral("多"), kToday);
    for (int i = 0; i < 10; ++i)
        p.add(QStringLiteral("q%1").arg(i), QStringLiteral("少"), kToday);
    BookmarkBrowser b(p.db());
    ASSERT_TRUE(b.BuildBookmarkTree());
    ASSERT_TRUE(b.ListBookmarks("leiBie10"));
    EXPECT_EQ(b.grid().rows(), 21);
    EXPECT_EQ(b.grid().rowHeight(20), 320);
    ASSERT_TRUE(b.ListBookmarks("leiBie11"));
    EXPECT_EQ(b.grid().rows(), 16);
}

TEST(BookmarkBrowser, DeletingTheSecondOfTwoSameNamedPages) {
    Pages p;
    p.add("人教网", QStringLiteral("教材"), kToday, "http://first.example/");
    p.add("人教网", QStringLiteral("教材"), kToday, "http://second.example/");
    p.add("独有", QStringLiteral("另类"), kToday);
    BookmarkBrowser b(p.db());
    b.setToday(kToday);
    ASSERT_TRUE(b.BuildBookmarkTree());
    ASSERT_TRUE(b.ListBookmarks("daToDay"));
    ASSERT_EQ(b.rowRecord(2)->address, QStringLiteral("http://second.example/"));

    ASSERT_TRUE(b.deleteRow(2));
    // The row keeps its number and loses its texts and its record.
    EXPECT_EQ(b.grid().text(2, 0), "2");
    EXPECT_TRUE(b.grid().text(2, 1).isEmpty());
    EXPECT_TRUE(b.grid().text(2, 4).isEmpty());
    EXPECT_FALSE(b.rowRecord(2));
    EXPECT_EQ(b.deleteRow(2).reason, shell::Reason::NotChosen);
    EXPECT_EQ(b.deleteRow(0).reason, shell::Reason::NotChosen);
    EXPECT_EQ(b.deleteRow(9).reason, shell::Reason::NotChosen);

    QList<Bookmark> left;
    ASSERT_TRUE(readBookmarks(p.db(), &left));
    ASSERT_EQ(left.size(), 2);
    EXPECT_EQ(left[0].address, QStringLiteral("http://first.example/"));

    // The tree is built again: a category whose last page went is gone.
    ASSERT_TRUE(b.deleteRow(3));
    EXPECT_EQ(b.tree().childTexts("leiBie"), QStringList{"教材"});
}

TEST(BookmarkBrowser, MoreThan199CategoriesAreAllListed) {
    Pages p;
    {
        // One transaction for speed; the records are ordinary ones.
        store::Database db = store::Database::OpenDatabase(p.db());
        ASSERT_TRUE(db.beginTransaction());
        for (int i = 0; i < 250; ++i)
            ASSERT_TRUE(db.insertRecord("filedata",
                                        {QStringLiteral("p%1").arg(i), QStringLiteral("类%1").arg(i), kToday,
                                         QStringLiteral("http://x/")},
                                        i + 1));
        ASSERT_TRUE(db.commit());
    }
    BookmarkBrowser b(p.db());
    ASSERT_TRUE(b.BuildBookmarkTree());
    const QStringList cats = b.tree().childTexts("leiBie");
    ASSERT_EQ(cats.size(), 250);
    EXPECT_EQ(cats.last(), QStringLiteral("类249"));
    ASSERT_TRUE(b.ListBookmarks(b.tree().childKeys("leiBie").last()));
    EXPECT_EQ(b.grid().text(1, 1), QStringLiteral("p249"));
}

TEST(BookmarkBrowser, AClickSeesPagesAddedSinceTheTreeWasBuilt) {
    Pages p;
    p.add("first", QStringLiteral("甲"), kToday);
    BookmarkBrowser b(p.db());
    b.setToday(kToday);
    ASSERT_TRUE(b.BuildBookmarkTree());
    ASSERT_TRUE(b.ListBookmarks("daToDay"));
    EXPECT_EQ(b.listedCount(), 1);
    // Another window records a page: the next click lists it; the tree
    // shows its category only once it is built again.
    p.add("second", QStringLiteral("乙"), kToday);
    ASSERT_TRUE(b.ListBookmarks("daToDay"));
    EXPECT_EQ(b.listedCount(), 2);
    EXPECT_EQ(b.tree().childTexts("leiBie"), QStringList{"甲"});
    ASSERT_TRUE(b.deleteRow(1));
    EXPECT_EQ(b.tree().childTexts("leiBie"), QStringList{"乙"});
    // What the grid lists now: the deleted row no longer counts, and a row
    // already emptied is not counted off twice.
    EXPECT_EQ(b.listedCount(), 1);
    EXPECT_EQ(b.deleteRow(1).reason, shell::Reason::NotChosen);
    EXPECT_EQ(b.listedCount(), 1);
}
