#include "shell/docs/Article.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>
#include <gtest/gtest.h>

using shell::Article;

TEST(Article, InsertsParagraphsAtPositionsAndUndoesEachEdit) {
    Article a;
    a.replaceAll(QStringLiteral("开头\r\n结尾"));
    EXPECT_EQ(a.text(), QStringLiteral("开头\n结尾"));
    EXPECT_EQ(a.paragraphCount(), 2);
    EXPECT_TRUE(a.isModified());
    const int end = a.insert(2, QStringLiteral("\n*中间"));
    EXPECT_EQ(a.text(), QStringLiteral("开头\n*中间\n结尾"));
    EXPECT_EQ(end, 6);
    const int appended = a.append(QStringLiteral("\n完"));
    EXPECT_EQ(appended, a.length());
    const int clamped = a.insert(999, QStringLiteral("！")); // clamped to the end
    EXPECT_EQ(clamped, a.length());
    EXPECT_EQ(a.text(), QStringLiteral("开头\n*中间\n结尾\n完！"));

    // Replacing the whole article is one step back.
    a.replaceAll(QStringLiteral("新的开头"));
    a.document()->undo();
    EXPECT_EQ(a.text(), QStringLiteral("开头\n*中间\n结尾\n完！"));
    a.setModified(false);
    EXPECT_FALSE(a.isModified());
}

TEST(Article, KeepsIndentsPerParagraphInTwips) {
    Article a;
    a.replaceAll(QStringLiteral("第一段\n第二段"));
    a.setIndentsAt(0, 550, 0);
    a.setIndentsAt(5, -240, 480);
    EXPECT_EQ(a.firstLineIndentAt(1), 550);
    EXPECT_EQ(a.leftIndentAt(1), 0);
    EXPECT_EQ(a.firstLineIndentAt(a.length()), -240);
    EXPECT_EQ(a.leftIndentAt(a.length()), 480);
    const QByteArray rtf = a.toRtf();
    EXPECT_TRUE(rtf.contains("\\pard\\fi550\\li0\\f0\\fs24\\b0 \\u31532?\\u19968?\\u27573?\\par"));
    EXPECT_TRUE(rtf.contains("\\pard\\fi-240\\li480\\f0\\fs24\\b0 \\u31532?\\u20108?\\u27573?\\par"));
}

