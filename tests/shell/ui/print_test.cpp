#include "TestSupport.h"
#include "shell/core/Settings.h"
#include "shell/ui/DocServices.h"
#include "shell/ui/FileDialog.h"
#include "shell/ui/MessageBox.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QPrintPreviewDialog>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <QThread>
#include <QUrl>
#include <gtest/gtest.h>

namespace {

// pdftotext's view of a PDF, blanks and line ends squeezed out so that the
// comparison is about the characters.
QString pdfText(const QString& pdf) {
    QProcess p;
    p.start("pdftotext", {"-enc", "UTF-8", pdf, "-"});
    if (!p.waitForFinished(30000)) return QStringLiteral("<pdftotext failed>");
    QString t = QString::fromUtf8(p.readAllStandardOutput());
    t.remove(QChar(u'\f'));
    return t;
}

// Qt's PDF maps some CJK glyphs back to the look-alike Kangxi radicals
// (二 to ⼆), which a PDF reader's text search then sees; compatibility
// normalisation folds them back.
QString squeeze(QString s) {
    s = s.normalized(QString::NormalizationForm_KC);
    s.remove(u' ');
    s.remove(u'\n');
    s.remove(u'\f');
    return s;
}

class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public Q_SLOTS:
    void open(const QUrl& url) { urls << url; }
};

} // namespace

TEST(SupportPage, OpensTheAddressInTheBrowser) {
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler("https", &catcher, "open");
    shell::OpenSupportPage();
    QDesktopServices::unsetUrlHandler("https");
    ASSERT_EQ(catcher.urls.size(), 1);
    EXPECT_EQ(catcher.urls[0], QUrl(shell::supportPageAddress()));
}

TEST(PrintDocument, HoldsTheTextInSongti12NotBoldAutomaticColour) {
    const QString text = QStringLiteral("第一段\n\n第三段 with ASCII");
    const auto doc = shell::buildPrintDocument(text);
    EXPECT_EQ(doc->toPlainText(), text);
    EXPECT_EQ(doc->defaultFont().family(), QStringLiteral("宋体"));
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            EXPECT_EQ(f.fontFamilies().toStringList(), QStringList{QStringLiteral("宋体")});
            EXPECT_EQ(f.fontPointSize(), 12.0);
            EXPECT_EQ(f.fontWeight(), int(QFont::Normal));
            EXPECT_FALSE(f.hasProperty(QTextFormat::ForegroundBrush));
        }
    }
    // 宋体 must reach a font that has the Chinese characters.
    EXPECT_FALSE(QFont::substitutes(QStringLiteral("宋体")).isEmpty());
}

TEST(PrintDocument, RendersToPdfWithTheText) {
    QTemporaryDir dir;
    const QString pdf = dir.filePath("评语.pdf");
    QString lines;
    for (int i = 1; i <= 80; ++i)
        lines += QStringLiteral("第%1行：该生学习认真，成绩优秀。\n").arg(i);
    shell::Outcome printed = shell::printTextToPdf(lines, pdf);
    ASSERT_TRUE(printed.ok) << printed.messages.value(0).toStdString();
    const QString back = pdfText(pdf);
    EXPECT_EQ(squeeze(back).toStdString(), squeeze(lines).toStdString());
    // Eighty lines of 12 points take two A4 pages; the blank line after the
    // last adds no empty page.
    QProcess info;
    info.start("pdfinfo", {pdf});
    ASSERT_TRUE(info.waitForFinished(30000));
    EXPECT_TRUE(
        QString::fromUtf8(info.readAllStandardOutput()).contains(QRegularExpression("Pages:\\s+2\\b")));

    // An empty text is an empty page, not an error.
    ASSERT_TRUE(shell::printTextToPdf(QString(), dir.filePath("empty.pdf")));
    EXPECT_EQ(squeeze(pdfText(dir.filePath("empty.pdf"))), QString());

    // A file that cannot be written is a failure with a reason.
    printed = shell::printTextToPdf("x", dir.path());
    EXPECT_FALSE(printed.ok);
    EXPECT_FALSE(printed.messages.value(0).isEmpty());
}

TEST(PrintViaWord, PreviewSavesAPdfAndReportsAFailureOnce) {
    QTemporaryDir dir;
    shell::MessageBox::takeShown();
    const QString text = QStringLiteral("期末总结\n本学期我担任初二（3）班的语文教学工作。");
    shell::PrintViaWord(text);
    QPrintPreviewDialog* preview = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* p = qobject_cast<QPrintPreviewDialog*>(w); p && p->isVisible()) preview = p;
    ASSERT_NE(preview, nullptr);
    auto* toPdf = preview->findChild<QAction*>("actSavePdf");
    ASSERT_NE(toPdf, nullptr);

    const QString pdf = dir.filePath("总结.pdf");
    shell::FileDialog::setNextFileName(pdf);
    toPdf->trigger();
    EXPECT_EQ(squeeze(pdfText(pdf)).toStdString(), squeeze(text).toStdString());
    EXPECT_TRUE(shell::MessageBox::takeShown().isEmpty());

    // A folder that is not there: one clear message, the preview stays.
    shell::FileDialog::setNextFileName(dir.filePath("no/such/folder/总结.pdf"));
    toPdf->trigger();
    const QStringList shown = shell::MessageBox::takeShown();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown[0].startsWith(QStringLiteral("打印失败："))) << shown[0].toStdString();
    EXPECT_TRUE(preview->isVisible());
    preview->close();
}

#include "print_test.moc"
