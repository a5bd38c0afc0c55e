// The shape of the phrase bank the program brings: every category, enough
// titles and phrases, whole sentences that can be joined without a separator.
#include "comments/model/PhraseLibrary.h"
#include "shell/core/StarterContent.h"

#include <QMap>
#include <QRegularExpression>
#include <QSet>
#include <gtest/gtest.h>

using namespace comments;

TEST(StarterBank, EveryCategoryHasTitlesOfWholeSentences) {
    QString error;
    const auto bank = shell::starterRows(kPhraseTable, &error);
    ASSERT_TRUE(bank) << error.toStdString();
    ASSERT_EQ(bank->fields, QStringList({"类别", "标题", "内容", "序号"}));

    QList<Phrase> phrases;
    QSet<QString> numbers;
    for (const QStringList& r : bank->rows) {
        phrases << Phrase{r[0].toInt(), r[1], r[2], r[3]};
        EXPECT_FALSE(numbers.contains(r[3])) << "序号 twice: " << r[3].toStdString();
        numbers.insert(r[3]);
        EXPECT_EQ(r[3].toInt(), numbers.size()) << "numbered 1..n in order";
    }
    PhraseLibrary lib;
    lib.setPhrases(phrases);

    for (int c = 1; c <= kCategoryCount; ++c) {
        const QStringList titles = lib.ListTitles(c);
        EXPECT_GE(titles.size(), 5) << categoryNames()[c - 1].toStdString();
        for (const QString& t : titles)
            EXPECT_GE(lib.ListPhrases(t).size(), 3) << t.toStdString();
    }
    EXPECT_TRUE(lib.ListTitles(1).contains("有礼貌"));

    // The phrase list offers a title's phrases from every category, so a
    // title stands in one category only.
    QMap<QString, int> categoryOf;
    for (const Phrase& p : phrases) {
        EXPECT_GE(p.category, 1);
        EXPECT_LE(p.category, kCategoryCount);
        EXPECT_EQ(categoryOf.value(p.title, p.category), p.category) << p.title.toStdString();
        categoryOf[p.title] = p.category;
        EXPECT_TRUE(p.text.endsWith(u'。') || p.text.endsWith(u'！')) << p.text.toStdString();
        EXPECT_FALSE(p.text.contains(QRegularExpression(QStringLiteral("\\s")))) << p.text.toStdString();
        EXPECT_LE(p.title.size(), 50);
        // One voice, addressed to the student; example comments are longer.
        EXPECT_TRUE(p.text.contains(u'你')) << p.text.toStdString();
        if (p.category == 12) {
            EXPECT_GE(p.text.size(), 60) << p.text.toStdString();
        }
    }
}
