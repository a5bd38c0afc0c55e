#pragma once

#include <QPointer>
#include <QTimer>

class QLineEdit;

namespace shell {

// Empties a number box a moment after a rejected key: the key filter shows
// its message and the key still lands in the box; at the tenth tick of this
// 10 ms timer the box it was typed in is emptied and the timer stops. The
// score window's grade-start box and the page-setup boxes share it.
class ClearTimer : public QTimer {
    Q_OBJECT
public:
    static constexpr int kTicks = 10;

    // Named "timReText", the number boxes' timer.
    explicit ClearTimer(QObject* parent = nullptr);
    // Starts counting afresh for `box`.
    void startFor(QLineEdit* box);
    // Ticks since the last start.
    int ticks() const { return ticks_; }

private:
    void tick();
    QPointer<QLineEdit> box_;
    int ticks_ = 0;
};

} // namespace shell
