#include "DocServices.h"

#include "Fonts.h"

#include "MessageBox.h"
#include "PagePainter.h"
#include "Placement.h"
#include "shell/core/Branding.h"
#include "shell/core/DesktopTools.h"
#include "shell/core/SafeOpen.h"
#include "shell/core/Settings.h"

#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QDesktopServices>
#include <QDir>
#include <QFont>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <QToolBar>
#include <QUrl>
#include <utility>

namespace shell {

namespace {
const QString kSongti = QStringLiteral("宋体");

// Every "open" of the program (links, exports, the Tools menu) ends in Qt's
// own opener when it does not start a program file itself: Qt finds the
// desktop portal, xdg-open or a browser on the PATH by itself, so a desktop
// without xdg-utils still opens pages and documents. Installed when this
// file is linked, which every window is, through its menus.
[[maybe_unused]] const bool g_desktopOpenerInstalled = [] {
    setDesktopOpener([](const QUrl& url) { return QDesktopServices::openUrl(url); });
    return true;
}();

} // namespace

bool RunToolProgram(const QString& key, QWidget* parent) {
    ToolLaunch launch;
    if (const Outcome found = findToolProgram(key, &launch); !found) {
        MessageBox::showAll(parent, found.messages);
        return false;
    }
    const QString program = launch.configuredPath.isEmpty() ? launch.desktop->program : launch.configuredPath;
    const bool started = launch.configuredPath.isEmpty() ? startProgram(program, launch.desktop->arguments).ok
                                                         : openPath(program).ok;
    if (!started) {
        QString caption = key;
        for (const ToolEntry& t : toolEntries())
            if (t.key.compare(key, Qt::CaseInsensitive) == 0) caption = t.caption;
        MessageBox::show(
            parent,
            QStringLiteral("“%1”的程序“%2”无法启动！").arg(caption, QDir::toNativeSeparators(program)));
    }
    return started;
}

QString supportPageAddress() {
    return supportUrl();
}

void OpenSupportPage() {
    // Nothing is reported, as for every Help-menu link.
    (void)openTarget(classifyAddress(supportPageAddress()), false);
}

std::unique_ptr<QTextDocument> buildPrintDocument(const QString& text) {
    installFontSubstitutions();
    auto doc = std::make_unique<QTextDocument>();
    QFont font(kSongti);
    font.setPointSizeF(12);
    font.setBold(false);
    doc->setDefaultFont(font);
    doc->setPlainText(text);
    // The text's own format too, so that a reader of the document (or a later
    // change of the default font) sees the settings on the text itself.
    QTextCharFormat fmt;
    fmt.setFontFamilies({kSongti});
    fmt.setFontPointSize(12);
    fmt.setFontWeight(QFont::Normal);
    fmt.clearForeground(); // automatic colour
    QTextCursor all(doc.get());
    all.select(QTextCursor::Document);
    all.mergeCharFormat(fmt);
    all.mergeBlockCharFormat(fmt);
    // Each form feed becomes a line of its own that the paragraph after it
    // starts a page with; the character itself is not printed.
    if (text.contains(u'\f')) {
        QTextBlockFormat newPage;
        newPage.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
            const int feed = int(b.text().indexOf(u'\f'));
            if (feed < 0) continue;
            QTextCursor c(b);
            c.setPosition(b.position() + feed);
            c.deleteChar();
            c.insertBlock(newPage);
            // The rest of the block may hold further feeds.
            b = c.block().previous();
        }
    }
    return doc;
}

namespace {

void setDefaultLayout(QPrinter& printer) {
    // A4 with 2.54 cm above and below and 3.17 cm at the sides: the page a
    // Chinese word processor starts a new document with.
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                      QMarginsF(31.7, 25.4, 31.7, 25.4), QPageLayout::Millimeter));
}

} // namespace

