#include "GapLabel.h"

#include <QPainter>

namespace scores {

namespace {
// Where the blanks are: [start, end) of the first run of two or more.
std::pair<int, int> blanks(const QString& text) {
    const int start = int(text.indexOf(QStringLiteral("  ")));
    if (start < 0) return {int(text.size()), int(text.size())};
    int end = start;
    while (end < text.size() && text[end] == u' ')
        ++end;
    return {start, end};
}
} // namespace

GapLabel::GapLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {}

QString GapLabel::before() const {
    return text().left(blanks(text()).first);
}
QString GapLabel::after() const {
    return text().mid(blanks(text()).second);
}

void GapLabel::holdBox(QWidget* box, int boxWidth) {
    box_ = box;
    boxWidth_ = boxWidth;
    const QFontMetrics fm(font());
    const auto [start, end] = blanks(text());
    // Never narrower than the blanks themselves.
    gap_ = qMax(boxWidth + 8, fm.horizontalAdvance(text().mid(start, end - start)));
    resize(sizeHint().width(), height());
    box->setGeometry(x() + fm.horizontalAdvance(before()) + 4, y() + (height() - box->height()) / 2, boxWidth,
                     box->height());
    box->raise();
    update();
}

QList<QRect> GapLabel::textRects() const {
    const QFontMetrics fm(font());
    const QRect r = contentsRect().translated(pos());
    const int head = fm.horizontalAdvance(before());
    const int tail = fm.horizontalAdvance(after());
    QList<QRect> out;
    if (head > 0) out << QRect(r.left(), r.top(), head, r.height());
    if (tail > 0) out << QRect(r.left() + head + gap_, r.top(), tail, r.height());
    return out;
}

QSize GapLabel::sizeHint() const {
    const QFontMetrics fm(font());
    return QSize(fm.horizontalAdvance(before()) + gap_ + fm.horizontalAdvance(after()) + 2,
                 QLabel::sizeHint().height());
}

void GapLabel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    const QFontMetrics fm(font());
    const QRect r = contentsRect();
    const QString head = before();
    p.drawText(r, Qt::AlignLeft | Qt::AlignVCenter, head);
    p.drawText(r.adjusted(fm.horizontalAdvance(head) + gap_, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
               after());
}

} // namespace scores
