#include "PagePainter.h"

#include "FileDialog.h"
#include "Fonts.h"
#include "shell/docs/PdfText.h"

#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QPageLayout>
#include <QPageSize>
#include <QPaintEngine>
#include <QPainter>
#include <QPen>
#include <QPrinter>
#include <QPrinterInfo>

namespace shell {

namespace {

constexpr double kTwipsPerInch = 1440.0;
// The top of a CJK font's em box stands this far above the baseline, in
// ems (Noto CJK and the Song faces alike): a text's y is the box's top.
constexpr double kEmAscent = 0.88;

QString fileNameOf(const QString& suggested) {
    QString name = suggested;
    // A class name may hold characters a file name cannot.
    for (QChar& ch : name)
        if (ch == u'/' || ch == u'\\' || ch == u':' || ch.category() == QChar::Other_Control) ch = u'_';
    if (name.trimmed().isEmpty()) name = QStringLiteral("打印");
    return name + QStringLiteral(".pdf");
}

} // namespace

void paintPage(QPainter& painter, const DrawPage& page, const QString& fontFamily, double dpi) {
    installFontSubstitutions();
    const double k = dpi / kTwipsPerInch;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    // About a point wide (a fine rule on paper), never thinner than a pixel.
    QPen pen(Qt::black);
    pen.setWidthF(qMax(1.0, dpi / 96.0));
    pen.setCapStyle(Qt::FlatCap);
    painter.setPen(pen);
    QFont font(fontFamily);
    font.setBold(false);
    int fontSize = -1;
    for (const DrawOp& op : page) {
        if (op.kind == DrawOp::Kind::Line) {
            painter.drawLine(QPointF(op.x * k, op.y * k), QPointF(op.x2 * k, op.y2 * k));
            continue;
        }
        if (op.size != fontSize) {
            fontSize = op.size;
            // Pixels of this device, so that no device transform scales the
            // text a second time.
            font.setPixelSize(qMax(1, qRound(op.size * dpi / 72.0)));
            painter.setFont(font);
        }
        const double em = op.size * dpi / 72.0;
        painter.drawText(QPointF(op.x * k, op.y * k + em * kEmAscent), op.text);
    }
    painter.restore();
}

QImage renderPage(const PageSource& pages, int index, double dpi) {
    const QSize paper = pages.paperTwips();
    const double k = dpi / kTwipsPerInch;
    QImage image(qMax(1, qRound(paper.width() * k)), qMax(1, qRound(paper.height() * k)),
                 QImage::Format_RGB32);
    const int dotsPerMeter = qRound(dpi / 0.0254);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    image.fill(Qt::white);
    QPainter painter(&image);
    paintPage(painter, pages.page(index), pages.fontFamily(), dpi);
    return image;
}

Outcome printPages(const PageSource& pages, QPrinter& printer) {
    // The paper the layout was made for, turned as the page setup turned it;
    // the margins are the layout's own, so the origin is the sheet's corner.
    const QSize paper = pages.paperTwips();
    const bool landscape = paper.width() > paper.height();
    const QSizeF portraitMm(qMin(paper.width(), paper.height()) / 56.7,
                            qMax(paper.width(), paper.height()) / 56.7);
    printer.setFullPage(true);
    printer.setPageLayout(QPageLayout(QPageSize(portraitMm, QPageSize::Millimeter),
                                      landscape ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF(),
                                      QPageLayout::Millimeter));
    const double dpi = printer.resolution();
    return paintPages(printer, pages.pageCount(), [&](QPainter& painter, int i) {
        paintPage(painter, pages.page(i), pages.fontFamily(), dpi);
    });
}

Outcome paintPages(QPrinter& printer, int pageCount, const std::function<void(QPainter&, int)>& paint) {
    QPainter painter;
    if (!painter.begin(&printer)) {
        return Outcome::fail(
            Reason::Failed,
            printer.outputFormat() == QPrinter::PdfFormat
                ? QStringLiteral("无法写入文件“%1”！").arg(QDir::toNativeSeparators(printer.outputFileName()))
                : QStringLiteral("打印机“%1”无法开始打印！").arg(printer.printerName()));
    }
    for (int i = 0; i < pageCount; ++i) {
        if (i > 0 && !printer.newPage()) {
            painter.end();
            return Outcome::fail(Reason::Failed, QStringLiteral("第%1页无法输出，打印没有完成！").arg(i + 1));
        }
        paint(painter, i);
    }
    if (!painter.end()) return Outcome::fail(Reason::Failed, QStringLiteral("打印没有完成！"));
    if (const QString why = mendPdfOutput(printer); !why.isEmpty())
        return Outcome::fail(Reason::Failed, why + QStringLiteral("！"));
    return Outcome::done();
}

QString mendPdfOutput(const QPrinter& printer) {
    // A print preview draws on a printer that keeps the PDF format and file
    // name of an earlier print, through an engine of its own: nothing was
    // written to that file now.
    const QPaintEngine* engine = printer.paintEngine();
    if (printer.outputFormat() != QPrinter::PdfFormat || printer.outputFileName().isEmpty() || !engine ||
        engine->type() != QPaintEngine::Pdf)
        return {};
    QString why;
    return mendPdfText(printer.outputFileName(), &why) ? QString() : why;
}

Outcome printPagesToPdf(const PageSource& pages, const QString& pdfPath) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdfPath);
    return printPages(pages, printer);
}

QString choosePdfFile(QWidget* parent, const QString& caption, const QString& suggested) {
    QString file =
        FileDialog::getSaveFileName(parent, caption, suggested, QStringLiteral("PDF 文件 (*.pdf)"));
    if (!file.isEmpty() && QFileInfo(file).suffix().isEmpty()) file += QStringLiteral(".pdf");
    return file;
}

Outcome printOnDefaultPrinter(const PageSource& pages, QWidget* parent, const QString& suggestedName,
                              QString* pdfPath) {
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (!info.isNull()) {
        QPrinter printer(info, QPrinter::HighResolution);
        return printPages(pages, printer);
    }
    const QString file =
        choosePdfFile(parent, QStringLiteral("没有打印机，打印到PDF文件"), fileNameOf(suggestedName));
    if (file.isEmpty()) return Outcome::fail(Reason::NotChosen);
    if (pdfPath) *pdfPath = file;
    return printPagesToPdf(pages, file);
}

} // namespace shell
