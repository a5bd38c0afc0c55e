#include "TestSupport.h"
#include "store/Schema.h"
#include "store/Store.h"
#include "web/model/Addresses.h"
#include "web/model/BookmarkFile.h"
#include "web/model/BookmarkImport.h"
#include "web/model/Bookmarks.h"

#include <QDateTime>
#include <QFile>
#include <QStringEncoder>
#include <gtest/gtest.h>

using namespace web;
using testing_support::DataFolder;

namespace {

QString db(const DataFolder& f) {
    return f.file(store::kCommonDb);
}

qint64 secs(const QDate& d) {
    return d.startOfDay().toSecsSinceEpoch();
}

// As a browser exports it: its own toolbar folder (left out of the
// categories), nested folders, references in names, pages outside folders,
// and entries a teacher cannot open as pages.
QByteArray firefoxFile() {
    return QStringLiteral(
               "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n"
               "<!-- This is an automatically generated file.\n"
               "     It will be read and overwritten.\n"
               "     DO NOT EDIT! -->\n"
               "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">\n"
               "<meta http-equiv=\"Content-Security-Policy\"\n"
               "      content=\"default-src 'self'; script-src 'none'; img-src data: *; object-src "
               "'none'\"></meta>\n"
               "<TITLE>Bookmarks</TITLE>\n"
               "<H1>Bookmarks Menu</H1>\n"
               "\n"
               "<DL><p>\n"
               "    <DT><A HREF=\"https://www.pep.com.cn/\" ADD_DATE=\"%1\" LAST_MODIFIED=\"%1\">人教网</A>\n"
               "    <DT><H3 ADD_DATE=\"1\" LAST_MODIFIED=\"1\" PERSONAL_TOOLBAR_FOLDER=\"true\">Bookmarks "
               "Toolbar</H3>\n"
               "    <DL><p>\n"
               "        <DT><H3 ADD_DATE=\"1\">语文</H3>\n"
               "        <DL><p>\n"
               "            <DT><H3>古诗</H3>\n"
               "            <DL><p>\n"
               "                <DT><A HREF=\"https://so.example.cn/a?x=1&amp;y=2\" ADD_DATE=\"%2\">静夜思 "
               "&amp; 春晓 &#x2F; &lt;唐&gt;\n   赏析</A>\n"
               "            </DL><p>\n"
               "            <DT><a href='http://yuwen.example.cn/' add_date=%3>语文园地</a>\n"
               "        </DL><p>\n"
               "        <DT><A HREF=\"javascript:alert(1)\">小工具</A>\n"
               "    </DL><p>\n"
               "    <DT><A HREF=\"place:sort=8&amp;maxResults=10\">最近访问</A>\n"
               "    <DT><A HREF=\"https://math.example.cn/\"></A>\n"
               "</DL>\n")
        .arg(secs(QDate(2023, 9, 1)))
        .arg(qint64(secs(QDate(2021, 2, 3))) * 1000000) // microseconds, as some tools write
        .arg(secs(QDate(2022, 5, 6)))
        .toUtf8();
}

} // namespace

TEST(BookmarkFile, ReadsFoldersNamesDatesAndAddresses) {
    QList<FilePage> pages;
    ASSERT_TRUE(parseBookmarkFile(firefoxFile(), &pages));
    struct Want {
        QString name, category, address;
        QDate date;
    };
    const QList<Want> want{
        {"人教网", "", "https://www.pep.com.cn/", QDate(2023, 9, 1)},
        {"静夜思 & 春晓 / <唐> 赏析", "语文/古诗", "https://so.example.cn/a?x=1&y=2", QDate(2021, 2, 3)},
        {"语文园地", "语文", "http://yuwen.example.cn/", QDate(2022, 5, 6)},
        {"小工具", "", "javascript:alert(1)", QDate()},
        {"最近访问", "", "place:sort=8&maxResults=10", QDate()},
        {"", "", "https://math.example.cn/", QDate()},
    };
    ASSERT_EQ(pages.size(), want.size());
    for (int i = 0; i < want.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(pages[i].name, want[i].name);
        EXPECT_EQ(pages[i].category, want[i].category);
        EXPECT_EQ(pages[i].address, want[i].address);
        EXPECT_EQ(pages[i].date, want[i].date);
    }
    EXPECT_EQ(pages[0].line, 12);
}

