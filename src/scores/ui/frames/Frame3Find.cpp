#include "Frame3Find.h"

#include "scores/ui/frmStudenCJ.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>

namespace scores {

Frame3Find::Frame3Find(frmStudenCJ* window)
    : TaskFrame(3, QStringLiteral("查询"), QPoint(4440, 0), QSize(560, 32), window) {
    // The frame stands beside the picture buttons, above the grid, so that
    // the student it finds (grid row 1) stays in view: one row of controls,
    // the caption at its left.
    setStyleSheet(
        QStringLiteral("QGroupBox { border: 1px solid palette(mid); border-radius: 2px; margin-top: 0px; }"
                       "QGroupBox::title { subcontrol-origin: padding; subcontrol-position: left center;"
                       " padding-left: 6px; }"));
    combo_ = new QComboBox(this);
    combo_->setObjectName(QStringLiteral("cobListStdXB"));
    combo_->setEditable(true);
    combo_->setInsertPolicy(QComboBox::NoInsert);
    combo_->setEditText(QStringLiteral("姓名或学号"));
    combo_->setGeometry(42, 3, 112, 26);

    // Option buttons drawn as push buttons: each press acts and is released.
    const char* captions[] = {"关闭", "按学号查", "按姓名查"};
    const int x[] = {300, 158, 229};
    for (int i = 0; i < 3; ++i) {
        buttons_[i] = new QPushButton(QString::fromUtf8(captions[i]), this);
        buttons_[i]->setObjectName(QStringLiteral("optViewPrint(%1)").arg(i));
        buttons_[i]->setGeometry(x[i], 2, i == 0 ? 54 : 68, 28);
    }
    connect(buttons_[1], &QPushButton::clicked, this, [this] { find(false); });
    connect(buttons_[2], &QPushButton::clicked, this, [this] { find(true); });
    connect(buttons_[0], &QPushButton::clicked, this, [this] {
        model().ScoreTableHeading();
        hide();
    });

    const char* checks[] = {"评级", "总分", "平均分"};
    const int cx[] = {362, 424, 486};
    for (int i = 0; i < 3; ++i) {
        checks_[i] = new QCheckBox(QString::fromUtf8(checks[i]), this);
        checks_[i]->setObjectName(QStringLiteral("cekViewStd(%1)").arg(i));
        checks_[i]->setGeometry(cx[i], 4, i == 2 ? 70 : 60, 24);
    }
}

FindOptions Frame3Find::options() const {
    return FindOptions{checks_[0]->isChecked(), checks_[1]->isChecked(), checks_[2]->isChecked()};
}

void Frame3Find::open() {
    showAndPlace(false);
    model().ScoreTableHeading();
    fillCombo(ListNumbersForFind(model()));
    combo_->setFocus();
}

void Frame3Find::fillCombo(const QStringList& items) {
    combo_->clear();
    combo_->addItems(items);
    // The combo ends showing the last one added.
    combo_->setCurrentIndex(int(items.size()) - 1);
}

void Frame3Find::find(bool byName) {
    const FindResult r = FindStudent(model(), byName, combo_->currentText(), options());
    tell(r.outcome);
    if (r.outcome.ok) fillCombo(r.list);
}

void Frame3Find::gridClicked(int row, int, const ClickResult&) {
    if (!isVisible()) return;
    const shell::Grid& g = model().scoreGrid();
    // The name as the by-name list shows it, so that "按姓名查" finds this
    // student again and not another of the same name.
    combo_->setEditText(model().studentText(row, true));
    model().setSearchKey(g.text(row, 2));
    ShowFoundStudent(model(), options());
}

} // namespace scores
