#include "Article.h"

#include "RtfWriter.h"

#include <QFileInfo>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <cmath>

namespace shell {

namespace {
QString plain(const QString& text) {
    QString t = text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    return t;
}

QTextCursor at(QTextDocument* doc, int position) {
    QTextCursor c(doc);
    c.movePosition(QTextCursor::End);
    c.setPosition(std::clamp(position, 0, c.position()));
    return c;
}
} // namespace

Article::Article() : doc_(std::make_unique<QTextDocument>()) {
    doc_->setUndoRedoEnabled(true);
}

Article::~Article() = default;

int Article::pixelsToTwips(double px) {
    return int(std::lround(px * 15.0));
}

QString Article::text() const {
    return doc_->toPlainText();
}

int Article::length() const {
    return doc_->characterCount() - 1;
}

int Article::paragraphCount() const {
    return doc_->blockCount();
}

void Article::replaceAll(const QString& text) {
    QTextCursor c(doc_.get());
    c.beginEditBlock();
    c.select(QTextCursor::Document);
    c.insertText(plain(text));
    c.endEditBlock();
}

int Article::insert(int position, const QString& text) {
    QTextCursor c = at(doc_.get(), position);
    c.beginEditBlock();
    c.insertText(plain(text));
    c.endEditBlock();
    return c.position();
}

int Article::append(const QString& text) {
    return insert(length(), text);
}

namespace {
// The block property that marks a heading paragraph; it holds the heading's
// text without its number, so a paragraph that only inherited the mark
// (the teacher pressed Enter at a heading's end) is told apart.
constexpr int kHeadingProperty = QTextFormat::UserProperty + 1;

bool isChineseDigit(QChar c) {
    return QStringView(u"零〇一二三四五六七八九十百千").contains(c);
}
// The length of a "三、" in front of a paragraph's text, 0 when there is none.
qsizetype numberLength(const QString& text) {
    qsizetype n = 0;
    while (n < text.size() && isChineseDigit(text[n]))
        ++n;
    return n > 0 && n < text.size() && text[n] == u'、' ? n + 1 : 0;
}
bool isHeading(const QTextBlock& b) {
    const QString heading = b.blockFormat().property(kHeadingProperty).toString();
    if (heading.isEmpty()) return false;
    const QString text = b.text();
    return text.mid(numberLength(text)).startsWith(heading);
}
void markHeading(QTextDocument* doc, const QTextBlock& b, const QString& heading) {
    QTextCursor c(doc);
    c.setPosition(b.position());
    QTextBlockFormat f = b.blockFormat();
    if (heading.isEmpty())
        f.clearProperty(kHeadingProperty);
    else
        f.setProperty(kHeadingProperty, heading);
    c.setBlockFormat(f);
}
} // namespace

QString Article::chineseNumber(int n) {
    static const QString digits = QStringLiteral("零一二三四五六七八九");
    if (n <= 0) return QString(digits[0]);
    if (n < 10) return QString(digits[n]);
    const QString ten = QStringLiteral("十");
    if (n < 20) return ten + (n % 10 ? QString(digits[n % 10]) : QString());
    if (n < 100) return QString(digits[n / 10]) + ten + (n % 10 ? QString(digits[n % 10]) : QString());
    const int rest = n % 100;
    QString out = chineseNumber(n / 100) + QStringLiteral("百");
    if (rest == 0) return out;
    // 一百零五, 一百一十二
    if (rest < 10) return out + QStringLiteral("零") + chineseNumber(rest);
    return out + (rest < 20 ? QStringLiteral("一") + chineseNumber(rest) : chineseNumber(rest));
}

int Article::insertStatement(int position, const QString& heading, const QString& body, bool breakAfter) {
    QTextCursor c = at(doc_.get(), position);
    c.beginEditBlock();
    const bool atParagraphStart = c.atBlockStart();
    const bool breakFollows = c.atBlockEnd() && c.block().next().isValid();
    if (!atParagraphStart) c.insertBlock();
    const int first = c.position();
    const QString head = plain(heading);
    if (!head.isEmpty()) {
        c.insertText(head);
        c.insertBlock();
    }
    c.insertText(plain(body));
    const int last = c.position();
    if (breakAfter && !breakFollows) c.insertBlock();
    // The new paragraphs took the format of the one they were split from:
    // of them only the heading has the mark. The text after the position
    // keeps the format it had.
    for (QTextBlock b = doc_->findBlock(first); b.isValid() && b.position() <= last; b = b.next()) {
        const QString mark = !head.isEmpty() && b.position() == first ? head : QString();
        if (b.blockFormat().property(kHeadingProperty).toString() != mark) markHeading(doc_.get(), b, mark);
    }
    numberHeadings();
    c.endEditBlock();
    return c.position();
}

void Article::numberHeadings() {
    QTextCursor c(doc_.get());
    c.beginEditBlock();
    int n = 0;
    for (QTextBlock b = doc_->begin(); b.isValid(); b = b.next()) {
        if (!isHeading(b)) continue;
        const QString want = chineseNumber(++n) + QStringLiteral("、");
        const QString text = b.text();
        const qsizetype has = numberLength(text);
        if (text.left(has) == want) continue;
        c.setPosition(b.position());
        c.setPosition(b.position() + int(has), QTextCursor::KeepAnchor);
        c.insertText(want);
    }
    c.endEditBlock();
}

QStringList Article::headings() const {
    QStringList out;
    for (QTextBlock b = doc_->begin(); b.isValid(); b = b.next())
        if (isHeading(b)) out << b.text();
    return out;
}

void Article::setIndentsAt(int position, int firstLineTwips, int leftTwips) {
    QTextCursor c = at(doc_.get(), position);
    QTextBlockFormat f = c.blockFormat();
    f.setTextIndent(twipsToPixels(firstLineTwips));
    f.setLeftMargin(twipsToPixels(leftTwips));
    c.setBlockFormat(f);
}

int Article::firstLineIndentAt(int position) const {
    return pixelsToTwips(at(doc_.get(), position).blockFormat().textIndent());
}

int Article::leftIndentAt(int position) const {
    return pixelsToTwips(at(doc_.get(), position).blockFormat().leftMargin());
}

bool Article::isModified() const {
    return doc_->isModified();
}

void Article::setModified(bool modified) {
    doc_->setModified(modified);
}

QByteArray Article::toRtf(double points) const {
    RtfWriter w;
    w.setFontSize(points);
    for (QTextBlock b = doc_->begin(); b.isValid(); b = b.next()) {
        const QTextBlockFormat f = b.blockFormat();
        w.setIndents(pixelsToTwips(f.textIndent()), pixelsToTwips(f.leftMargin()));
        w.addText(b.text());
        // The last paragraph of a document has no break after it.
        if (b.next().isValid()) w.endParagraph();
    }
    if (!doc_->lastBlock().text().isEmpty()) w.endParagraph();
    return w.document();
}

namespace {
Outcome writeFile(const QString& path, const QByteArray& data) {
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(data) != data.size() || !f.commit())
        return Outcome::fail(
            Reason::Failed,
            QStringLiteral("无法写入文件“%1”：%2").arg(QFileInfo(path).fileName(), f.errorString()));
    return Outcome::done();
}
} // namespace

Outcome Article::saveRtf(const QString& path, double points) const {
    return writeFile(path, toRtf(points));
}

Outcome Article::savePlainText(const QString& path) const {
    QString t = text();
    t.replace(u'\n', QStringLiteral("\r\n"));
    return writeFile(path, t.toUtf8());
}

} // namespace shell