TEST(BookmarkFile, OlderChineseBrowsersFileInGbk) {
    const QString text =
        QStringLiteral("<!DOCTYPE NETSCAPE-Bookmark-file-1>\r\n"
                       "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=GBK\">\r\n"
                       "<DL><p><DT><H3>数学</H3><DL><p>\r\n"
                       "<DT><A HREF=\"http://shuxue.example.cn/\" ADD_DATE=\"%1\">几何画板</A>\r\n"
                       "</DL><p></DL><p>\r\n")
            .arg(qint64(secs(QDate(2020, 1, 2))) * 1000); // milliseconds
    QStringEncoder gbk("GB18030");
    ASSERT_TRUE(gbk.isValid());
    QList<FilePage> pages;
    ASSERT_TRUE(parseBookmarkFile(gbk.encode(text), &pages));
    ASSERT_EQ(pages.size(), 1);
    EXPECT_EQ(pages[0].name, QStringLiteral("几何画板"));
    EXPECT_EQ(pages[0].category, QStringLiteral("数学"));
    EXPECT_EQ(pages[0].date, QDate(2020, 1, 2));
}

TEST(BookmarkFile, OtherFilesAreRefusedByName) {
    DataFolder f;
    const QString path = f.path() + "/成绩.html";
    QFile out(path);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write("<html><body><p>成绩单</p></body></html>");
    out.close();
    QList<FilePage> pages;
    const shell::Outcome o = readBookmarkFile(path, &pages);
    EXPECT_EQ(o.reason, shell::Reason::Invalid);
    ASSERT_FALSE(o.messages.isEmpty());
    EXPECT_TRUE(o.messages[0].contains(path));
    EXPECT_EQ(readBookmarkFile(f.path() + "/none.html", &pages).reason, shell::Reason::NotFound);
}

