#pragma once

#include "shell/core/Outcome.h"
#include "shell/core/SafeOpen.h" // every path and address opens through it

#include <QString>
#include <QStringList>
#include <memory>

class QPrinter;
class QTextDocument;
class QWidget;

namespace shell {

// Starts the program of a Tools-menu entry ("toobName1" … "toobName4"): the
// one the settings file holds for it (section MyToobFile) when it is there,
// else the desktop's own paint program, text editor, calculator or address
// book (see findToolProgram). When the machine has none, or it cannot be
// started, the teacher is told so in a message over `parent`. True when
// something was started.
bool RunToolProgram(const QString& key, QWidget* parent = nullptr);

// The program's support page in the web browser.
QString supportPageAddress();
void OpenSupportPage();

// Puts the text into a new document (宋体, 12 points, not bold, automatic
// colour) and shows it in a print preview, from which the teacher prints on
// a printer or into a PDF file. Returns at once; the preview lives on its
// own. Anything that fails shows one message and ends the operation.
void PrintViaWord(const QString& text, QWidget* parent = nullptr);

// The document PrintViaWord shows. A form feed in the text starts a new
// page (several students' comments in one print job, one on each page).
std::unique_ptr<QTextDocument> buildPrintDocument(const QString& text);
// Lays the document out on the printer's pages (A4 with the word
// processor's usual margins unless the printer says otherwise) and paints
// them through paintPages, whose message says what failed.
Outcome printDocument(const QTextDocument& doc, QPrinter& printer);
// buildPrintDocument + printDocument into a PDF file.
Outcome printTextToPdf(const QString& text, const QString& pdfPath);

} // namespace shell
