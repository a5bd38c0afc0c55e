#include "Icons.h"

#include <QHash>
#include <QPainter>
#include <QPainterPath>

namespace shell {

namespace {

void drawBook(QPainter& p, const QRectF& r, const QColor& c) {
    p.setBrush(c);
    p.drawRoundedRect(r, r.width() * 0.08, r.width() * 0.08);
    p.setPen(QPen(Qt::white, r.width() * 0.06));
    for (int i = 1; i <= 3; ++i)
        p.drawLine(QPointF(r.left() + r.width() * 0.25, r.top() + r.height() * i / 4.5),
                   QPointF(r.right() - r.width() * 0.15, r.top() + r.height() * i / 4.5));
}

void paint(QPainter& p, const QString& key, double s) {
    p.setRenderHint(QPainter::Antialiasing);
    const QPen outline(QColor(40, 40, 40), qMax(1.0, s / 16));
    p.setPen(outline);
    const QRectF box(s * 0.1, s * 0.1, s * 0.8, s * 0.8);
    if (key == u"about") {
        p.setBrush(QColor(40, 110, 200));
        p.drawEllipse(box);
        p.setPen(QPen(Qt::white, s / 8, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(s / 2, s * 0.45), QPointF(s / 2, s * 0.72));
        p.drawPoint(QPointF(s / 2, s * 0.3));
    } else if (key == u"setup") {
        p.setBrush(QColor(120, 120, 130));
        for (int i = 0; i < 8; ++i) {
            p.save();
            p.translate(s / 2, s / 2);
            p.rotate(i * 45);
            p.drawRect(QRectF(-s * 0.08, -s * 0.45, s * 0.16, s * 0.2));
            p.restore();
        }
        p.drawEllipse(QPointF(s / 2, s / 2), s * 0.3, s * 0.3);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(s / 2, s / 2), s * 0.1, s * 0.1);
    } else if (key == u"close") { // the "record current address" entry: a page with a pin
        p.setBrush(QColor(250, 250, 240));
        p.drawRect(QRectF(s * 0.2, s * 0.1, s * 0.6, s * 0.8));
        p.setBrush(QColor(210, 50, 50));
        p.drawEllipse(QPointF(s * 0.5, s * 0.35), s * 0.14, s * 0.14);
        p.drawLine(QPointF(s * 0.5, s * 0.49), QPointF(s * 0.5, s * 0.75));
    } else if (key == u"internet") {
        p.setBrush(QColor(60, 150, 220));
        p.drawEllipse(box);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(Qt::white, qMax(1.0, s / 20)));
        p.drawEllipse(QRectF(s * 0.32, s * 0.1, s * 0.36, s * 0.8));
        p.drawLine(QPointF(s * 0.1, s * 0.5), QPointF(s * 0.9, s * 0.5));
    } else if (key == u"jiaoan") {
        drawBook(p, box, QColor(180, 60, 60));
    } else if (key == u"viewdetails") { // scores: a small table
        p.setBrush(Qt::white);
        p.drawRect(box);
        p.setBrush(QColor(90, 160, 90));
        p.drawRect(QRectF(box.left(), box.top(), box.width(), box.height() / 4));
        for (int i = 1; i < 4; ++i)
            p.drawLine(QPointF(box.left(), box.top() + box.height() * i / 4),
                       QPointF(box.right(), box.top() + box.height() * i / 4));
        p.drawLine(QPointF(s / 2, box.top()), QPointF(s / 2, box.bottom()));
    } else if (key == u"studenBook") {
        drawBook(p, box, QColor(60, 120, 180));
    } else if (key == u"pen") {
        p.setBrush(QColor(230, 170, 40));
        QPainterPath path;
        path.moveTo(s * 0.15, s * 0.85);
        path.lineTo(s * 0.25, s * 0.6);
        path.lineTo(s * 0.7, s * 0.15);
        path.lineTo(s * 0.85, s * 0.3);
        path.lineTo(s * 0.4, s * 0.75);
        path.closeSubpath();
        p.drawPath(path);
    } else if (key == u"jihua") { // plan: a calendar sheet
        p.setBrush(Qt::white);
        p.drawRect(box);
        p.setBrush(QColor(200, 60, 60));
        p.drawRect(QRectF(box.left(), box.top(), box.width(), box.height() * 0.3));
        p.setPen(QPen(QColor(80, 80, 80), qMax(1.0, s / 20)));
        p.drawLine(QPointF(s * 0.3, s * 0.6), QPointF(s * 0.7, s * 0.6));
        p.drawLine(QPointF(s * 0.3, s * 0.75), QPointF(s * 0.6, s * 0.75));
    } else if (key == u"exit") {
        p.setBrush(QColor(200, 50, 50));
        p.drawEllipse(box);
        p.setPen(QPen(Qt::white, s / 9, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(s * 0.35, s * 0.35), QPointF(s * 0.65, s * 0.65));
        p.drawLine(QPointF(s * 0.65, s * 0.35), QPointF(s * 0.35, s * 0.65));
    } else if (key == u"explorer") { // a library's root: a cabinet of drawers
        p.setBrush(QColor(150, 110, 60));
        p.drawRoundedRect(box, s * 0.06, s * 0.06);
        p.setBrush(QColor(225, 195, 140));
        for (int i = 0; i < 3; ++i)
            p.drawRect(QRectF(box.left() + s * 0.08, box.top() + s * (0.06 + i * 0.24),
                              box.width() - s * 0.16, s * 0.18));
        p.setPen(QPen(QColor(60, 40, 20), qMax(1.0, s / 12), Qt::SolidLine, Qt::RoundCap));
        for (int i = 0; i < 3; ++i)
            p.drawLine(QPointF(s * 0.42, box.top() + s * (0.15 + i * 0.24)),
                       QPointF(s * 0.58, box.top() + s * (0.15 + i * 0.24)));
    } else if (key == u"sortOff" || key == u"sortOn") { // a category: a folder, open when selected
        const bool open = key == u"sortOn";
        p.setBrush(QColor(220, 170, 50));
        QPainterPath back;
        back.moveTo(s * 0.08, s * 0.22);
        back.lineTo(s * 0.38, s * 0.22);
        back.lineTo(s * 0.46, s * 0.3);
        back.lineTo(s * 0.92, s * 0.3);
        back.lineTo(s * 0.92, s * 0.84);
        back.lineTo(s * 0.08, s * 0.84);
        back.closeSubpath();
        p.drawPath(back);
        p.setBrush(open ? QColor(250, 215, 110) : QColor(240, 195, 80));
        QPainterPath front;
        if (open) {
            front.moveTo(s * 0.2, s * 0.42);
            front.lineTo(s * 0.98, s * 0.42);
            front.lineTo(s * 0.86, s * 0.84);
            front.lineTo(s * 0.08, s * 0.84);
        } else {
            front.moveTo(s * 0.08, s * 0.38);
            front.lineTo(s * 0.92, s * 0.38);
            front.lineTo(s * 0.92, s * 0.84);
            front.lineTo(s * 0.08, s * 0.84);
        }
        front.closeSubpath();
        p.drawPath(front);
    } else if (key == u"fileOff" || key == u"fileOn") { // a title: a sheet, marked when selected
        const bool on = key == u"fileOn";
        p.setBrush(Qt::white);
        QPainterPath sheet;
        sheet.moveTo(s * 0.2, s * 0.08);
        sheet.lineTo(s * 0.62, s * 0.08);
        sheet.lineTo(s * 0.8, s * 0.26);
        sheet.lineTo(s * 0.8, s * 0.92);
        sheet.lineTo(s * 0.2, s * 0.92);
        sheet.closeSubpath();
        p.drawPath(sheet);
        p.setPen(QPen(on ? QColor(200, 50, 50) : QColor(110, 110, 120), qMax(1.0, s / 14)));
        for (int i = 0; i < 3; ++i)
            p.drawLine(QPointF(s * 0.3, s * (0.4 + i * 0.16)), QPointF(s * 0.7, s * (0.4 + i * 0.16)));
        if (on) {
            p.setBrush(QColor(200, 50, 50));
            p.setPen(Qt::NoPen);
            p.drawEllipse(QPointF(s * 0.72, s * 0.78), s * 0.14, s * 0.14);
        }
    } else { // "app", "splash": an open book with a red pen
        p.setBrush(QColor(245, 245, 235));
        QPainterPath left, right;
        left.moveTo(s * 0.5, s * 0.3);
        left.quadTo(s * 0.3, s * 0.2, s * 0.08, s * 0.28);
        left.lineTo(s * 0.08, s * 0.82);
        left.quadTo(s * 0.3, s * 0.74, s * 0.5, s * 0.84);
        left.closeSubpath();
        right.moveTo(s * 0.5, s * 0.3);
        right.quadTo(s * 0.7, s * 0.2, s * 0.92, s * 0.28);
        right.lineTo(s * 0.92, s * 0.82);
        right.quadTo(s * 0.7, s * 0.74, s * 0.5, s * 0.84);
        right.closeSubpath();
        p.setBrush(QColor(70, 130, 200));
        p.drawRoundedRect(QRectF(s * 0.05, s * 0.25, s * 0.9, s * 0.62), s * 0.04, s * 0.04);
        p.setBrush(QColor(250, 250, 240));
        p.drawPath(left);
        p.drawPath(right);
        p.setPen(QPen(QColor(200, 40, 40), qMax(1.0, s / 12), Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(s * 0.6, s * 0.62), QPointF(s * 0.88, s * 0.08));
    }
}

} // namespace

QPixmap picture(const QString& key, int size) {
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    paint(p, key, size);
    return pm;
}

QIcon icon(const QString& key) {
    static QHash<QString, QIcon> cache;
    auto it = cache.find(key);
    if (it != cache.end()) return *it;
    QIcon i;
    for (int s : {16, 24, 32, 48})
        i.addPixmap(picture(key, s));
    cache.insert(key, i);
    return i;
}

} // namespace shell
