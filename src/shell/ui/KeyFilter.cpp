#include "KeyFilter.h"

#include "MessageBox.h"

#include <QKeyEvent>
#include <QPointer>
#include <QWidget>

namespace shell {

NumberKeyFilter::NumberKeyFilter(QObject* parent, std::function<void()> onRejected)
    : QObject(parent), onRejected_(std::move(onRejected)) {}

const QString& NumberKeyFilter::message() {
    static const QString m = QStringLiteral("分数只能以数字表示，请重做！");
    return m;
}

bool NumberKeyFilter::accepts(QChar ch) {
    const ushort u = ch.unicode();
    return (u >= 46 && u <= 57) || u == 8;
}

NumberKeyFilter* NumberKeyFilter::install(QObject* target, std::function<void()> onRejected) {
    auto* f = new NumberKeyFilter(target, std::move(onRejected));
    target->installEventFilter(f);
    return f;
}

bool NumberKeyFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    const QString t = key->text();
    if (t.isEmpty() || key->key() == Qt::Key_Backspace) return false;
    if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
    const QChar ch = t.at(0);
    if (ch.category() == QChar::Other_Control) return false; // Enter, Tab, Esc
    if (accepts(ch)) return false;
    // The key is still taken: the box gets it first, then the teacher is told.
    QPointer<QObject> guard(watched);
    static_cast<QObject*>(watched)->event(event);
    MessageBox::show(guard ? qobject_cast<QWidget*>(watched) : nullptr, message());
    if (onRejected_) onRejected_();
    return true;
}

} // namespace shell
