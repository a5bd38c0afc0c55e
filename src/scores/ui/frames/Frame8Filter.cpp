#include "Frame8Filter.h"

#include "GapLabel.h"
#include "scores/ui/frmStudenCJ.h"
#include "shell/ui/KeyFilter.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>

namespace scores {

Frame8Filter::Frame8Filter(frmStudenCJ* window)
    : TaskFrame(8, QStringLiteral("高级筛选"), QPoint(3500, 2500), QSize(384, 236), window) {
    // Filters 0 and 1 take a subject and a number; they head the frame with
    // the combo and the box beside them. The seven class-wide filters follow
    // in two columns.
    for (int i = 0; i < kFilterCount; ++i) {
        filters_[i] = new QRadioButton(filterCaption(i), this);
        filters_[i]->setObjectName(QStringLiteral("optSetFilter(%1)").arg(i));
        if (i < 2)
            filters_[i]->setGeometry(12, 22 + 26 * i, 176, 24);
        else if (i < 6)
            filters_[i]->setGeometry(12, 88 + 26 * (i - 2), 176, 24);
        else
            filters_[i]->setGeometry(196, 88 + 26 * (i - 6), 176, 24);
        connect(filters_[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on) chooseFilter(i);
        });
    }
    subject_ = new QComboBox(this);
    subject_->setObjectName(QStringLiteral("cobSetFilter"));
    subject_->setGeometry(196, 22, 100, 26);
    connect(subject_, &QComboBox::activated, this, &Frame8Filter::chooseSubject);

    unit_ = new GapLabel(QStringLiteral("前      名"), this);
    unit_->setObjectName(QStringLiteral("labSetFilter"));
    unit_->setGeometry(196, 50, 120, 26);
    number_ = new QLineEdit(this);
    number_->setObjectName(QStringLiteral("txtSetFilter"));
    number_->resize(48, 24);
    unit_->holdBox(number_, 48);
    shell::NumberKeyFilter::install(number_);
    connect(number_, &QLineEdit::textEdited, this, &Frame8Filter::numberTyped);

    auto* ok = new QPushButton(QStringLiteral("确定"), this);
    ok->setObjectName(QStringLiteral("cmdSetFilterYesNo(1)"));
    ok->setGeometry(116, 196, 64, 30);
    connect(ok, &QPushButton::clicked, this, &Frame8Filter::confirm);
    auto* cancel = new QPushButton(QStringLiteral("取消"), this);
    cancel->setObjectName(QStringLiteral("cmdSetFilterYesNo(0)"));
    cancel->setGeometry(196, 196, 64, 30);
    connect(cancel, &QPushButton::clicked, this, &QWidget::hide);

    filters_[0]->setChecked(true);
    connect(&model(), &ScoreModel::subjectCombosChanged, this, &Frame8Filter::syncSubjects);
}

int Frame8Filter::selected() const {
    for (int i = 0; i < kFilterCount; ++i)
        if (filters_[i]->isChecked()) return i;
    return 0;
}

void Frame8Filter::open() {
    OpenFilter(model());
    showAndPlace(false);
    filters_[qBound(0, model().viewState().filterIndex, kFilterCount - 1)]->setChecked(true);
}

void Frame8Filter::syncSubjects() {
    const QSignalBlocker block(subject_);
    subject_->clear();
    subject_->addItems(model().viewState().filterKeyItems);
    subject_->setCurrentIndex(-1); // cleared, as the heading clears the list
}

void Frame8Filter::chooseFilter(int index) {
    model().setFilterIndex(index);
    if (const QString unit = filterUnit(index); !unit.isEmpty()) {
        unit_->setText(unit);
        unit_->holdBox(number_, 48);
    }
}

void Frame8Filter::rebuildCaption() {
    const int i = selected();
    if (i <= 1) filters_[i]->setText(subjectFilterCaption(i, subject_->currentText(), number_->text()));
}

void Frame8Filter::chooseSubject(int index) {
    rebuildCaption();
    ChooseKeyColumn(model(), index);
}

void Frame8Filter::numberTyped() {
    const Outcome check = CheckFilterNumber(model(), selected(), number_->text());
    if (!check.ok) {
        tell(check);
        number_->clear();
        return;
    }
    rebuildCaption();
}

void Frame8Filter::confirm() {
    const Outcome o = RunFilter(model(), selected(), number_->text(), subject_->currentText());
    tell(o);
    if (o.ok) hide();
}

} // namespace scores
