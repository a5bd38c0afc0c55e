#include "Frame6Points.h"

#include "GapLabel.h"
#include "scores/ui/frmStudenCJ.h"
#include "shell/ui/KeyFilter.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace scores {

namespace {
constexpr int kTop = 46;
constexpr int kStep = 26;
} // namespace

Frame6Points::Frame6Points(frmStudenCJ* window)
    : TaskFrame(6, QStringLiteral("设置单科积分计算公式"), QPoint(3000, 2000), QSize(300, 120), window) {
    for (int p = 0; p < 10; ++p) {
        Row& r = rows_[p];
        r.sum = new QLabel(
            p == 0 ? QStringLiteral("单科积分") : (p == 9 ? QStringLiteral("X") : QStringLiteral("+")), this);
        r.sum->setObjectName(QStringLiteral("labSubjectSum(%1)").arg(p));
        r.check = new QCheckBox(p == 9 ? QStringLiteral("参考率") : QStringLiteral("平均分 X"), this);
        r.check->setObjectName(QStringLiteral("cekDKGL(%1)").arg(p));
        r.weight = new QLineEdit(p == 9 ? QStringLiteral("0") : QStringLiteral("100"), this);
        r.weight->setObjectName(QStringLiteral("txtSubjectBFS(%1)").arg(p));
        shell::NumberKeyFilter::install(r.weight);
        r.unit = p == 9 ? new GapLabel(QStringLiteral("应考      人"), this)
                        : new QLabel(QStringLiteral("%"), this);
        r.unit->setObjectName(QStringLiteral("labSubBFH(%1)").arg(p));
    }
    // "单科积分 =" heads the formula; the rows follow it.
    rows_[0].sum->setText(QStringLiteral("单科积分"));
    rows_[0].sum->setGeometry(12, 18, 80, 24);
    auto* equals = new QLabel(QStringLiteral("="), this);
    equals->setGeometry(80, 18, 16, 24);

    auto* ok = new QPushButton(QStringLiteral("确定"), this);
    ok->setObjectName(QStringLiteral("cmdSubSum(1)"));
    connect(ok, &QPushButton::clicked, this, &Frame6Points::confirm);
    auto* cancel = new QPushButton(QStringLiteral("取消"), this);
    cancel->setObjectName(QStringLiteral("cmdSubSum(0)"));
    connect(cancel, &QPushButton::clicked, this, &QWidget::hide);
    buttons_[0] = ok;
    buttons_[1] = cancel;
    connect(&model(), &ScoreModel::settingsLoaded, this,
            [this] { showRows(model().classData().levelCount); });
    showRows(0);
}

void Frame6Points::showRows(int levels) {
    levels = qBound(0, levels, kLevelRows);
    int y = kTop;
    for (int p = 0; p < 10; ++p) {
        Row& r = rows_[p];
        // Rows 0 and 9 always show; the level rows and the average's row
        // follow the levels in use.
        const bool on = p == 9 || p <= levels;
        for (QWidget* w :
             {static_cast<QWidget*>(r.check), static_cast<QWidget*>(r.weight), static_cast<QWidget*>(r.unit)})
            w->setVisible(on);
        if (p > 0) r.sum->setVisible(on);
        if (!on) continue;
        if (p > 0) {
            r.sum->setGeometry(24, y, 14, 24);
            r.sum->setAlignment(Qt::AlignCenter);
        }
        r.check->setGeometry(40, y, p == 9 ? 80 : 140, 24);
        if (p == 9) {
            r.unit->setGeometry(124, y, 100, 24);
            static_cast<GapLabel*>(r.unit)->holdBox(r.weight, 48);
        } else {
            r.weight->setGeometry(184, y, 56, 24);
            r.unit->setGeometry(244, y, 16, 24);
        }
        y += kStep;
    }
    buttons_[0]->setGeometry(96, y + 6, 64, 30);
    buttons_[1]->setGeometry(170, y + 6, 64, 30);
    resize(width(), y + 46);
}

void Frame6Points::open() {
    showAndPlace(true);
    const PointsForm form = pointsForm(model().classData());
    for (int p = 0; p < int(form.rows.size()) && p < 9; ++p) {
        rows_[p].check->setText(form.captions[p]);
        rows_[p].weight->setText(form.rows[p].weight);
        rows_[p].check->setChecked(form.rows[p].checked);
    }
    rows_[9].weight->setText(form.participation.weight);
    rows_[9].check->setChecked(form.participation.checked);
    showRows(int(form.rows.size()) - 1);
}

void Frame6Points::confirm() {
    const int levels = qBound(0, model().classData().levelCount, kLevelRows);
    QList<FormulaRow> rows;
    for (int p = 0; p <= levels; ++p)
        rows << FormulaRow{rows_[p].check->isChecked(), rows_[p].weight->text()};
    const Outcome o =
        savePointsFormula(model(), rows, FormulaRow{rows_[9].check->isChecked(), rows_[9].weight->text()});
    tell(o);
    if (o.ok) hide();
}

} // namespace scores
