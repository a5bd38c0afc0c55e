#pragma once

#include <QWidget>

class QTimer;

namespace shell {

// The splash window the program starts with. Its 100 ms timer loads the
// hidden main window frmTray at the 10th tick and closes the splash at the
// 20th.
class frmTarvek : public QWidget {
    Q_OBJECT
public:
    explicit frmTarvek(QWidget* parent = nullptr);
    int ticks() const { return ticks_; }
    // One timer tick (public so that tests can step it).
    void tick();

private:
    qint16 ticks_ = 0;
    QTimer* Timer1;
};

} // namespace shell