TEST(Article, SaveFailsWithTheReasonAndLeavesTheFileAlone) {
    QTemporaryDir dir;
    Article a;
    a.replaceAll(QStringLiteral("一\n二"));
    ASSERT_TRUE(a.savePlainText(dir.filePath("a.txt")));
    QFile f(dir.filePath("a.txt"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(f.readAll()), QStringLiteral("一\r\n二"));
    const shell::Outcome bad = a.saveRtf(dir.filePath("no/such/folder/a.doc"));
    EXPECT_FALSE(bad);
    EXPECT_EQ(bad.reason, shell::Reason::Failed);
    ASSERT_EQ(bad.messages.size(), 1);
    EXPECT_TRUE(bad.messages[0].startsWith(QStringLiteral("无法写入文件“a.doc”：")))
        << bad.messages[0].toStdString();
}

// LibreOffice reads the export back: the same paragraphs, and the first-line
// indent of 550 twips (0.38 in) and the left indent of 1100 (0.76 in) where it was set.
TEST(Article, WordProcessorReadsTextAndIndentsBack) {
    const QString soffice = QStandardPaths::findExecutable("soffice");
    if (soffice.isEmpty()) GTEST_SKIP() << "LibreOffice is not installed (scripts/deps.sh installs it)";
    QTemporaryDir dir;
    Article a;
    const QString text =
        QStringLiteral("本学期工作计划\n*认真备课，{按时}批改作业。\n\n总之，努力完成任务。");
    a.replaceAll(text);
    a.setIndentsAt(0, 550, 0);
    a.setIndentsAt(a.length(), 0, 1100);
    ASSERT_TRUE(a.saveRtf(dir.filePath("plan.txt"))); // RTF whatever the name says
    QProcess p;
    for (const char* to : {"txt:Text (encoded):UTF8", "fodt"}) {
        p.start(soffice, {"-env:UserInstallation=file://" + dir.filePath("profile"), "--headless",
                          "--infilter=Rich Text Format", "--convert-to", to, "--outdir", dir.filePath("out"),
                          dir.filePath("plan.txt")});
        ASSERT_TRUE(p.waitForFinished(180000));
        if (QString(to).startsWith("txt")) {
            QFile out(dir.filePath("out/plan.txt"));
            ASSERT_TRUE(out.open(QIODevice::ReadOnly)) << p.readAllStandardError().toStdString();
            QString back = QString::fromUtf8(out.readAll());
            if (back.startsWith(QChar(0xFEFF))) back.remove(0, 1);
            back.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
            EXPECT_EQ(back.trimmed().toStdString(), text.toStdString());
        }
    }
    QFile fodt(dir.filePath("out/plan.fodt"));
    ASSERT_TRUE(fodt.open(QIODevice::ReadOnly));
    const QString xml = QString::fromUtf8(fodt.readAll());
    EXPECT_TRUE(xml.contains(QRegularExpression(QStringLiteral("fo:text-indent=\"0\\.38\\d*in\""))));
    EXPECT_TRUE(xml.contains(QRegularExpression(QStringLiteral("fo:margin-left=\"0\\.76\\d*in\""))));
}

TEST(Article, ChineseNumbers) {
    const std::pair<int, const char*> cases[] = {{1, "一"},     {9, "九"},         {10, "十"},
                                                 {11, "十一"},  {20, "二十"},      {35, "三十五"},
                                                 {100, "一百"}, {105, "一百零五"}, {112, "一百一十二"}};
    for (const auto& [n, text] : cases)
        EXPECT_EQ(Article::chineseNumber(n), QString::fromUtf8(text)) << n;
}

// A statement placed anywhere becomes paragraphs of its own, and the
// headings are numbered in the order they stand, not the order they came.
TEST(Article, StatementsTakeTheirOwnParagraphsAndHeadingsRunInOrder) {
    struct Case {
        const char* name;
        const char* before; // '|' marks the position
        const char* heading;
        bool breakAfter;
        const char* after; // '|' marks the returned position
    } cases[] = {
        {"end of a line that ends the article", "开头|", "甲", true, "开头\n一、甲\n正文\n|"},
        {"start of an empty last line", "开头\n|", "甲", true, "开头\n一、甲\n正文\n|"},
        {"end of a line with text after it", "开头|\n结尾", "甲", true, "开头\n一、甲\n正文|\n结尾"},
        {"inside a line", "开|头", "甲", true, "开\n一、甲\n正文\n|头"},
        {"start of a line", "开头\n|结尾", "甲", true, "开头\n一、甲\n正文\n|结尾"},
        {"an empty line between", "开头\n|\n结尾", "甲", true, "开头\n一、甲\n正文|\n结尾"},
        {"no break after, as the plan appends", "开头|", "甲", false, "开头\n一、甲\n正文|"},
        {"no heading (an ending)", "开头|", "", true, "开头\n正文\n|"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Article a;
        QString before = QString::fromUtf8(c.before);
        const int at = int(before.indexOf(u'|'));
        a.replaceAll(before.remove(u'|'));
        const int end =
            a.insertStatement(at, QString::fromUtf8(c.heading), QStringLiteral("正文"), c.breakAfter);
        QString after = QString::fromUtf8(c.after);
        EXPECT_EQ(end, after.indexOf(u'|'));
        EXPECT_EQ(a.text(), after.remove(u'|'));
        // One step back takes the whole statement away.
        a.document()->undo();
        EXPECT_EQ(a.text(), before);
    }

    Article a;
    a.replaceAll(QStringLiteral("开头"));
    int end = a.insertStatement(a.length(), QStringLiteral("甲"), QStringLiteral("甲的内容"), true);
    end = a.insertStatement(end, QStringLiteral("乙"), QStringLiteral("乙的内容"), true);
    // A third one placed before both numbers itself 一 and moves them on.
    const int third = a.insertStatement(2, QStringLiteral("丙"), QStringLiteral("丙的内容\n第二段"), true);
    EXPECT_EQ(a.text(),
              QStringLiteral("开头\n一、丙\n丙的内容\n第二段\n二、甲\n甲的内容\n三、乙\n乙的内容\n"));
    EXPECT_EQ(third, 15);
    EXPECT_EQ(a.headings(), (QStringList{"一、丙", "二、甲", "三、乙"}));
    // Enter at a heading's end makes no heading of the new line, and a
    // number a teacher typed in body text is left alone.
    Article b;
    b.replaceAll(QStringLiteral("开头"));
    b.insertStatement(b.length(), QStringLiteral("甲"), QStringLiteral("一、不是标题"), true);
    b.insert(6, QStringLiteral("\n补充"));
    b.insertStatement(b.length(), QStringLiteral("乙"), QStringLiteral("乙的内容"), true);
    EXPECT_EQ(b.text(), QStringLiteral("开头\n一、甲\n补充\n一、不是标题\n二、乙\n乙的内容\n"));
    // Deleting a heading paragraph and numbering again closes the gap.
    QTextCursor c(b.document());
    c.setPosition(3);
    c.setPosition(10, QTextCursor::KeepAnchor); // "一、甲\n补充\n"
    c.removeSelectedText();
    b.numberHeadings();
    EXPECT_EQ(b.headings(), QStringList{"一、乙"});
}
