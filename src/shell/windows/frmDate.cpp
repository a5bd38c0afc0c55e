#include "frmDate.h"

#include "shell/Windows.h"
#include "shell/core/Calendar.h"
#include "shell/core/Units.h"

#include <QComboBox>
#include <QDate>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLinearGradient>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QTime>
#include <QTimer>
#include <QVariant>
#include <algorithm>
#include <cmath>

namespace shell {

const QColor frmDate::kCellColor(224, 224, 224);
const QColor frmDate::kHighlightColor(100, 135, 220);

namespace {

// Twips of the calendar grid, as pixels.
constexpr int kCell = 255, kAcross = 480, kDown = 360, kLeft = 120, kTop = 480;

QRect twipRect(int x, int y, int w, int h) {
    return QRect(twipsToPx(x), twipsToPx(y), twipsToPx(w), twipsToPx(h));
}

// The month pictures: a season's colours, the month's name and a simple
// sign of the season (blossom, sun, leaf, snow).
QPixmap monthPicture(int month) {
    static const QColor top[4] = {QColor(150, 205, 120), QColor(255, 196, 70), QColor(230, 140, 60),
                                  QColor(150, 185, 230)};
    static const QColor bottom[4] = {QColor(235, 250, 220), QColor(255, 245, 200), QColor(250, 230, 200),
                                     QColor(245, 250, 255)};
    const int season = month == 12 ? 3 : (month - 3 + 12) % 12 / 3; // 3-5 spring … 12-2 winter
    QPixmap pm(144, 118);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 0, pm.height());
    g.setColorAt(0, top[season]);
    g.setColorAt(1, bottom[season]);
    p.fillRect(pm.rect(), g);
    p.setPen(Qt::NoPen);
    const QPointF c(112, 30);
    switch (season) {
    case 0: // blossom
        p.setBrush(QColor(255, 170, 200));
        for (int i = 0; i < 5; ++i) {
            const double a = i * 2 * M_PI / 5;
            p.drawEllipse(c + QPointF(9 * std::cos(a), 9 * std::sin(a)), 8, 8);
        }
        p.setBrush(QColor(255, 230, 120));
        p.drawEllipse(c, 5, 5);
        break;
    case 1: // sun
        p.setBrush(QColor(255, 120, 40));
        p.drawEllipse(c, 15, 15);
        break;
    case 2: { // leaf
        p.setBrush(QColor(200, 80, 30));
        QPainterPath leaf;
        leaf.moveTo(c + QPointF(-16, 14));
        leaf.quadTo(c + QPointF(-16, -16), c + QPointF(16, -14));
        leaf.quadTo(c + QPointF(14, 16), c + QPointF(-16, 14));
        p.drawPath(leaf);
        break;
    }
    default: // snow
        p.setPen(QPen(Qt::white, 3, Qt::SolidLine, Qt::RoundCap));
        for (int i = 0; i < 3; ++i) {
            const double a = i * M_PI / 3;
            p.drawLine(c + QPointF(15 * std::cos(a), 15 * std::sin(a)),
                       c - QPointF(15 * std::cos(a), 15 * std::sin(a)));
        }
        break;
    }
    QFont f(QStringLiteral("华文新魏"));
    f.setPixelSize(34);
    p.setFont(f);
    p.setPen(QColor(60, 60, 60));
    p.drawText(QRect(8, 50, pm.width() - 16, 60), Qt::AlignLeft | Qt::AlignBottom, monthName(month));
    return pm;
}

} // namespace

