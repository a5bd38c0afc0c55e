#include "Frame4Levels.h"

#include "scores/model/ScoreReports.h"
#include "scores/ui/frmStudenCJ.h"
#include "shell/ui/ClearTimer.h"
#include "shell/ui/KeyFilter.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

namespace scores {

Frame4Levels::Frame4Levels(frmStudenCJ* window)
    : TaskFrame(4, QStringLiteral("设置分数等级"), QPoint(2880, 2000), QSize(430, 148), window) {
    title_ = new QComboBox(this);
    title_->setObjectName(QStringLiteral("cobGradeTitle"));
    title_->setEditable(true);
    title_->setInsertPolicy(QComboBox::NoInsert);
    title_->setEditText(QStringLiteral("成绩等级"));
    title_->setGeometry(12, 24, 110, 26);
    connect(title_, &QComboBox::activated, this, &Frame4Levels::chooseLevel);

    auto label = [this](int index, const QString& text, int x, int y, int w, int h) {
        auto* l = new QLabel(text, this);
        l->setObjectName(QStringLiteral("labGrade(%1)").arg(index));
        l->setGeometry(x, y, w, h);
        return l;
    };
    // The line reads: level "的" "卷面总分" start "%".
    label(4, QStringLiteral("的"), 128, 24, 20, 26);
    label(0, QStringLiteral("卷面总分"), 150, 24, 64, 26);
    start_ = new QLineEdit(this);
    start_->setObjectName(QStringLiteral("txtGradeStart"));
    start_->setGeometry(216, 24, 60, 26);
    label(1, QStringLiteral("%"), 280, 24, 16, 26);

    label(2, QStringLiteral("注："), 12, 60, 40, 22);
    QLabel* notes = label(
        3,
        QStringLiteral("1、等级应按从低排始；") + u'\n' +
            QStringLiteral("2、只要划清及格(合格)的分数线，最低等级“不及格”的百分数随便填个“0”就可以；") +
            u'\n' + QStringLiteral("3、最高等级是满分(特级)填“100”。"),
        46, 60, 372, 80);
    notes->setWordWrap(true);
    notes->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    auto* change = new QPushButton(QStringLiteral("更改"), this);
    change->setObjectName(QStringLiteral("cmdGrade(1)"));
    change->setGeometry(300, 22, 56, 30);
    connect(change, &QPushButton::clicked, this, &Frame4Levels::change);
    auto* cancel = new QPushButton(QStringLiteral("取消"), this);
    cancel->setObjectName(QStringLiteral("cmdGrade(0)"));
    cancel->setGeometry(362, 22, 56, 30);
    connect(cancel, &QPushButton::clicked, this, &QWidget::hide);

    // A rejected key shows the message and still lands in the box; a tenth
    // of a second later (the tenth 10 ms tick) the box is emptied.
    timer_ = new shell::ClearTimer(this);
    shell::NumberKeyFilter::install(start_, [this] { timer_->startFor(start_); });

    connect(&model(), &ScoreModel::settingsLoaded, this, &Frame4Levels::syncLevels);
}

void Frame4Levels::open() {
    showAndPlace(true);
    model().LoadSettings();
    title_->setFocus();
}

void Frame4Levels::syncLevels() {
    const ViewState& s = model().viewState();
    const QSignalBlocker block(title_);
    title_->clear();
    title_->addItems(s.levelComboItems);
    title_->setCurrentIndex(s.levelComboItems.isEmpty() ? -1 : 0);
    start_->setText(s.gradeStartText);
}

int Frame4Levels::ticks() const {
    return timer_->ticks();
}

void Frame4Levels::chooseLevel(int position) {
    start_->setText(model().chooseLevel(position));
}

void Frame4Levels::change() {
    title_->setEditText(title_->currentText().trimmed());
    start_->setText(start_->text().trimmed());
    tell(storeLevel(model(), model().viewState().chosenLevel, title_->currentText(), start_->text()));
}

} // namespace scores
