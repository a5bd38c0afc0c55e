#include "web/model/BookmarkSearch.h"

#include <gtest/gtest.h>

using web::BookmarkSearch;

namespace {
BookmarkSearch sample() {
    BookmarkSearch s;
    s.add(QStringLiteral("古诗文网"), QStringLiteral("语文"), "https://GuShiWen.example.cn/");
    s.add(QStringLiteral("几何画板"), QStringLiteral("数学"), "https://geo.example.cn/gushi");
    s.add(QStringLiteral("化学实验"), QStringLiteral("化学"), "https://lab.example.cn/");
    s.add(QStringLiteral("ＡＢＣ英语"), QStringLiteral("英语"), "http://abc.example.cn/");
    s.add("ab", "c", "http://x.example.cn/"); // "ab" and "c" in two fields
    return s;
}
std::vector<int> fresh(const QString& q) {
    BookmarkSearch s = sample();
    return s.find(q);
}
} // namespace

TEST(BookmarkSearch, WordsInAnyFieldWithoutRegardToCase) {
    struct Case {
        const char* query;
        std::vector<int> pages;
    };
    const QList<Case> cases{
        {"gushi", {0, 1}}, {"GUSHIWEN", {0}},
        {"古诗", {0}},     {"数学 geo", {1}}, // every word, each in any field
        {"数学 lab", {}},  {"example.cn", {0, 1, 2, 3, 4}},
        {"abc英语", {3}}, // full-width letters fold too
        {"abc", {3}},     // never across two fields
        {"  ", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(fresh(QString::fromUtf8(c.query)), c.pages) << c.query;
}

TEST(BookmarkSearch, TypingOnGivesWhatAFreshSearchGives) {
    BookmarkSearch s = sample();
    // Keystroke by keystroke, with a correction and a second word.
    const QStringList typed{"g",     "gu",     "gus",      "gush", "gushi", "gushiw",
                            "gushi", "gushi ", "gushi 语", "语",   ""};
    for (const QString& q : typed)
        EXPECT_EQ(s.find(q), fresh(q)) << q.toStdString();
    // A page added after a search is found by the next one.
    s.find("lab");
    s.add(QStringLiteral("实验室"), QStringLiteral("化学"), "https://lab2.example.cn/");
    EXPECT_EQ(s.find("lab2"), std::vector<int>{5});
}
