#include "ClearTimer.h"

#include <QLineEdit>

namespace shell {

ClearTimer::ClearTimer(QObject* parent) : QTimer(parent) {
    setObjectName(QStringLiteral("timReText"));
    setInterval(10);
    connect(this, &QTimer::timeout, this, &ClearTimer::tick);
}

void ClearTimer::startFor(QLineEdit* box) {
    box_ = box;
    ticks_ = 0;
    start();
}

void ClearTimer::tick() {
    if (++ticks_ < kTicks) return;
    stop();
    if (box_) box_->clear();
}

} // namespace shell
