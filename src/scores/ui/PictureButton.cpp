#include "PictureButton.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <cmath>

namespace scores {

namespace {

// A sheet of paper with a folded corner.
void drawPage(QPainter& p, const QRectF& r) {
    QPainterPath path;
    const qreal fold = 5;
    path.moveTo(r.left(), r.top());
    path.lineTo(r.right() - fold, r.top());
    path.lineTo(r.right(), r.top() + fold);
    path.lineTo(r.right(), r.bottom());
    path.lineTo(r.left(), r.bottom());
    path.closeSubpath();
    p.setPen(QPen(QColor(0x40, 0x40, 0x40), 1));
    p.setBrush(Qt::white);
    p.drawPath(path);
    p.drawLine(QPointF(r.right() - fold, r.top()), QPointF(r.right() - fold, r.top() + fold));
    p.drawLine(QPointF(r.right() - fold, r.top() + fold), QPointF(r.right(), r.top() + fold));
}

void drawLines(QPainter& p, const QRectF& r, int count) {
    p.setPen(QPen(QColor(0x60, 0x80, 0xb0), 1));
    for (int i = 0; i < count; ++i) {
        const qreal y = r.top() + 7 + i * 3;
        p.drawLine(QPointF(r.left() + 3, y), QPointF(r.right() - 3, y));
    }
}

} // namespace

QPixmap PictureButton::draw(Kind kind) {
    QPixmap pm(24, 24);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    switch (kind) {
    case Kind::NewFile: {
        const QRectF page(4.5, 2.5, 14, 19);
        drawPage(p, page);
        drawLines(p, page, 3);
        // A small star: something new.
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xf0, 0xb0, 0x00));
        QPolygonF star;
        for (int i = 0; i < 10; ++i) {
            const double a = -M_PI / 2 + i * M_PI / 5;
            const double rad = i % 2 ? 2.2 : 5.0;
            star << QPointF(17.5 + rad * std::cos(a), 17.5 + rad * std::sin(a));
        }
        p.drawPolygon(star);
        break;
    }
    case Kind::OpenFile: {
        // A folder with a page sticking out.
        p.setPen(QPen(QColor(0x80, 0x60, 0x10), 1));
        p.setBrush(QColor(0xe8, 0xc0, 0x50));
        p.drawRect(QRectF(2.5, 7.5, 19, 13));
        p.drawRect(QRectF(2.5, 5.5, 8, 3));
        drawPage(p, QRectF(6.5, 3.5, 12, 10));
        p.setPen(QPen(QColor(0x80, 0x60, 0x10), 1));
        p.setBrush(QColor(0xf4, 0xd8, 0x70));
        QPolygonF front{QPointF(2.5, 20.5), QPointF(5.5, 11.5), QPointF(23.5, 11.5), QPointF(21.5, 20.5)};
        p.drawPolygon(front);
        break;
    }
    case Kind::Print: {
        // A printer: paper in, body, paper out.
        drawPage(p, QRectF(6.5, 1.5, 11, 9));
        p.setPen(QPen(QColor(0x30, 0x30, 0x30), 1));
        p.setBrush(QColor(0xb8, 0xb8, 0xc0));
        p.drawRoundedRect(QRectF(1.5, 9.5, 21, 9), 2, 2);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(5.5, 15.5, 13, 7));
        drawLines(p, QRectF(5.5, 11.5, 13, 7), 2);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x20, 0xc0, 0x20));
        p.drawEllipse(QPointF(19, 12.5), 1.2, 1.2);
        break;
    }
    case Kind::Preview: {
        const QRectF page(2.5, 1.5, 14, 19);
        drawPage(p, page);
        drawLines(p, page, 3);
        // A magnifying glass over the page.
        p.setPen(QPen(QColor(0x30, 0x30, 0x30), 2));
        p.setBrush(QColor(0xc0, 0xe0, 0xff, 200));
        p.drawEllipse(QPointF(14, 13), 5, 5);
        p.setPen(QPen(QColor(0x50, 0x30, 0x10), 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(17.8, 16.8), QPointF(22, 21));
        break;
    }
    }
    return pm;
}

PictureButton::PictureButton(Kind kind, const QString& objectName, const QString& toolTip, QWidget* parent)
    : QLabel(parent) {
    setObjectName(objectName);
    setToolTip(toolTip);
    setPixmap(draw(kind));
    setFixedSize(28, 28);
    setAlignment(Qt::AlignCenter);
    setCursor(Qt::PointingHandCursor);
    setFrameShape(QFrame::NoFrame);
}

void PictureButton::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton) {
        pressed_ = true;
        setFrameShape(QFrame::Panel);
        setFrameShadow(QFrame::Sunken);
    }
}

void PictureButton::mouseReleaseEvent(QMouseEvent* e) {
    const bool was = pressed_;
    pressed_ = false;
    setFrameShape(QFrame::NoFrame);
    if (was && e->button() == Qt::LeftButton && rect().contains(e->position().toPoint())) Q_EMIT clicked();
}

void PictureButton::enterEvent(QEnterEvent*) {
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Raised);
}

void PictureButton::leaveEvent(QEvent*) {
    setFrameShape(QFrame::NoFrame);
}

} // namespace scores
