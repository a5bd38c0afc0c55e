#pragma once

// The one painter of laid-out pages (shell/docs/DrawOps.h): the same draw
// operations go onto a printer, into a PDF file or into an image, so a
// preview shows exactly what the paper gets.

#include "shell/core/Outcome.h"
#include "shell/docs/DrawOps.h"

#include <QImage>
#include <QString>
#include <functional>

class QPainter;
class QPrinter;
class QWidget;

namespace shell {

// Draws one page with `painter`, whose device has `dpi` dots per inch and
// whose origin is the paper's top left corner.
void paintPage(QPainter& painter, const DrawPage& page, const QString& fontFamily, double dpi);

// Page `index` as an image of the whole sheet at `dpi` (96: one twip in 15
// is a pixel), white, ready to show.
QImage renderPage(const PageSource& pages, int index, double dpi = 96.0);

// The one print run of the program, whatever it prints: starts `printer`,
// has `paint` draw page 0 to `pageCount` − 1 (a new sheet before each page
// after the first) and finishes a PDF file for readers. A printer or file
// that cannot be started, a page that cannot be begun or a run that does not
// end gives Reason::Failed with one message saying so, ending in "！".
Outcome paintPages(QPrinter& printer, int pageCount, const std::function<void(QPainter&, int)>& paint);

// Every page on `printer`, whose paper is set to the pages' size and
// orientation, through paintPages.
Outcome printPages(const PageSource& pages, QPrinter& printer);
// After Qt has finished a PDF file on `printer`: its text put right for
// readers (shell/docs/PdfText.h). Empty when done or when the printer is no
// PDF file; else why not, naming the file, without a closing mark.
QString mendPdfOutput(const QPrinter& printer);
// Every page into a PDF file.
Outcome printPagesToPdf(const PageSource& pages, const QString& pdfPath);

// Asks, over `parent`, for the PDF file to print into, starting from
// `suggested`; a name without a suffix gets ".pdf". Empty when cancelled.
QString choosePdfFile(QWidget* parent, const QString& caption, const QString& suggested);

// Prints on the default printer straight away. Where there is no printer,
// the teacher names a PDF file (starting from `suggestedName` in the home
// folder) and the pages are written there; `pdfPath` then says where
// (Reason::NotChosen when the dialog was cancelled).
Outcome printOnDefaultPrinter(const PageSource& pages, QWidget* parent, const QString& suggestedName,
                              QString* pdfPath = nullptr);

} // namespace shell
