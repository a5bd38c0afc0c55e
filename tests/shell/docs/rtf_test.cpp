#include "shell/docs/RtfWriter.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <utility>

using shell::RtfWriter;

namespace {} // namespace

TEST(RtfWriter, EscapesEveryCharacterThatIsNotPlainAscii) {
    struct Case {
        QString text;
        QByteArray rtf;
    } cases[] = {
        {"abc 123", "abc 123"},
        {"a\\b{c}d", "a\\\\b\\{c\\}d"},
        {QStringLiteral("宋"), "\\u23435?"},          // U+5B8B
        {QStringLiteral("运"), "\\u-28720?"},         // U+8FD0 is above 32767: signed
        {QStringLiteral("，"), "\\u-244?"},           // full-width comma U+FF0C
        {QStringLiteral("é"), "\\u233?"},             // Latin-1 is escaped too
        {QStringLiteral("😀"), "\\u-10179?\\u-8704?"}, // two UTF-16 units
        {QStringLiteral("a\tb"), "a\\tab b"},
        {QStringLiteral("a\x01"), "a"}, // control characters dropped
    };
    for (const Case& c : cases)
        EXPECT_EQ(RtfWriter::escape(c.text), c.rtf) << c.text.toStdString();
}

TEST(RtfWriter, DocumentHasTheFontTableIndentsAndRuns) {
    RtfWriter w;
    w.setIndents(480, 240);
    w.setBold(true);
    w.setFontSize(16);
    w.addText(QStringLiteral("标题\n"));
    w.setBold(false);
    w.setFontSize(12);
    w.addText(QStringLiteral("正文 {1}\r\n第二段"));
    const QByteArray doc = w.document();
    EXPECT_TRUE(doc.startsWith("{\\rtf1\\ansi\\ansicpg936\\deff0"));
    EXPECT_TRUE(doc.contains("\\uc1"));
    EXPECT_TRUE(doc.contains("{\\fonttbl{\\f0\\fnil\\fcharset134 SimSun"));
    EXPECT_TRUE(doc.contains("\\'cb\\'ce\\'cc\\'e5")); // 宋体 in the Chinese code page
    EXPECT_TRUE(doc.contains("\\pard\\fi480\\li240\\f0\\fs32\\b \\u26631?\\u-26472?\\par"));
    EXPECT_TRUE(doc.contains("\\pard\\fi480\\li240\\f0\\fs24\\b0 \\u27491?\\u25991? \\{1\\}\\par"));
    EXPECT_TRUE(doc.endsWith("}\n"));
    for (char c : doc)
        EXPECT_LT(static_cast<unsigned char>(c), 0x80);
    // Braces balance, not counting escaped ones.
    int depth = 0;
    for (qsizetype i = 0; i < doc.size(); ++i) {
        if (doc[i] == '\\') {
            ++i;
            continue;
        }
        depth += doc[i] == '{' ? 1 : doc[i] == '}' ? -1 : 0;
        ASSERT_GE(depth, 0);
    }
    EXPECT_EQ(depth, 0);
}

TEST(RtfWriter, FailedSaveIsReported) {
    QTemporaryDir dir;
    RtfWriter w;
    w.addText("x");
    const shell::Outcome failed = w.save(dir.filePath("no/such/folder/x.doc"));
    EXPECT_FALSE(failed.ok);
    EXPECT_FALSE(failed.messages.value(0).isEmpty());
    ASSERT_TRUE(w.save(dir.filePath("x.doc")));
    QFile f(dir.filePath("x.doc"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), w.document());
}

// A real word processor reads the files back: LibreOffice converts them to
// text. (unrtf is no judge here: it drops the characters after a negative
// \uN, which every character from U+8000 up is.)
TEST(RtfWriter, WordProcessorReadsTheSameText) {
    const QString soffice = QStandardPaths::findExecutable("soffice");
    if (soffice.isEmpty()) GTEST_SKIP() << "LibreOffice is not installed (scripts/deps.sh installs it)";
    QTemporaryDir dir;
    const QString comment =
        QStringLiteral("张三同学：\n你是一个{勤奋}的学生，C:\\作业 按时完成。\n\n祝你进步！😀");
    const QString plan = QStringLiteral("教学计划\n第一周：复习\\预习 {重点}\n第二周：测验，讲评。");
    RtfWriter w;
    w.setIndents(480, 0);
    w.setBold(true);
    w.setFontSize(16);
    w.addText(comment.section(u'\n', 0, 0) + u'\n');
    w.setBold(false);
    w.setFontSize(12);
    w.setIndents(480, 240);
    w.addText(comment.section(u'\n', 1));
    ASSERT_TRUE(w.save(dir.filePath("comment.doc")));
    QFile f(dir.filePath("plan.rtf"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(RtfWriter::fromPlainText(plan, 12, 480));
    f.close();

    QProcess p;
    p.start(soffice, {"-env:UserInstallation=file://" + dir.filePath("profile"), "--headless", "--convert-to",
                      "txt:Text (encoded):UTF8", "--outdir", dir.filePath("out"), dir.filePath("comment.doc"),
                      dir.filePath("plan.rtf")});
    ASSERT_TRUE(p.waitForFinished(180000));
    for (const auto& [name, text] :
         {std::pair{QStringLiteral("comment.txt"), comment}, std::pair{QStringLiteral("plan.txt"), plan}}) {
        QFile out(dir.filePath("out/" + name));
        ASSERT_TRUE(out.open(QIODevice::ReadOnly)) << p.readAllStandardError().toStdString();
        QString back = QString::fromUtf8(out.readAll());
        if (back.startsWith(QChar(0xFEFF))) back.remove(0, 1);
        back.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        EXPECT_EQ(back.trimmed().toStdString(), text.toStdString());
    }
}
