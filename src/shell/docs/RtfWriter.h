#pragma once

#include "shell/core/Outcome.h"

#include <QByteArray>
#include <QString>

namespace shell {

// Rich-text (RTF) documents for the exports of the writer tools: text in
// paragraphs with first-line and left indents (twips), bold and size runs, in
// 宋体. The output is 7-bit ASCII: every other UTF-16 unit is written as a
// signed \uN with a '?' fallback (\uc1), so any reader shows the Chinese
// text whatever its own code page.
//
//   RtfWriter w;
//   w.setIndents(480, 0);      // first line two characters in
//   w.setBold(true); w.addText("标题\n"); w.setBold(false);
//   w.addText("正文……");
//   const Outcome saved = w.save(path);
class RtfWriter {
public:
    RtfWriter();

    // Indents of the paragraph being written and of those after it.
    void setIndents(int firstLineTwips, int leftTwips);
    void setBold(bool on);
    void setFontSize(double points); // rounded to half points
    // Text to add; "\n" (or "\r\n") ends a paragraph, "\t" is a tab.
    void addText(const QString& text);
    // Ends the current paragraph (the same as adding "\n").
    void endParagraph();

    // The finished document. The writer can go on after this.
    QByteArray document() const;
    // Writes the document at once (temporary file, then rename); a failure
    // leaves any file there as it was and its message is the reason.
    Outcome save(const QString& path) const;

    // A whole plain text as a document in 宋体 of the given size: one
    // paragraph per line.
    static QByteArray fromPlainText(const QString& text, double points = 12, int firstLineTwips = 0,
                                    int leftTwips = 0);

    // The escaping of one piece of text (no paragraph handling).
    static QByteArray escape(const QString& text);

private:
    void startParagraphIfNeeded();

    QByteArray body_;
    int first_ = 0;
    int left_ = 0;
    bool bold_ = false;
    int halfPoints_ = 24;
    bool inParagraph_ = false;
};

} // namespace shell
