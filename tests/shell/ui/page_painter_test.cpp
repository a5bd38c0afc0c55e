#include "shell/ui/PagePainter.h"

#include "shell/ui/DocServices.h"

#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// One sheet of 3000 x 1500 twips (200 x 100 pixels at 96 dpi).
class OnePage : public shell::PageSource {
public:
    shell::DrawPage ops;
    QSize paperTwips() const override { return {3000, 1500}; }
    QString fontFamily() const override { return QStringLiteral("宋体"); }
    int pageCount() const override { return 1; }
    shell::DrawPage page(int index) const override { return index == 0 ? ops : shell::DrawPage{}; }
};

bool dark(const QImage& img, int x, int y) {
    return qGray(img.pixel(x, y)) < 128;
}

// The rows of the image that hold any ink.
std::pair<int, int> inkRows(const QImage& img) {
    int first = -1, last = -1;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (qGray(img.pixel(x, y)) < 160) {
                if (first < 0) first = y;
                last = y;
                break;
            }
    return {first, last};
}

} // namespace

TEST(PagePainter, LinesLandWhereTheirTwipsSay) {
    OnePage page;
    page.ops << shell::DrawOp::line(150, 300, 2850, 300) << shell::DrawOp::line(1500, 0, 1500, 1500);
    const QImage img = shell::renderPage(page, 0);
    ASSERT_EQ(img.size(), QSize(200, 100));
    EXPECT_TRUE(dark(img, 50, 20));  // 300 twips down: pixel row 20
    EXPECT_FALSE(dark(img, 50, 24)); // and only there
    EXPECT_TRUE(dark(img, 100, 70)); // 1500 twips across: pixel column 100
    EXPECT_FALSE(dark(img, 5, 20));  // the rule starts at 150 twips (10 pixels)
    EXPECT_TRUE(shell::renderPage(page, 1).pixel(100, 70) == QColor(Qt::white).rgb());
}

// A 10-point text at y sits inside its 240-twip row: its ink between the
// rule 30 above it and the next rule 210 below.
TEST(PagePainter, TextStaysInsideItsRow) {
    OnePage page;
    page.ops << shell::DrawOp::textAt(150, 600, 10, QStringLiteral("语文第一"));
    const QImage img = shell::renderPage(page, 0, 288.0); // 5 twips a pixel
    const auto [top, bottom] = inkRows(img);
    ASSERT_GE(top, 0) << "nothing drawn";
    EXPECT_GE(top, (600 - 30) / 5);
    EXPECT_LE(bottom, (600 + 210) / 5);
}

TEST(PagePainter, PdfThatCannotBeWrittenIsTold) {
    OnePage page;
    QTemporaryDir dir;
    const shell::Outcome out =
        shell::printPagesToPdf(page, dir.filePath(QStringLiteral("no/such/folder/x.pdf")));
    EXPECT_FALSE(out.ok);
    EXPECT_EQ(out.reason, shell::Reason::Failed);
    ASSERT_EQ(out.messages.size(), 1);
    EXPECT_TRUE(out.messages[0].contains(QStringLiteral("无法写入文件"))) << out.messages[0].toStdString();
}

// Printed text and laid-out pages go through one print run: a file that
// cannot be written is told in the same words, whichever was printed.
TEST(PagePainter, TextAndPagesTellTheSameFailure) {
    OnePage page;
    QTemporaryDir dir;
    const QString bad = dir.filePath(QStringLiteral("no/such/folder/x.pdf"));
    const shell::Outcome pages = shell::printPagesToPdf(page, bad);
    const shell::Outcome text = shell::printTextToPdf(QStringLiteral("期末评语"), bad);
    EXPECT_EQ(text.reason, shell::Reason::Failed);
    EXPECT_EQ(pages.messages,
              QStringList{QStringLiteral("无法写入文件“%1”！").arg(QDir::toNativeSeparators(bad))});
    EXPECT_EQ(text.messages, pages.messages);
}
