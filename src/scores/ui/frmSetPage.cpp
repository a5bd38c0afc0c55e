#include "frmSetPage.h"

#include "shell/Windows.h"
#include "shell/core/Units.h"
#include "shell/ui/ClearTimer.h"
#include "shell/ui/KeyFilter.h"
#include "shell/ui/MessageBox.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTabBar>

namespace scores {

namespace {

using shell::twipsToPx;

// The sheet in the grey preview square, in twips: portrait and landscape.
const QRect kPortraitSheet(360, 120, 975, 1335);
const QRect kLandscapeSheet(120, 360, 1335, 975);
constexpr int kSquareTwips = 1575;

QRect px(const QRect& twips) {
    return {twipsToPx(twips.x()), twipsToPx(twips.y()), twipsToPx(twips.width()), twipsToPx(twips.height())};
}

} // namespace

frmSetPage::frmSetPage(ScoreModel& model, QWidget* parent) : QWidget(parent, Qt::Dialog), model_(model) {
    setObjectName(QStringLiteral("frmSetPage"));
    setWindowTitle(shell::Windows::caption(QStringLiteral("frmSetPage")));
    setAttribute(Qt::WA_DeleteOnClose);

    tabs_ = new QTabBar(this);
    tabs_->setObjectName(QStringLiteral("tabSetPage"));
    tabs_->setDrawBase(false);
    tabs_->addTab(QStringLiteral("纸张边距"));
    tabs_->setTabData(0, QStringLiteral("pageBianJu"));
    tabs_->addTab(QStringLiteral("纸张类型"));
    tabs_->setTabData(1, QStringLiteral("pageLeiXin"));
    tabs_->setGeometry(16, 8, 340, 30);
    connect(tabs_, &QTabBar::currentChanged, this, &frmSetPage::chooseTab);

    auto frame = [this](int index, const QString& caption, int x, int y, int w, int h) {
        auto* f = new QGroupBox(caption, this);
        f->setObjectName(QStringLiteral("fraSetPage(%1)").arg(index));
        f->setGeometry(x, y, w, h);
        frames_[size_t(index)] = f;
        return f;
    };
    auto label = [](QWidget* parent, const QString& name, const QString& text, int x, int y, int w) {
        auto* l = new QLabel(text, parent);
        l->setObjectName(name);
        l->setGeometry(x, y, w, 26);
        return l;
    };
    timer_ = new shell::ClearTimer(this);
    auto box = [this](QWidget* parent, int index, int x, int y, int w) {
        auto* b = new QLineEdit(parent);
        b->setObjectName(QStringLiteral("txtSetPage(%1)").arg(index));
        b->setGeometry(x, y, w, 26);
        // A rejected key lands in the box and is emptied a moment later.
        shell::NumberKeyFilter::install(b, [this, b] { timer_->startFor(b); });
        boxes_[size_t(index)] = b;
        return b;
    };

    // The two pairs of frames share their places: the tabs show one pair.
    const int left = twipsToPx(360), right = twipsToPx(3120), top = twipsToPx(600);
    QGroupBox* margins = frame(1, QStringLiteral("页面边距"), left, top, 176, 120);
    const char* sides[] = {"上", "下", "左", "右"};
    for (int i = 0; i < 4; ++i) {
        const int x = 12 + (i % 2) * 84, y = 30 + (i / 2) * 40;
        label(margins, QStringLiteral("labSetPage(%1)").arg(i + 1), QString::fromUtf8(sides[i]), x, y, 18);
        box(margins, i + 1, x + 20, y, 52);
    }

    QGroupBox* paper = frame(3, QStringLiteral("纸张类型"), left, top, 176, 120);
    label(paper, QStringLiteral("labSetPage(7)"), QStringLiteral("纸张规格："), 12, 20, 80);
    paper_ = new QComboBox(paper);
    paper_->setObjectName(QStringLiteral("cobSetPage"));
    paper_->addItems(paperNames());
    paper_->setGeometry(12, 46, 156, 26);
    connect(paper_, &QComboBox::activated, this, &frmSetPage::choosePaper);
    label(paper, QStringLiteral("labSetPage(5)"), QStringLiteral("纸宽"), 12, 84, 32);
    box(paper, 5, 44, 84, 42);
    label(paper, QStringLiteral("labSetPage(6)"), QStringLiteral("纸高"), 94, 84, 32);
    box(paper, 6, 126, 84, 42);

    QGroupBox* rows = frame(5, QStringLiteral("打印行数"), right, top, 150, 64);
    label(rows, QStringLiteral("labSetPage(8)"), QStringLiteral("每页打印"), 12, 24, 60);
    box(rows, 7, 74, 24, 40);
    label(rows, QStringLiteral("labSetPage(9)"), QStringLiteral("行"), 118, 24, 16);

    QGroupBox* orientation = frame(4, QStringLiteral("纸张方向"), right, top, 150, 64);
    const char* orientations[] = {"纵向", "横向"};
    for (int i = 0; i < 2; ++i) {
        auto* o = new QRadioButton(QString::fromUtf8(orientations[i]), orientation);
        o->setObjectName(QStringLiteral("optSetPage(%1)").arg(i));
        o->setGeometry(12 + 64 * i, 24, 60, 26);
        connect(o, &QRadioButton::clicked, this,
                [this, i] { chooseOrientation(i == 0 ? Orientation::Portrait : Orientation::Landscape); });
        orient_[size_t(i)] = o;
    }

    QGroupBox* unit = frame(2, QString(), right, top + 72, 150, 48);
    label(unit, QStringLiteral("labSetPage(10)"), QStringLiteral("单位："), 12, 12, 46);
    auto* mm = new QLineEdit(QStringLiteral("  毫米"), unit);
    mm->setObjectName(QStringLiteral("txtSetPageUnit"));
    mm->setReadOnly(true);
    mm->setGeometry(60, 12, 76, 26);

    QGroupBox* preview = frame(0, QStringLiteral("预览"), 372, 8, 130, 152 + 8);
    auto* square = new QWidget(preview);
    square->setObjectName(QStringLiteral("picSetPage(0)"));
    square->setGeometry(12, 32, twipsToPx(kSquareTwips), twipsToPx(kSquareTwips));
    square->setAutoFillBackground(true);
    QPalette grey = square->palette();
    grey.setColor(QPalette::Window, QColor(128, 128, 128));
    square->setPalette(grey);
    sheet_ = new QWidget(square);
    sheet_->setObjectName(QStringLiteral("picSetPage(1)"));
    sheet_->setAutoFillBackground(true);
    QPalette white = sheet_->palette();
    white.setColor(QPalette::Window, Qt::white);
    sheet_->setPalette(white);

    auto* ok = new QPushButton(QStringLiteral("确定"), this);
    ok->setObjectName(QStringLiteral("cmdSetCjPage(1)"));
    ok->setGeometry(338, 176, 78, 30);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &frmSetPage::confirm);
    auto* cancel = new QPushButton(QStringLiteral("取消"), this);
    cancel->setObjectName(QStringLiteral("cmdSetCjPage(0)"));
    cancel->setGeometry(424, 176, 78, 30);
    connect(cancel, &QPushButton::clicked, this, &QWidget::close);

