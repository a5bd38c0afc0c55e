#include "Frame0Subjects.h"

#include "GapLabel.h"
#include "scores/ui/frmStudenCJ.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace scores {

Frame0Subjects::Frame0Subjects(frmStudenCJ* window)
    : TaskFrame(0, QStringLiteral("设置科目"), QPoint(2880, 0), QSize(310, 250), window) {
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("listKmEdit"));
    list_->setToolTip(QStringLiteral("若顺序有乱(因以前删除)，请继续更改!!!"));
    list_->setGeometry(10, 20, 120, 220);
    connect(list_, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { picked(list_->row(item)); });

    auto* nameLabel = new QLabel(QStringLiteral("科目名称"), this);
    nameLabel->setGeometry(142, 20, 150, 20);
    name_ = new QLineEdit(this);
    name_->setObjectName(QStringLiteral("txtKmEdit"));
    name_->setGeometry(142, 42, 156, 24);

    // The full-marks box sits in the blank of "卷面总分是           分",
    // with "分" drawn after it, not under it.
    auto* sub = new GapLabel(QStringLiteral("卷面总分是           分"), this);
    sub->setObjectName(QStringLiteral("labSub"));
    sub->setGeometry(142, 80, 156, 24);
    fullMarks_ = new QLineEdit(this);
    fullMarks_->setObjectName(QStringLiteral("txtJMZF"));
    fullMarks_->resize(56, 24);
    sub->holdBox(fullMarks_, 56);

    const QString captions[3] = {QStringLiteral("添加"), QStringLiteral("更改"), QStringLiteral("删除")};
    const QString tips[3] = {QString(), QStringLiteral("请从前面的项目按顺序修改"),
                             QStringLiteral("请从后面的项目按顺序删除")};
    QPushButton* buttons[4];
    for (int i = 0; i < 3; ++i) {
        buttons[i] = new QPushButton(captions[i], this);
        buttons[i]->setObjectName(QStringLiteral("optKmEdit(%1)").arg(i));
        buttons[i]->setToolTip(tips[i]);
    }
    buttons[3] = new QPushButton(QStringLiteral("关闭"), this);
    buttons[3]->setObjectName(QStringLiteral("optKmEditColse"));
    buttons[0]->setGeometry(142, 130, 74, 30);
    buttons[1]->setGeometry(224, 130, 74, 30);
    buttons[2]->setGeometry(142, 168, 74, 30);
    buttons[3]->setGeometry(224, 168, 74, 30);

    connect(buttons[0], &QPushButton::clicked, this,
            [this] { finish(model().addSubject(name_->text(), fullMarks_->text()), false); });
    connect(buttons[1], &QPushButton::clicked, this, [this] {
        const Outcome o = model().changeSubject(list_->currentRow(), name_->text(), fullMarks_->text());
        finish(o, o.reason == Reason::NotChosen);
    });
    connect(buttons[2], &QPushButton::clicked, this, [this] {
        const Outcome o = model().deleteSubject(list_->currentRow(), name_->text(), fullMarks_->text());
        finish(o, o.reason == Reason::NotChosen);
    });
    connect(buttons[3], &QPushButton::clicked, this, &QWidget::hide);
    connect(&model(), &ScoreModel::settingsLoaded, this, &Frame0Subjects::syncList);
    syncList();
}

void Frame0Subjects::open() {
    showAndPlace(true);
    name_->clear();
    name_->setFocus();
    model().LoadSettings();
}

void Frame0Subjects::syncList() {
    list_->clear();
    list_->addItems(model().viewState().subjectListItems);
    list_->setCurrentRow(-1);
    // The settings reload empties the name box: a second "添加" then finds
    // it empty instead of putting the same subject into another slot.
    name_->clear();
}

void Frame0Subjects::picked(int slot) {
    if (slot < 0) return;
    name_->setText(list_->item(slot)->text());
    name_->setFocus();
    name_->selectAll();
    fullMarks_->setText(model().fullMarksText(slot));
}

void Frame0Subjects::finish(const Outcome& o, bool focusList) {
    tell(o);
    if (focusList)
        list_->setFocus();
    else
        name_->setFocus();
}

} // namespace scores
