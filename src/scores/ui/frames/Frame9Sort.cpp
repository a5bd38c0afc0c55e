#include "Frame9Sort.h"

#include "scores/model/ScoreSortFilter.h"
#include "scores/ui/frmStudenCJ.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>

namespace scores {

Frame9Sort::Frame9Sort(frmStudenCJ* window)
    : TaskFrame(9, QStringLiteral("高级排序"), QPoint(3300, 2500), QSize(300, 104), window) {
    auto* label = new QLabel(QStringLiteral("主要按"), this);
    label->setObjectName(QStringLiteral("labSetSort"));
    label->setGeometry(12, 24, 48, 26);
    key_ = new QComboBox(this);
    key_->setObjectName(QStringLiteral("cobSetSort"));
    key_->setGeometry(62, 24, 110, 26);
    connect(key_, &QComboBox::activated, this, [this](int index) { ChooseKeyColumn(model(), index); });

    const char* captions[] = {"递减", "递增"};
    for (int i = 0; i < 2; ++i) {
        direction_[i] = new QRadioButton(QString::fromUtf8(captions[i]), this);
        direction_[i]->setObjectName(QStringLiteral("optSetSort(%1)").arg(i));
        direction_[i]->setGeometry(184 + 56 * i, 24, 54, 26);
        connect(direction_[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on) model().setSortDescending(i == 0);
        });
    }
    direction_[0]->setChecked(true);

    auto* ok = new QPushButton(QStringLiteral("确定"), this);
    ok->setObjectName(QStringLiteral("cmdSetSortYesNo(1)"));
    ok->setGeometry(80, 62, 64, 30);
    connect(ok, &QPushButton::clicked, this, &Frame9Sort::confirm);
    auto* cancel = new QPushButton(QStringLiteral("取消"), this);
    cancel->setObjectName(QStringLiteral("cmdSetSortYesNo(0)"));
    cancel->setGeometry(156, 62, 64, 30);
    connect(cancel, &QPushButton::clicked, this, &QWidget::hide);

    connect(&model(), &ScoreModel::subjectCombosChanged, this, &Frame9Sort::syncKeys);

    // "升序" and "降序": the score table sorted on the total and the average.
}

void Frame9Sort::syncKeys() {
    const ViewState& s = model().viewState();
    {
        const QSignalBlocker block(key_);
        key_->clear();
        key_->addItems(s.sortKeyItems);
        key_->setCurrentIndex(-1); // cleared, as the heading clears the list
    }
    direction_[s.sortDescending ? 0 : 1]->setChecked(true);
}

void Frame9Sort::open() {
    showAndPlace(false);
    OpenAdvancedSort(model());
}

void Frame9Sort::confirm() {
    const Outcome o = ConfirmAdvancedSort(model());
    tell(o);
    if (o.ok) hide();
}

} // namespace scores
