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