Outcome printDocument(const QTextDocument& doc, QPrinter& printer) {
    std::unique_ptr<QTextDocument> copy(doc.clone());
    copy->documentLayout()->setPaintDevice(&printer);
    copy->setDocumentMargin(0);
    const QRectF page = printer.pageLayout().paintRectPixels(printer.resolution());
    copy->setPageSize(page.size());
    const double pageHeight = page.height();
    copy->pageCount(); // lays the whole document out (the layout is lazy)

    // The lines of each page. The layout moves a line that would cross the
    // foot of a page to the next page, but drawing by the page rectangle alone
    // would still write that line's text, hidden, into the page above (PDF
    // readers then find it twice); drawing by the lines' own extent does not.
    QList<QRectF> linesOfPage;
    int lastTextPage = 0;
    for (QTextBlock b = copy->begin(); b.isValid(); b = b.next()) {
        const QTextLayout* layout = b.layout();
        if (!layout) continue;
        for (int i = 0; i < layout->lineCount(); ++i) {
            const QRectF r = layout->lineAt(i).rect().translated(layout->position());
            const int n = std::max(0, int(r.center().y() / pageHeight));
            while (linesOfPage.size() <= n)
                linesOfPage << QRectF();
            linesOfPage[n] = linesOfPage[n].isNull() ? r : linesOfPage[n].united(r);
            if (layout->lineAt(i).textLength() > 0) lastTextPage = std::max(lastTextPage, n);
        }
    }
    const int pages = lastTextPage + 1; // no empty page for trailing blank lines
    return paintPages(printer, pages, [&](QPainter& painter, int i) {
        if (i >= linesOfPage.size() || linesOfPage[i].isNull()) return;
        const QRectF onPage(0, i * pageHeight, page.width(), pageHeight);
        const QRectF lines = linesOfPage[i].intersected(onPage);
        painter.save();
        painter.translate(0, -onPage.top());
        painter.setClipRect(onPage);
        copy->drawContents(&painter, QRectF(0, lines.top(), page.width(), lines.height()));
        painter.restore();
    });
}

Outcome printTextToPdf(const QString& text, const QString& pdfPath) {
    QPrinter printer(QPrinter::HighResolution);
    setDefaultLayout(printer);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdfPath);
    const auto doc = buildPrintDocument(text);
    return printDocument(*doc, printer);
}

void PrintViaWord(const QString& text, QWidget* parent) {
    // A dialog of the window it prints from, so that it stays above it, with
    // the buttons of a window so that it can be made as large as the screen.
    auto* preview =
        new QPrintPreviewDialog(parent ? parent->window() : nullptr,
                                Qt::Dialog | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    preview->setObjectName(QStringLiteral("printPreview"));
    preview->setAttribute(Qt::WA_DeleteOnClose);
    preview->setWindowTitle(QStringLiteral("打印预览"));
    QPrinter* printer = preview->printer();
    setDefaultLayout(*printer);
    QTextDocument* doc = buildPrintDocument(text).release();
    doc->setParent(preview);

    // A failure while printing is told once; the preview stays for another
    // try.
    auto print = [preview, doc](QPrinter& p) {
        if (const Outcome printed = printDocument(*doc, p); !printed)
            MessageBox::show(preview, QStringLiteral("打印失败：%1").arg(printed.messages.value(0)));
    };
    QObject::connect(preview, &QPrintPreviewDialog::paintRequested, preview,
                     [print](QPrinter* p) { print(*p); });

    // Printing into a PDF file is one click away even where no printer is
    // installed (the print dialog offers it too).
    auto* toPdf = new QAction(QStringLiteral("保存为PDF"), preview);
    toPdf->setObjectName(QStringLiteral("actSavePdf"));
    toPdf->setToolTip(QStringLiteral("打印到PDF文件"));
    QObject::connect(toPdf, &QAction::triggered, preview, [preview, print] {
        const QString file =
            choosePdfFile(preview, QStringLiteral("打印到PDF文件"), QStringLiteral("打印.pdf"));
        if (file.isEmpty()) return;
        QPrinter pdf(QPrinter::HighResolution);
        pdf.setPageLayout(preview->printer()->pageLayout());
        pdf.setOutputFormat(QPrinter::PdfFormat);
        pdf.setOutputFileName(file);
        print(pdf);
    });
    if (auto* bar = preview->findChild<QToolBar*>()) {
        bar->addSeparator();
        bar->addAction(toPdf);
    } else {
        preview->addAction(toPdf);
    }
    preview->resize(900, 700);
    placeOnScreen(preview, parent, true);
    preview->show();
    preview->raise();
}

} // namespace shell