frmDate::frmDate(QWidget* parent) : QWidget(parent, Qt::Dialog) {
    setObjectName(QStringLiteral("frmDate"));
    setWindowTitle(Windows::caption(QStringLiteral("frmDate")));

    Text1_ = new QLineEdit(QStringLiteral("2003"), this);
    Text1_->setObjectName(QStringLiteral("Text1"));
    Text1_->setGeometry(8, 8, 56, 26);
    auto* up = new QPushButton(QStringLiteral("A"), this);
    auto* down = new QPushButton(QStringLiteral("V"), this);
    up->setObjectName(QStringLiteral("cmdYear(0)"));
    down->setObjectName(QStringLiteral("cmdYear(1)"));
    up->setToolTip(QStringLiteral("下一年"));
    down->setToolTip(QStringLiteral("上一年"));
    up->setGeometry(66, 8, 22, 13);
    down->setGeometry(66, 21, 22, 13);
    for (QPushButton* b : {up, down}) {
        QFont f = b->font();
        f.setPixelSize(9);
        b->setFont(f);
        b->setFocusPolicy(Qt::NoFocus);
    }
    connect(up, &QPushButton::clicked, this, [this] { stepYear(1); });
    connect(down, &QPushButton::clicked, this, [this] { stepYear(-1); });

    auto* yearLabel = new QLabel(QStringLiteral("年"), this);
    yearLabel->setObjectName(QStringLiteral("labSetTime(0)"));
    yearLabel->setGeometry(92, 8, 18, 26);
    cobMonth_ = new QComboBox(this);
    cobMonth_->setObjectName(QStringLiteral("cobMonth"));
    cobMonth_->setEditable(true);
    cobMonth_->setInsertPolicy(QComboBox::NoInsert);
    for (int m = 1; m <= 12; ++m)
        cobMonth_->addItem(monthName(m));
    cobMonth_->setGeometry(114, 8, 96, 26);
    auto* monthLabel = new QLabel(QStringLiteral("月"), this);
    monthLabel->setObjectName(QStringLiteral("labSetTime(1)"));
    monthLabel->setGeometry(214, 8, 18, 26);

    // The grid's background; its colour is the normal cell colour.
    auto* Picture1 = new QWidget(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setAutoFillBackground(true);
    QPalette pal = Picture1->palette();
    pal.setColor(QPalette::Window, kCellColor);
    Picture1->setPalette(pal);
    Picture1->setGeometry(
        QRect(QPoint(8, 42), twipRect(0, 0, kLeft + 7 * kAcross, kTop + 5 * kDown + kCell + 120).size()));

    QFont cellFont = font();
    cellFont.setPixelSize(11);
    for (int i = 1; i <= 42; ++i) {
        auto* cell = new QLabel(Picture1);
        cell->setObjectName(QStringLiteral("labDate(%1)").arg(i));
        const int row = (i - 1) / 7, col = (i - 1) % 7;
        cell->setGeometry(twipRect(kLeft + col * kAcross, kTop + row * kDown, kCell, kCell));
        cell->setAlignment(Qt::AlignCenter);
        cell->setFont(cellFont);
        cell->setAutoFillBackground(true);
        QPalette cp = cell->palette();
        cp.setColor(QPalette::Window, kCellColor);
        if (col == 0)
            cp.setColor(QPalette::WindowText, Qt::red);
        else if (col == 6)
            cp.setColor(QPalette::WindowText, QColor(255, 0, 255));
        cell->setPalette(cp);
        cell->setProperty("index", i);
        cell->installEventFilter(this);
        cell->hide();
        labDate_[i] = cell;
    }
    // The weekday header lines up with the columns: the blanks between the
    // names are widened to the grid's column spacing.
    auto* labWeek = new QLabel(QStringLiteral(" 日  一  二  三  四  五  六"), Picture1);
    labWeek->setObjectName(QStringLiteral("labWeek"));
    {
        QFont wf = cellFont;
        wf.setPixelSize(12);
        const QFontMetricsF fm(wf);
        const double name = fm.horizontalAdvance(QStringLiteral("日")), blank = fm.horizontalAdvance(u' ');
        const double spacing = (twipsToPx(kAcross) - name - 2 * blank) / 3.0;
        wf.setLetterSpacing(QFont::AbsoluteSpacing, spacing);
        labWeek->setFont(wf);
        const double firstCentre = twipsToPx(kLeft) + twipsToPx(kCell) / 2.0;
        const int x = int(std::lround(firstCentre - (blank + spacing) - name / 2));
        labWeek->setGeometry(x, twipsToPx(120), Picture1->width() - x, twipsToPx(kTop - 120) - 4);
        labWeek->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    }
    labDate_[0] = new QLabel(QStringLiteral("31"), this);
    labDate_[0]->setObjectName(QStringLiteral("labDate(0)"));
    labDate_[0]->setToolTip(QStringLiteral("选定的日"));
    labDate_[0]->setGeometry(236, 8, 22, 26);
    labDate_[0]->setAlignment(Qt::AlignCenter);
    labDate_[0]->hide(); // the highlight in the grid shows it

    const int right = Picture1->geometry().right() + 10;
    for (int m = 0; m <= 12; ++m) {
        imgMonth_[m] = new QLabel(this);
        imgMonth_[m]->setObjectName(QStringLiteral("imgMonth(%1)").arg(m));
        imgMonth_[m]->setGeometry(right, 8, 144, 118);
        imgMonth_[m]->setFrameShape(QFrame::StyledPanel);
        if (m > 0) {
            imgMonth_[m]->setPixmap(monthPicture(m));
            imgMonth_[m]->hide();
        }
    }

    labTim_[0] = new QLabel(QStringLiteral("当前时间:"), this);
    labTim_[0]->setObjectName(QStringLiteral("labTim(0)"));
    labTim_[0]->setGeometry(right, 132, 144, 20);
    for (int i = 1; i <= 2; ++i) {
        labTim_[i] = new QLabel(this);
        labTim_[i]->setObjectName(QStringLiteral("labTim(%1)").arg(i));
        QFont tf = labTim_[i]->font();
        tf.setPixelSize(16);
        tf.setBold(true);
        labTim_[i]->setFont(tf);
        // The second copy lies 15 twips right and down of the first: a shadow.
        labTim_[i]->setGeometry(right + 8 + (i == 1 ? 1 : 0), 152 + (i == 1 ? 1 : 0), 136, 24);
        QPalette tp = labTim_[i]->palette();
        tp.setColor(QPalette::WindowText, i == 1 ? QColor(150, 150, 150) : QColor(20, 60, 150));
        labTim_[i]->setPalette(tp);
    }
    labTim_[2]->raise();

    const char16_t* captions[4] = {u"取消", u"确定", u"确定", u"关闭"};
    const int buttonTop = Picture1->geometry().bottom() - 27;
    for (int i = 0; i < 4; ++i) {
        cmdYesNo_[i] = new QPushButton(QString::fromUtf16(captions[i]), this);
        cmdYesNo_[i]->setObjectName(QStringLiteral("cmdYesNo(%1)").arg(i));
        // 1, 2 and 3 lie in one place left of "取消"; a caller shows one.
        cmdYesNo_[i]->setGeometry(i == 0 ? right + 76 : right, buttonTop, 68, 28);
        if (i > 0) cmdYesNo_[i]->hide();
    }
    connect(cmdYesNo_[0], &QPushButton::clicked, this, &QWidget::close);
    connect(cmdYesNo_[1], &QPushButton::clicked, this, [this] { choose(SemesterStart); });
    connect(cmdYesNo_[2], &QPushButton::clicked, this, [this] { choose(TermEnd); });
    connect(cmdYesNo_[3], &QPushButton::clicked, this, &QWidget::close);

    setFixedSize(right + 144 + 8, Picture1->geometry().bottom() + 9);

    connect(cobMonth_, &QComboBox::currentTextChanged, this, [this] {
        if (!loading_) ShowMonth();
    });

    Timer1_ = new QTimer(this);
    Timer1_->setObjectName(QStringLiteral("Timer1"));
    Timer1_->setInterval(100);
    connect(Timer1_, &QTimer::timeout, this, &frmDate::tick);
    Timer1_->start();
    tick();

    // Today.
    const QDate today = QDate::currentDate();
    Text1_->setText(QString::number(today.year()));
    cobMonth_->setCurrentIndex(today.month() - 1);
    labDate_[0]->setText(QString::number(today.day()));
    loading_ = false;
    ShowMonth();
}

frmDate* frmDate::openFor(Purpose purpose, QWidget* caller) {
    auto* w = qobject_cast<frmDate*>(Windows::instance().open(QStringLiteral("frmDate"), caller));
    if (!w) return nullptr;
    w->setWindowTitle(purpose == SemesterStart ? QStringLiteral("日历表＿设置开学时间")
                                               : QStringLiteral("日历表＿设置期末时间"));
    for (int i = 1; i <= 3; ++i)
        w->cmdYesNo_[i]->setVisible(i == int(purpose));
    return w;
}

void frmDate::ShowMonth() {
    std::optional<int> year = parseYear(Text1_->text());
    // No date can be formed from the year box: it goes back to the year the
    // grid shows, and a new month is shown in that year.
    if (!year) {
        year = year_;
        Text1_->setText(QString::number(year_));
    }
    if (const int m = monthNumber(cobMonth_->currentText()); m > 0) month_ = m;
    const std::optional<MonthLayout> layout = layoutMonth(*year, month_);
    if (!layout) return;
    year_ = *year;
    days_ = layout->days;
    imgMonth_[0]->setPixmap(imgMonth_[month_]->pixmap());
    const int highlighted = dayShown();
    for (int i = 1; i <= 42; ++i) {
        QLabel* cell = labDate_[i];
        QPalette p = cell->palette();
        p.setColor(QPalette::Window, kCellColor);
        cell->setPalette(p);
        cell->clear();
        cell->hide();
    }
    for (int d = 1; d <= layout->days; ++d) {
        QLabel* cell = labDate_[layout->cellOf(d)];
        cell->setText(QString::number(d));
        if (d == highlighted) {
            QPalette p = cell->palette();
            p.setColor(QPalette::Window, kHighlightColor);
            cell->setPalette(p);
        }
        cell->show();
    }
}

int frmDate::dayShown() const {
    // The chosen day, or the month's last when the month is shorter.
    const int chosen = labDate_[0]->text().toInt();
    return std::clamp(chosen, 1, days_);
}

void frmDate::clickDay(int index) {
    for (int i = 1; i <= 42; ++i) {
        QPalette p = labDate_[i]->palette();
        p.setColor(QPalette::Window, i == index ? kHighlightColor : kCellColor);
        labDate_[i]->setPalette(p);
    }
    labDate_[0]->setText(labDate_[index]->text());
}

bool frmDate::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease) {
        auto* me = static_cast<QMouseEvent*>(event);
        const int index = watched->property("index").toInt();
        if (me->button() == Qt::LeftButton && index >= 1 && index <= 42) {
            clickDay(index);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void frmDate::stepYear(int delta) {
    // Only a year box holding a number can be stepped.
    bool ok = false;
    const qlonglong y = Text1_->text().trimmed().toLongLong(&ok);
    if (ok) Text1_->setText(QString::number(y + delta));
    ShowMonth();
}

QString frmDate::dateText() const {
    return shell::dateText(QDate(year_, month_, dayShown()));
}

void frmDate::choose(int purpose) {
    // A year typed but not yet shown counts: the grid catches up first.
    ShowMonth();
    Q_EMIT dateChosen(purpose, dateText());
    close();
}

void frmDate::tick() {
    // The default locale is the system's: the program sets no other.
    const QLocale locale;
    const QString now = locale.toString(QTime::currentTime(), clockFormat(locale));
    labTim_[1]->setText(now);
    labTim_[2]->setText(now);
}

} // namespace shell
