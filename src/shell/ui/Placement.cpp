#include "Placement.h"

#include <QApplication>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <algorithm>

namespace shell {

namespace {

const QString kOwnerLink = QStringLiteral("veltranoOwnerLink");

// Kept as a child of the dialog: the window it belongs to, for as long as
// that window lives.
class OwnerLink : public QObject {
public:
    OwnerLink(QWidget* dialog, QWidget* owner) : QObject(dialog), owner_(owner) {
        setObjectName(kOwnerLink);
        QPointer<QWidget> d = dialog;
        // A dialog outliving its window would act on a window that is gone
        // (the calendar writes into the plan writer): it closes too, once
        // the window's own destruction is over.
        connect(owner, &QObject::destroyed, this, [d] {
            if (d) QMetaObject::invokeMethod(d, &QWidget::close, Qt::QueuedConnection);
        });
    }
    QWidget* owner() const { return owner_; }

private:
    QPointer<QWidget> owner_;
};

bool framed(const QWidget* w) {
    if (!w || !w->isWindow() || !w->isVisible()) return false;
    switch (w->windowType()) {
    case Qt::Window:
    case Qt::Dialog:
    case Qt::Tool:
        return !(w->windowFlags() & Qt::FramelessWindowHint);
    default:
        return false;
    }
}

QMargins marginsOf(const QWidget* w) {
    const QRect g = w->geometry(), f = w->frameGeometry();
    return {g.left() - f.left(), g.top() - f.top(), f.right() - g.right(), f.bottom() - g.bottom()};
}

} // namespace

QRect keptInside(const QRect& frame, const QRect& available) {
    QRect r(frame.topLeft(), frame.size().boundedTo(available.size()));
    r.moveLeft(std::max(available.left(), std::min(r.left(), available.right() - r.width() + 1)));
    r.moveTop(std::max(available.top(), std::min(r.top(), available.bottom() - r.height() + 1)));
    return r;
}

QRect centredInside(const QSize& size, const QRect& over, const QRect& available) {
    QRect r(QPoint(0, 0), size.boundedTo(available.size()));
    r.moveCenter(over.isEmpty() ? available.center() : over.center());
    return keptInside(r, available);
}

QMargins frameMargins(const QWidget* w, const QWidget* like) {
    if (framed(w)) return marginsOf(w);
    if (framed(like)) return marginsOf(like);
    QMargins widest;
    for (const QWidget* t : QApplication::topLevelWidgets()) {
        if (t == w || !framed(t)) continue;
        const QMargins m = marginsOf(t);
        if (m.top() > widest.top()) widest = m;
    }
    return widest;
}

void placeOnScreen(QWidget* w, const QWidget* over, bool centre) {
    if (!w || !w->isWindow()) return;
    const QWidget* by = over ? over->window() : nullptr;
    if (by && (!by->isVisible() || by == w)) by = nullptr;
    QScreen* screen = by ? by->screen() : nullptr;
    if (!screen && w->testAttribute(Qt::WA_Moved)) screen = QGuiApplication::screenAt(w->pos());
    if (!screen) screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect available = screen->availableGeometry();

    // Shown windows are laid out to their size hint unless sized already:
    // the same size here.
    if (!w->testAttribute(Qt::WA_Resized)) w->adjustSize();
    const QMargins m = frameMargins(w, by);
    // Before the desktop has framed any window of ours its frame is unknown
    // (with a tray, the first tool opens with nothing else on screen): room
    // is left for a usual title bar and border, so that a window made as
    // large as the area does not end below it.
    const QMargins frame = m.isNull() ? QMargins(4, 30, 4, 4) : m;
    const QSize room = available.size().shrunkBy(frame);
    if (w->width() > room.width() || w->height() > room.height()) w->resize(w->size().boundedTo(room));

    // A window's position is that of its frame.
    QRect r = centre ? centredInside(w->size().grownBy(m), by ? by->frameGeometry() : QRect(), available)
                     : QRect(w->pos(), w->size());
    r = keptInside(QRect(r.topLeft(), w->size().grownBy(frame)), available);
    w->move(r.topLeft());
}

void setOwner(QWidget* dialog, QWidget* owner) {
    QWidget* top = owner ? owner->window() : nullptr;
    if (!dialog || !dialog->isWindow() || !top || top == dialog) return;
    if (QObject* old = dialog->findChild<QObject*>(kOwnerLink, Qt::FindDirectChildrenOnly)) {
        if (static_cast<OwnerLink*>(old)->owner() == top) return;
        delete old;
    }
    new OwnerLink(dialog, top);
    // The desktop learns whom the dialog belongs to when it is mapped; both
    // native windows must exist for that.
    top->winId();
    dialog->winId();
    if (QWindow* h = dialog->windowHandle()) h->setTransientParent(top->windowHandle());
}

QWidget* ownerOf(const QWidget* dialog) {
    QObject* link = dialog ? dialog->findChild<QObject*>(kOwnerLink, Qt::FindDirectChildrenOnly) : nullptr;
    return link ? static_cast<OwnerLink*>(link)->owner() : nullptr;
}

} // namespace shell
