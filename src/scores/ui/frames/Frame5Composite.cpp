#include "Frame5Composite.h"

#include "scores/ui/frmStudenCJ.h"
#include "shell/ui/KeyFilter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace scores {

namespace {
constexpr int kTop = 52;  // first subject row
constexpr int kStep = 26; // row pitch
} // namespace

Frame5Composite::Frame5Composite(frmStudenCJ* window)
    : TaskFrame(5, QStringLiteral("设置学生个人综合分计算公式"), QPoint(2880, 2000), QSize(300, 120),
                window) {
    title_ = new QComboBox(this);
    title_->setObjectName(QStringLiteral("cobZHF"));
    title_->setEditable(true);
    title_->setInsertPolicy(QComboBox::NoInsert);
    title_->addItems(kTotalTitles);
    title_->setEditText(QStringLiteral("综合分"));
    title_->setGeometry(12, 18, 100, 26);
    auto* equals = new QLabel(QStringLiteral("="), this);
    equals->setGeometry(118, 18, 16, 26);

    for (int k = 0; k < kSlots; ++k) {
        const int y = kTop + kStep * k;
        Row& r = rows_[k];
        r.plus = new QLabel(QStringLiteral("+"), this);
        r.plus->setObjectName(QStringLiteral("labStdSum(%1)").arg(k));
        r.plus->setGeometry(24, y, 14, 24);
        r.plus->setAlignment(Qt::AlignCenter);
        r.check = new QCheckBox(QStringLiteral(" 语文卷面分 X"), this);
        r.check->setObjectName(QStringLiteral("cekJMFS(%1)").arg(k));
        r.check->setGeometry(40, y, 160, 24);
        r.weight = new QLineEdit(QStringLiteral("100"), this);
        r.weight->setObjectName(QStringLiteral("txtBFS(%1)").arg(k));
        r.weight->setGeometry(204, y, 56, 24);
        shell::NumberKeyFilter::install(r.weight);
        r.percent = new QLabel(QStringLiteral("%"), this);
        r.percent->setObjectName(QStringLiteral("labBFH(%1)").arg(k));
        r.percent->setGeometry(264, y, 16, 24);
    }

    auto* ok = new QPushButton(QStringLiteral("确定"), this);
    ok->setObjectName(QStringLiteral("cmdStdCJSum(1)"));
    connect(ok, &QPushButton::clicked, this, &Frame5Composite::confirm);
    auto* cancel = new QPushButton(QStringLiteral("取消"), this);
    cancel->setObjectName(QStringLiteral("cmdStdCJSum(0)"));
    connect(cancel, &QPushButton::clicked, this, &QWidget::hide);
    buttons_[0] = ok;
    buttons_[1] = cancel;
    connect(&model(), &ScoreModel::settingsLoaded, this,
            [this] { showRows(model().classData().subjectCount); });
    showRows(0);
}

void Frame5Composite::showRows(int count) {
    count = qBound(0, count, kSlots);
    for (int k = 0; k < kSlots; ++k) {
        const bool on = k < count;
        rows_[k].plus->setVisible(on && k > 0); // "+" between rows
        rows_[k].check->setVisible(on);
        rows_[k].weight->setVisible(on);
        rows_[k].percent->setVisible(on);
    }
    const int bottom = kTop + kStep * count + 6;
    buttons_[0]->setGeometry(96, bottom, 64, 30);
    buttons_[1]->setGeometry(170, bottom, 64, 30);
    resize(width(), bottom + 40);
}

void Frame5Composite::open() {
    showAndPlace(true);
    const CompositeForm form = compositeForm(model().classData());
    for (int k = 0; k < int(form.rows.size()) && k < kSlots; ++k) {
        rows_[k].check->setText(form.captions[k]);
        rows_[k].weight->setText(form.rows[k].weight);
        rows_[k].check->setChecked(form.rows[k].checked);
    }
    showRows(int(form.rows.size()));
    title_->setEditText(form.title);
}

void Frame5Composite::confirm() {
    QList<FormulaRow> rows;
    for (int k = 0; k < model().classData().subjectCount && k < kSlots; ++k)
        rows << FormulaRow{rows_[k].check->isChecked(), rows_[k].weight->text()};
    const Outcome o = saveCompositeFormula(model(), title_->currentText(), rows);
    tell(o);
    if (o.ok) hide();
}

} // namespace scores
