#include "shell/docs/Article.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
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
