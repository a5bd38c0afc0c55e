#include "frmPrintView.h"

#include "shell/Windows.h"
#include "shell/core/Units.h"
#include "shell/ui/MessageBox.h"
#include "shell/ui/PagePainter.h"

#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QResizeEvent>
#include <QScrollBar>
#include <QStatusBar>
#include <QStyle>
#include <QWheelEvent>

namespace scores {

namespace {

using shell::twipsToPx;

constexpr int kPageInset = 600; // the page picture's place in the grey area, twips
constexpr double kScreenDpi = 96.0;

} // namespace

Outcome printScorePages(const ScorePrintLayout& layout, QWidget* parent) {
    QString pdf;
    const Outcome out = shell::printOnDefaultPrinter(layout, parent, layout.title(), &pdf);
    switch (out.reason) {
    case Reason::None:
        if (!pdf.isEmpty())
            shell::MessageBox::show(
                parent,
                QStringLiteral("没有找到打印机，已经打印到文件“%1”！").arg(QDir::toNativeSeparators(pdf)));
        break;
    case Reason::NotChosen: // the file dialog was cancelled: nothing printed, nothing to say
        break;
    default:
        shell::MessageBox::showAll(parent, out.messages);
        break;
    }
    return out;
}

// A dialog of the score window, maximised, that can still be made smaller.
frmPrintView::frmPrintView(QWidget* parent) : QWidget(parent, Qt::Dialog | Qt::WindowMinMaxButtonsHint) {
    setObjectName(QStringLiteral("frmPrintView"));
    setWindowTitle(shell::Windows::caption(QStringLiteral("frmPrintView")));
    setAttribute(Qt::WA_DeleteOnClose);

    // In this order from the left: 打印, 下页, 上页, 放大, 缩小, 退出.
    const int order[] = {5, 1, 2, 3, 4, 0};
    const char* texts[] = {"退出", "下页", "上页", "放大", "缩小", "打印"};
    int x = 6;
    for (int index : order) {
        auto* b = new QPushButton(QString::fromUtf8(texts[index]), this);
        b->setObjectName(QStringLiteral("cmdViewToob(%1)").arg(index));
        b->setGeometry(x, 2, 64, 24);
        x += 68;
        connect(b, &QPushButton::clicked, this, [this, index] { button(index); });
        buttons_[size_t(index)] = b;
    }

    bak_ = new QWidget(this);
    bak_->setObjectName(QStringLiteral("picBak"));
    bak_->setAutoFillBackground(true);
    QPalette grey = bak_->palette();
    grey.setColor(QPalette::Window, QColor(128, 128, 128));
    bak_->setPalette(grey);
    bak_->installEventFilter(this);
    view_ = new QLabel(bak_);
    view_->setObjectName(QStringLiteral("picView"));
    view_->installEventFilter(this);
    viewBak_ = new QLabel(this);
    viewBak_->setObjectName(QStringLiteral("picViewBak"));
    viewBak_->hide();

    hBar_ = new QScrollBar(Qt::Horizontal, this);
    hBar_->setObjectName(QStringLiteral("hslViewWidth"));
    vBar_ = new QScrollBar(Qt::Vertical, this);
    vBar_->setObjectName(QStringLiteral("vslViewHeight"));
    for (QScrollBar* bar : {hBar_, vBar_}) {
        bar->setMinimum(0);
        bar->setSingleStep(20);
        connect(bar, &QScrollBar::valueChanged, this, &frmPrintView::scrolled);
    }

    status_ = new QStatusBar(this);
    status_->setObjectName(QStringLiteral("StatusBar1"));
    status_->setSizeGripEnabled(false);

    resize(1000, 700);
    setWindowState(windowState() | Qt::WindowMaximized);
}

frmPrintView::~frmPrintView() = default;

void frmPrintView::showLayout(std::unique_ptr<ScorePrintLayout> layout) {
    layout_ = std::move(layout);
    page_ = 1;
    half_ = false;
    buttons_[2]->setEnabled(false);
    buttons_[1]->setEnabled(layout_ && layout_->hasPageAfter(1));
    buttons_[5]->setEnabled(bool(layout_));
    drawPage();
}

void frmPrintView::button(int index) {
    if (index == 0) {
        close();
        return;
    }
    if (!layout_) return;
    // Every button first brings the picture back to full size.
    half_ = false;
    switch (index) {
    case 1:
        if (!layout_->hasPageAfter(page_)) break;
        ++page_;
        drawPage();
        break;
    case 2:
        if (page_ <= 1) break;
        --page_;
        drawPage();
        break;
    case 3:
        showPicture();
        break;
    case 4:
        half_ = true;
        showPicture();
        break;
    case 5:
        showPicture();
        printScorePages(*layout_, this);
        break;
    default:
        break;
    }
    buttons_[2]->setEnabled(page_ > 1);
    buttons_[1]->setEnabled(layout_->hasPageAfter(page_));
}

void frmPrintView::drawPage() {
    full_ = layout_ ? shell::renderPage(*layout_, page_ - 1, kScreenDpi) : QImage();
    viewBak_->setPixmap(QPixmap::fromImage(full_));
    viewBak_->resize(full_.size());
    // How the status bar is used is ours to choose: the page shown and how many there are.
    status_->showMessage(layout_ ? QStringLiteral("第 %1 页，共 %2 页").arg(page_).arg(layout_->pageCount())
                                 : QString());
    showPicture();
}

void frmPrintView::showPicture() {
    if (full_.isNull()) {
        view_->clear();
        view_->resize(0, 0);
    } else if (half_) {
        // The full-size image stretched into half the width and height.
        const QImage half = full_.scaled(full_.width() / 2, full_.height() / 2, Qt::IgnoreAspectRatio,
                                         Qt::SmoothTransformation);
        view_->setPixmap(QPixmap::fromImage(half));
        view_->resize(half.size());
    } else {
        view_->setPixmap(QPixmap::fromImage(full_));
        view_->resize(full_.size());
    }
    placeBars();
}

void frmPrintView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (isMinimized()) return;
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const int statusHeight = status_->sizeHint().height();
    const int top = 30;
    const int w = qMax(1, width() - 2 - bar);
    const int h = qMax(1, height() - top - bar - statusHeight);
    bak_->setGeometry(1, top, w, h);
    vBar_->setGeometry(1 + w, top, bar, h);
    hBar_->setGeometry(1, top + h, w, bar);
    status_->setGeometry(0, height() - statusHeight, width(), statusHeight);
    placeBars();
}

