#include "frmTarvek.h"

#include "shell/Windows.h"
#include "shell/core/Branding.h"
#include "shell/ui/Icons.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

namespace shell {

namespace {
QLabel* titleLabel(QWidget* parent, const QColor& color) {
    auto* l = new QLabel(productTitle(), parent);
    QFont f(QStringLiteral("华文新魏"));
    f.setPointSize(26);
    l->setFont(f);
    QPalette p = l->palette();
    p.setColor(QPalette::WindowText, color);
    l->setPalette(p);
    l->adjustSize();
    return l;
}
} // namespace

frmTarvek::frmTarvek(QWidget* parent) : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("frmTarvek"));
    setWindowTitle(Windows::caption(QStringLiteral("frmTarvek")));
    setFixedSize(480, 280);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(250, 248, 238));
    setPalette(pal);

    auto* pic = new QLabel(this);
    pic->setPixmap(picture(QStringLiteral("splash"), 96));
    pic->setGeometry(24, 40, 96, 96);
    // The title twice: a shadow and the title over it.
    QLabel* shadow = titleLabel(this, QColor(170, 170, 170));
    shadow->setObjectName(QStringLiteral("labTitle(1)"));
    shadow->move(142, 52);
    QLabel* title = titleLabel(this, QColor(30, 70, 150));
    title->setObjectName(QStringLiteral("labTitle(0)"));
    title->move(140, 50);
    auto* version = new QLabel(versionLine(), this);
    version->setObjectName(QStringLiteral("labVersion"));
    version->move(144, 110);
    int y = 190;
    for (const QString& line : contactLines()) {
        auto* l = new QLabel(line, this);
        l->move(24, y);
        y += 24;
    }

    if (QScreen* s = QGuiApplication::primaryScreen())
        move(s->availableGeometry().center() - rect().center());

    ticks_ = 0;
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(100);
    connect(Timer1, &QTimer::timeout, this, &frmTarvek::tick);
    Timer1->start();
}

void frmTarvek::tick() {
    ++ticks_;
    if (ticks_ == 10) Windows::instance().load(QStringLiteral("frmTray"));
    if (ticks_ == 20) {
        Timer1->stop();
        Windows::instance().unload(QStringLiteral("frmTarvek"));
    }
}

} // namespace shell
