#include "Frame7BandInterval.h"

#include "GapLabel.h"
#include "scores/model/ScoreReports.h"
#include "scores/ui/frmStudenCJ.h"
#include "shell/ui/KeyFilter.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace scores {

Frame7BandInterval::Frame7BandInterval(frmStudenCJ* window)
    : TaskFrame(7, QStringLiteral("设置分数段间隔分数"), QPoint(3000, 2000), QSize(330, 100), window) {
    auto* label = new GapLabel(QStringLiteral("卷面分相间         分为一段"), this);
    label->setObjectName(QStringLiteral("labSetFSD"));
    label->setGeometry(16, 26, 250, 26);
    box_ = new QLineEdit(this);
    box_->setObjectName(QStringLiteral("txtSetFSD"));
    box_->resize(48, 24);
    label->holdBox(box_, 48);
    shell::NumberKeyFilter::install(box_);

    // Option buttons drawn as push buttons: each press acts and is released.
    auto* ok = new QPushButton(QStringLiteral("确定"), this);
    ok->setObjectName(QStringLiteral("optSetFSD(1)"));
    ok->setGeometry(90, 60, 64, 30);
    connect(ok, &QPushButton::clicked, this, &Frame7BandInterval::confirm);
    auto* cancel = new QPushButton(QStringLiteral("取消"), this);
    cancel->setObjectName(QStringLiteral("optSetFSD(0)"));
    cancel->setGeometry(166, 60, 64, 30);
    connect(cancel, &QPushButton::clicked, this, &QWidget::hide);
}

void Frame7BandInterval::open() {
    showAndPlace(false);
    box_->setText(QString::number(model().classData().bandInterval));
    box_->setFocus();
    box_->selectAll();
}

void Frame7BandInterval::confirm() {
    QString text = box_->text();
    const Outcome o = storeBandInterval(model(), text);
    box_->setText(text);
    tell(o);
    if (o.ok) hide();
}

} // namespace scores
