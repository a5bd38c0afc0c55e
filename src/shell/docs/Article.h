#pragma once

#include "shell/core/Outcome.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>

class QTextDocument;

namespace shell {

// A composed article (a plan, a summary, a lesson plan): paragraphs of plain
// text, each with its own first-line and left indent in twips, on a
// QTextDocument that a text box can show and edit directly. Every change
// made here goes through the document's undo stack, so Ctrl+Z in the box
// brings back what an operation replaced, and sets the modified flag.
//
// Positions are those of text(): paragraphs joined by '\n', one character
// per paragraph break, the same as the document's cursor positions.
class Article {
public:
    Article();
    ~Article();
    Article(const Article&) = delete;
    Article& operator=(const Article&) = delete;

    QTextDocument* document() const { return doc_.get(); }

    // The whole text, paragraphs separated by '\n'.
    QString text() const;
    int length() const;
    int paragraphCount() const;

    // Replaces the whole text in one undoable step; the first paragraph's
    // indents are kept for the new text.
    void replaceAll(const QString& text);
    // Inserts plain text ('\n' or "\r\n" starts a paragraph) at a position
    // (clamped to the text); returns the position after the insertion.
    int insert(int position, const QString& text);
    // Inserts at the end; returns the new end.
    int append(const QString& text);

    // Places a statement at a position as paragraphs of its own: a break
    // first when the position is inside or at the end of a paragraph's
    // text, then the heading (when there is one) as its own paragraph, then
    // the body, then a break when `breakAfter` asks for one and there is no
    // paragraph break after the position already (or it is the end). The
    // heading is numbered with the others (numberHeadings). One undoable
    // step; returns the position after the body (and its break).
    int insertStatement(int position, const QString& heading, const QString& body, bool breakAfter);
    // Headings placed by insertStatement are numbered 一、二、三、… in the
    // order they stand in the article, whatever order they were placed in;
    // a number already in front of one is replaced. A heading paragraph the
    // teacher rewrote so that it no longer starts with its heading is left
    // as it is and not counted.
    void numberHeadings();
    // The paragraph texts that are numbered headings now, in order.
    QStringList headings() const;
    // 1 → "一", 10 → "十", 12 → "十二", 20 → "二十", 105 → "一百零五".
    static QString chineseNumber(int n);

    // Indents of the paragraph holding a position.
    void setIndentsAt(int position, int firstLineTwips, int leftTwips);
    int firstLineIndentAt(int position) const;
    int leftIndentAt(int position) const;

    bool isModified() const;
    void setModified(bool modified);

    // The article as RTF (宋体, `points` high), each paragraph with its own
    // \fi and \li.
    QByteArray toRtf(double points = 12) const;
    // Writes the RTF or the plain text (UTF-8, CR LF line breaks) at once;
    // on failure the file there is left as it was and the message says why.
    // Neither touches the modified flag: the caller decides what a
    // successful write means for it.
    Outcome saveRtf(const QString& path, double points = 12) const;
    Outcome savePlainText(const QString& path) const;

    // Twips of an indent and the document's pixels (96 dpi).
    static double twipsToPixels(int twips) { return twips / 15.0; }
    static int pixelsToTwips(double px);

private:
    std::unique_ptr<QTextDocument> doc_;
};

} // namespace shell
