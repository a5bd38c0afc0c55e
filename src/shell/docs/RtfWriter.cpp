#include "RtfWriter.h"

#include <QSaveFile>
#include <algorithm>
#include <cmath>

namespace shell {

namespace {
// 宋体 in the Chinese code page, for readers that match fonts by their
// local name.
constexpr char kHeader[] = "{\\rtf1\\ansi\\ansicpg936\\deff0\\deflang2052\\uc1"
                           "{\\fonttbl{\\f0\\fnil\\fcharset134 SimSun{\\*\\falt \\'cb\\'ce\\'cc\\'e5};}}"
                           "{\\colortbl;\\red0\\green0\\blue0;}"
                           "\\viewkind4";
} // namespace

RtfWriter::RtfWriter() = default;

QByteArray RtfWriter::escape(const QString& text) {
    QByteArray out;
    out.reserve(text.size() * 2);
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u == u'\\' || u == u'{' || u == u'}') {
            out += '\\';
            out += char(u);
        } else if (u == u'\t') {
            out += "\\tab ";
        } else if (u < 0x20) {
            // Other control characters have no place in a document.
        } else if (u < 0x80) {
            out += char(u);
        } else {
            // Signed 16-bit, as readers expect: U+8FD0 is \u-28720.
            out += "\\u" + QByteArray::number(int(int16_t(u))) + '?';
        }
    }
    return out;
}

void RtfWriter::startParagraphIfNeeded() {
    if (inParagraph_) return;
    body_ += "\\pard\\fi" + QByteArray::number(first_) + "\\li" + QByteArray::number(left_) + "\\f0\\fs" +
             QByteArray::number(halfPoints_) + (bold_ ? "\\b " : "\\b0 ");
    inParagraph_ = true;
}

void RtfWriter::setIndents(int firstLineTwips, int leftTwips) {
    first_ = firstLineTwips;
    left_ = leftTwips;
    if (inParagraph_) body_ += "\\fi" + QByteArray::number(first_) + "\\li" + QByteArray::number(left_) + ' ';
}

void RtfWriter::setBold(bool on) {
    if (on == bold_) return;
    bold_ = on;
    if (inParagraph_) body_ += on ? "\\b " : "\\b0 ";
}

void RtfWriter::setFontSize(double points) {
    const int half = std::max(1, int(std::lround(points * 2)));
    if (half == halfPoints_) return;
    halfPoints_ = half;
    if (inParagraph_) body_ += "\\fs" + QByteArray::number(half) + ' ';
}

void RtfWriter::addText(const QString& text) {
    QString t = text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    qsizetype from = 0;
    while (from <= t.size()) {
        const qsizetype nl = t.indexOf(u'\n', from);
        const QString piece = t.mid(from, nl < 0 ? -1 : nl - from);
        if (!piece.isEmpty()) {
            startParagraphIfNeeded();
            body_ += escape(piece);
        }
        if (nl < 0) break;
        endParagraph();
        from = nl + 1;
    }
}

void RtfWriter::endParagraph() {
    startParagraphIfNeeded();
    body_ += "\\par\n";
    inParagraph_ = false;
}

QByteArray RtfWriter::document() const {
    return QByteArray(kHeader) + '\n' + body_ + "}\n";
}

Outcome RtfWriter::save(const QString& path) const {
    QSaveFile f(path);
    const QByteArray data = document();
    if (!f.open(QIODevice::WriteOnly) || f.write(data) != data.size() || !f.commit())
        return Outcome::fail(Reason::Failed, f.errorString());
    return Outcome::done();
}

QByteArray RtfWriter::fromPlainText(const QString& text, double points, int firstLineTwips, int leftTwips) {
    RtfWriter w;
    w.setFontSize(points);
    w.setIndents(firstLineTwips, leftTwips);
    w.addText(text);
    return w.document();
}

} // namespace shell