void frmPrintView::placeBars() {
    // Each bar reaches as far as the picture stands out of the grey area,
    // with the inset again as room beyond its edge; a bar shows only when
    // the picture does not fit that way.
    const int inset = twipsToPx(kPageInset);
    const int vMax = inset + view_->height() - bak_->height() + inset;
    const int hMax = inset + view_->width() - bak_->width() + inset;
    vBar_->setMaximum(qMax(0, vMax));
    hBar_->setMaximum(qMax(0, hMax));
    vBar_->setPageStep(qMax(1, bak_->height()));
    hBar_->setPageStep(qMax(1, bak_->width()));
    vBar_->setVisible(inset + view_->height() > bak_->height());
    hBar_->setVisible(inset + view_->width() > bak_->width());
    scrolled();
}

void frmPrintView::scrolled() {
    const int inset = twipsToPx(kPageInset);
    view_->move(inset - hBar_->value(), inset - vBar_->value());
}

bool frmPrintView::eventFilter(QObject* watched, QEvent* event) {
    // The wheel over the page scrolls it, as the bars do.
    if (event->type() == QEvent::Wheel && (watched == bak_ || watched == view_)) {
        auto* wheel = static_cast<QWheelEvent*>(event);
        QScrollBar* bar = (wheel->modifiers() & Qt::ShiftModifier) ? hBar_ : vBar_;
        bar->setValue(bar->value() - wheel->angleDelta().y() / 2);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace scores
