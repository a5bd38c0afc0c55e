#pragma once

// A printed page as a list of drawing operations in twips, from the paper's
// top left corner: text at a position in a font size, and straight lines.
// Layouts (the score table's pages) are built as these values and tested
// as such; one painter (shell/ui/PagePainter.h) draws them on a printer, a
// PDF file or an image, so paper and preview can never disagree.

#include <QList>
#include <QSize>
#include <QString>

namespace shell {

struct DrawOp {
    enum class Kind { Text, Line };
    Kind kind = Kind::Text;
    // Text: (x, y) is the top left corner of the text's em box, so that a
    // row of text 240 twips high sits between rules 240 twips apart
    // whatever the font's own line spacing. Line: from (x, y) to (x2, y2).
    int x = 0;
    int y = 0;
    int x2 = 0;
    int y2 = 0;
    int size = 0; // text: points
    QString text;

    static DrawOp textAt(int x, int y, int size, const QString& text) {
        DrawOp op;
        op.x = x;
        op.y = y;
        op.size = size;
        op.text = text;
        return op;
    }
    static DrawOp line(int x1, int y1, int x2, int y2) {
        DrawOp op;
        op.kind = Kind::Line;
        op.x = x1;
        op.y = y1;
        op.x2 = x2;
        op.y2 = y2;
        return op;
    }
    bool operator==(const DrawOp&) const = default;
};

using DrawPage = QList<DrawOp>;

// Pages laid out once and handed out one at a time, so that a printout of
// hundreds of pages never holds them all and a preview draws only the page
// it shows.
class PageSource {
public:
    virtual ~PageSource() = default;
    // The paper in twips (already turned for landscape).
    virtual QSize paperTwips() const = 0;
    // The font every text is drawn in (a Windows name such as "宋体";
    // the program maps it to an installed font).
    virtual QString fontFamily() const = 0;
    virtual int pageCount() const = 0;
    // Page `index`, counted from 0; empty outside 0..pageCount()-1.
    virtual DrawPage page(int index) const = 0;
};

} // namespace shell