TEST(BookmarkFile, ExportIsTheBrowsersFormatAndReadsBack) {
    QList<Bookmark> stored{
        {1, "人教网", "教材", QDate(2023, 9, 1), {}, "https://www.pep.com.cn/"},
        {2, "静夜思 & \"春晓\" <唐>", "语文/古诗", QDate(2021, 2, 3), {}, "https://so.example.cn/a?x=1&y=2"},
        {3, "无类别", "", QDate(2022, 1, 1), {}, "http://none.example.cn/"},
        {4, "语文园地", "语文", QDate(2022, 5, 6), {}, "http://yuwen.example.cn/"},
        {5, "教材二", "教材", QDate(), {}, "http://b.example.cn/"},
    };
    const QByteArray text = bookmarkFileText(stored);
    const QList<QByteArray> lines = text.split('\n');
    ASSERT_GT(lines.size(), 12);
    EXPECT_EQ(lines[0], "<!DOCTYPE NETSCAPE-Bookmark-file-1>");
    EXPECT_TRUE(text.contains("<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">\n"));
    EXPECT_TRUE(text.contains("<DL><p>\n"));
    // Pages and folders as browsers write them: DT, then A or H3 with ADD_DATE.
    EXPECT_TRUE(text.contains(QStringLiteral("    <DT><H3 ADD_DATE=\"%1\">教材</H3>\n    <DL><p>\n")
                                  .arg(secs(QDate(2023, 9, 1)))
                                  .toUtf8()));
    EXPECT_TRUE(text.contains(QStringLiteral("        <DT><A HREF=\"https://so.example.cn/a?x=1&amp;y=2\" "
                                             "ADD_DATE=\"%1\">静夜思 &amp; &quot;春晓&quot; &lt;唐&gt;</A>\n")
                                  .arg(secs(QDate(2021, 2, 3)))
                                  .toUtf8()))
        << text.toStdString();
    EXPECT_TRUE(text.contains("<DT><A HREF=\"http://b.example.cn/\">教材二</A>\n"));

    QList<FilePage> back;
    ASSERT_TRUE(parseBookmarkFile(text, &back));
    ASSERT_EQ(back.size(), stored.size());
    // Top-level pages first, then each folder in the order of its first page.
    const QList<int> order{2, 0, 4, 3, 1};
    for (int i = 0; i < back.size(); ++i) {
        const Bookmark& b = stored[order[i]];
        SCOPED_TRACE(b.name.toStdString());
        EXPECT_EQ(back[i].name, b.name);
        EXPECT_EQ(back[i].category, b.category);
        EXPECT_EQ(back[i].address, b.address);
        EXPECT_EQ(back[i].date, b.date);
    }
}

TEST(BookmarkDuplicates, AddressesComparedNormalised) {
    struct Case {
        const char* a;
        const char* b;
        bool same;
    };
    const QList<Case> cases{
        {"HTTP://WWW.Pep.COM.cn/Book", "http://www.pep.com.cn/Book", true},
        {"http://www.pep.com.cn:80/", "http://www.pep.com.cn", true},
        {"https://a.example.cn:443/x/", "https://a.example.cn/x", true},
        {"https://a.example.cn/x#part2", "https://a.example.cn/x", true},
        {"https://a.example.cn/x?utm_source=wx&id=3&UTM_medium=m", "https://a.example.cn/x?id=3", true},
        {"https://a.example.cn/x?utm_source=wx", "https://a.example.cn/x", true},
        {"www.pep.com.cn/", "http://www.pep.com.cn", true},
        {"https://a.example.cn/语文", "https://a.example.cn/%E8%AF%AD%E6%96%87", true},
        // What makes another page stays.
        {"https://a.example.cn/Book", "https://a.example.cn/book", false},
        {"https://a.example.cn/x?id=3", "https://a.example.cn/x?id=4", false},
        {"https://a.example.cn/x?b=1&a=2", "https://a.example.cn/x?a=2&b=1", false},
        {"http://a.example.cn/", "https://a.example.cn/", false},
        {"http://a.example.cn:8080/", "http://a.example.cn/", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(normalizedAddress(c.a) == normalizedAddress(c.b), c.same) << c.a << " | " << c.b;
    EXPECT_EQ(normalizedAddress("  "), QString());
}

TEST(BookmarkDuplicates, GroupsListEachSetInStoredOrder) {
    const QList<Bookmark> pages{
        {1, "a", "x", {}, {}, "http://a.example.cn/"},
        {2, "b", "x", {}, {}, "http://b.example.cn/"},
        {3, "a2", "y", {}, {}, "HTTP://A.example.cn"},
        {4, "none", "y", {}, {}, ""},
        {5, "none2", "y", {}, {}, ""},
        {6, "b2", "z", {}, {}, "http://b.example.cn/#top"},
        {7, "a3", "z", {}, {}, "http://a.example.cn/?utm_campaign=1"},
    };
    const QList<QList<Bookmark>> groups = duplicateGroups(pages);
    ASSERT_EQ(groups.size(), 2);
    auto keys = [](const QList<Bookmark>& g) {
        QList<qint64> k;
        for (const Bookmark& b : g)
            k << b.key;
        return k;
    };
    EXPECT_EQ(keys(groups[0]), (QList<qint64>{1, 3, 7}));
    EXPECT_EQ(keys(groups[1]), (QList<qint64>{2, 6}));
}

TEST(BookmarkImport, PreviewThenNewPagesInOneWrite) {
    DataFolder f;
    ASSERT_TRUE(addBookmark(db(f), "人教网旧", "教材", QDate(2020, 1, 1), "https://www.pep.com.cn"));
    QList<Bookmark> stored;
    BookmarkLimits limits;
    ASSERT_TRUE(readBookmarks(db(f), &stored, &limits));
    EXPECT_EQ(limits.name, 100);

    QList<FilePage> pages;
    ASSERT_TRUE(parseBookmarkFile(firefoxFile(), &pages));
    FilePage again = pages[2]; // the same page twice in one file
    again.name = "语文园地（又一次）";
    again.line = 99;
    pages << again;
    FilePage tooLong = pages[1];
    tooLong.address = "https://c.example.cn/" + QString(2100, u'q');
    pages << tooLong;

    const QDate today(2024, 3, 13);
    const ImportPlan plan = planImport(pages, stored, limits, today);
    ASSERT_EQ(plan.entries.size(), 8);
    using K = ImportKind;
    const QList<K> kinds{K::Stored,  K::New,     K::New,      K::Refused,
                         K::Refused, K::Refused, K::Repeated, K::Refused};
    for (int i = 0; i < kinds.size(); ++i)
        EXPECT_EQ(plan.entries[i].kind, kinds[i]) << i << " " << plan.entries[i].note.toStdString();
    EXPECT_TRUE(plan.entries[0].note.contains(QStringLiteral("人教网旧")));
    EXPECT_TRUE(plan.entries[6].note.contains(QString::number(plan.entries[2].page.line)));
    EXPECT_EQ(plan.entries[5].note, QStringLiteral("没有网页名称"));
    EXPECT_EQ(plan.entries[3].note, QStringLiteral("不是网页地址"));
    EXPECT_TRUE(plan.entries[7].note.startsWith(QStringLiteral("网址超过")));
    EXPECT_EQ(plan.count(K::New), 2);
    // Pages outside folders get the import's category; without a date, today's.
    EXPECT_EQ(plan.entries[0].page.category, kImportCategory);

    int written = 0;
    ASSERT_TRUE(importPages(db(f), plan, false, &written));
    EXPECT_EQ(written, 2);
    QList<Bookmark> after;
    ASSERT_TRUE(readBookmarks(db(f), &after));
    ASSERT_EQ(after.size(), 3);
    EXPECT_EQ(after[1].category, QStringLiteral("语文/古诗"));
    EXPECT_EQ(after[1].date, QDate(2021, 2, 3));
    EXPECT_EQ(after[2].name, QStringLiteral("语文园地"));

    // With the duplicates too: the stored one and the repeat in the file.
    ASSERT_TRUE(importPages(db(f), planImport(pages, {}, limits, today), true, &written));
    EXPECT_EQ(written, 4);
}

TEST(BookmarkImport, AFailedPageLeavesTheTableAsItWas) {
    DataFolder f;
    ASSERT_TRUE(addBookmark(db(f), "旧", "教材", QDate(2020, 1, 1), "http://old.example.cn/"));
    ImportPlan plan;
    for (int i = 0; i < 3; ++i)
        plan.entries << ImportEntry{{QStringLiteral("页%1").arg(i), "类", QDate(2024, 1, 1),
                                     QStringLiteral("http://p%1.example.cn/").arg(i), i + 1},
                                    ImportKind::New,
                                    {}};
    // The table refuses the last one (its name is longer than the field).
    plan.entries[2].page.name = QString(101, u'长');
    int written = -1;
    const shell::Outcome o = importPages(db(f), plan, false, &written);
    EXPECT_EQ(o.reason, shell::Reason::Failed);
    EXPECT_EQ(written, 0);
    QList<Bookmark> after;
    ASSERT_TRUE(readBookmarks(db(f), &after));
    ASSERT_EQ(after.size(), 1);
    EXPECT_EQ(after[0].name, QStringLiteral("旧"));
}

TEST(BookmarkEdits, RenameMergeEditAndRemoveTogether) {
    DataFolder f;
    const QDate d(2024, 3, 13);
    for (const auto& [name, cat] : QList<QPair<QString, QString>>{
             {"a", "语文"}, {"b", "数学"}, {"c", "语文"}, {"d", "古诗"}, {"e", "语文古诗"}})
        ASSERT_TRUE(addBookmark(db(f), name, cat, d, "http://" + name + ".example.cn/"));
    auto categories = [&] {
        QList<Bookmark> all;
        EXPECT_TRUE(readBookmarks(db(f), &all));
        QStringList c;
        for (const Bookmark& b : all)
            c << b.category;
        return c;
    };
    int changed = 0;
    ASSERT_TRUE(renameCategory(db(f), "语文", "  国文 ", &changed));
    EXPECT_EQ(changed, 2);
    EXPECT_EQ(categories(), (QStringList{"国文", "数学", "国文", "古诗", "语文古诗"}));
    // Into a category that exists: the two become one.
    ASSERT_TRUE(renameCategory(db(f), "古诗", "国文", &changed));
    EXPECT_EQ(categories(), (QStringList{"国文", "数学", "国文", "国文", "语文古诗"}));
    // Refusals write nothing.
    EXPECT_EQ(renameCategory(db(f), "数学", " ").reason, shell::Reason::Invalid);
    EXPECT_EQ(renameCategory(db(f), "数学", QString(51, u'长')).reason, shell::Reason::Invalid);
    EXPECT_EQ(renameCategory(db(f), "物理", "化学").reason, shell::Reason::NotFound);
    EXPECT_EQ(categories(), (QStringList{"国文", "数学", "国文", "国文", "语文古诗"}));

    QList<Bookmark> all;
    ASSERT_TRUE(readBookmarks(db(f), &all));
    ASSERT_TRUE(updateBookmark(db(f), all[1].key, " 数学网 ", "数学", " https://m.example.cn/ "));
    const shell::Outcome empty = updateBookmark(db(f), all[1].key, "数学网", "", "https://m.example.cn/");
    EXPECT_EQ(empty.reason, shell::Reason::Invalid);
    QList<Bookmark> edited;
    ASSERT_TRUE(readBookmarks(db(f), &edited));
    EXPECT_EQ(edited[1].name, QStringLiteral("数学网"));
    EXPECT_EQ(edited[1].address, QStringLiteral("https://m.example.cn/"));
    EXPECT_EQ(edited[1].date, d);

    ASSERT_TRUE(removeBookmarks(db(f), {all[0].key, all[3].key, 9999}));
    QList<Bookmark> left;
    ASSERT_TRUE(readBookmarks(db(f), &left));
    ASSERT_EQ(left.size(), 3);
    EXPECT_EQ(left[0].key, all[1].key);
    EXPECT_EQ(left[1].key, all[2].key);
    EXPECT_EQ(updateBookmark(db(f), all[0].key, "x", "y", "http://x/").reason, shell::Reason::NotFound);
}