    setFixedSize(514, 218);

    // What the class holds; a paper or orientation out of the lists shows
    // as "自定义" / "纵向".
    const PageSetupForm form = pageSetupForm(model_.classData());
    orientation_ = form.orientation;
    orient_[orientation_ == Orientation::Landscape ? 1 : 0]->setChecked(true);
    paper_->setCurrentIndex(form.paperIndex);
    for (int i = 1; i <= 7; ++i)
        boxes_[size_t(i)]->setText(form.boxes[size_t(i)]);
    showSheet();
    chooseTab(0);
}

void frmSetPage::chooseTab(int index) {
    if (tabs_->currentIndex() != index) {
        const QSignalBlocker block(tabs_);
        tabs_->setCurrentIndex(index);
    }
    const bool margins = index == 0;
    frames_[1]->setVisible(margins);
    frames_[5]->setVisible(margins);
    frames_[3]->setVisible(!margins);
    frames_[4]->setVisible(!margins);
}

void frmSetPage::choosePaper(int index) {
    const QSize mm = paperSizeMm(index);
    const bool portrait = orientation_ == Orientation::Portrait;
    boxes_[5]->setText(QString::number(portrait ? mm.width() : mm.height()));
    boxes_[6]->setText(QString::number(portrait ? mm.height() : mm.width()));
}

void frmSetPage::chooseOrientation(Orientation o) {
    orient_[o == Orientation::Landscape ? 1 : 0]->setChecked(true);
    // Turning the sheet swaps what the width and height boxes hold, typed
    // sizes included, so that turning it back restores them.
    if (o != orientation_) {
        const QString width = boxes_[5]->text();
        boxes_[5]->setText(boxes_[6]->text());
        boxes_[6]->setText(width);
    }
    orientation_ = o;
    showSheet();
}

void frmSetPage::showSheet() {
    sheet_->setGeometry(px(orientation_ == Orientation::Portrait ? kPortraitSheet : kLandscapeSheet));
}

void frmSetPage::confirm() {
    PageSetupInput in;
    for (int i = 1; i <= 7; ++i)
        in.boxes[size_t(i)] = boxes_[size_t(i)]->text();
    in.paperIndex = paper_->currentIndex();
    in.orientation = orientation_;
    const Outcome out = storePageSetup(model_, in);
    shell::MessageBox::showAll(this, out.messages);
    switch (out.reason) {
    case Reason::None:
    case Reason::NotOpen: // the class was closed meanwhile: nothing to set up
        close();
        break;
    default: // refused or not written: the teacher corrects and tries again
        break;
    }
}

} // namespace scores
