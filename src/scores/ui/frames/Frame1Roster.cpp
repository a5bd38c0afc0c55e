#include "Frame1Roster.h"

#include "scores/ui/frmStudenCJ.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace scores {

Frame1Roster::Frame1Roster(frmStudenCJ* window)
    : TaskFrame(1, QStringLiteral("录入学生"), QPoint(3460, 2760), QSize(350, 200), window) {
    mode_[0] = new QRadioButton(QStringLiteral("手工添加或修改"), this);
    mode_[1] = new QRadioButton(QStringLiteral("自动添加学号"), this);
    for (int i = 0; i < 2; ++i) {
        mode_[i]->setObjectName(QStringLiteral("optAddStdSelect(%1)").arg(i));
        connect(mode_[i], &QRadioButton::toggled, this, [this](bool on) {
            if (on) applyMode();
        });
    }
    mode_[0]->setGeometry(10, 18, 150, 24);
    mode_[1]->setGeometry(190, 18, 150, 24);

    const QString texts[6] = {QStringLiteral("学生姓名"), QString(),
                              QStringLiteral("学生学号"), QString(),
                              QStringLiteral("第一学号"), QStringLiteral("人数")};
    const QRect places[6] = {{10, 52, 64, 24}, {172, 52, 8, 24},  {10, 84, 64, 24},
                             {172, 84, 8, 24}, {190, 52, 64, 24}, {190, 84, 64, 24}};
    for (int i = 0; i < 6; ++i) {
        labels_[i] = new QLabel(texts[i], this);
        labels_[i]->setObjectName(QStringLiteral("labStdNameNum(%1)").arg(i));
        labels_[i]->setGeometry(places[i]);
    }
    for (int i = 0; i < 2; ++i) {
        nameNum_[i] = new QLineEdit(this);
        nameNum_[i]->setObjectName(QStringLiteral("txtStdNameNum(%1)").arg(i));
        nameNum_[i]->setGeometry(74, 52 + 32 * i, 96, 24);
        batch_[i] = new QLineEdit(this);
        batch_[i]->setObjectName(QStringLiteral("txtStdXMXH(%1)").arg(i));
        batch_[i]->setGeometry(256, 52 + 32 * i, 84, 24);
    }

    const QString captions[4] = {QStringLiteral("添加"), QStringLiteral("更改姓名"),
                                 QStringLiteral("更改学号"), QStringLiteral("删除")};
    for (int i = 0; i < 4; ++i) {
        edit_[i] = new QPushButton(captions[i], this);
        edit_[i]->setObjectName(QStringLiteral("cmdEditStdNameNum(%1)").arg(i));
        edit_[i]->setGeometry(10 + 84 * i, 120, 78, 30);
    }
    auto* close = new QPushButton(QStringLiteral("关闭"), this);
    close->setObjectName(QStringLiteral("cmdEditStdNameNumCntne"));
    close->setGeometry(262, 158, 78, 30);
    for (int i = 0; i < 2; ++i) {
        auto* page = new QPushButton(i == 0 ? QStringLiteral("上一个") : QStringLiteral("下一个"), this);
        page->setObjectName(QStringLiteral("cmdNamePage(%1)").arg(i));
        page->setGeometry(10 + 84 * i, 158, 78, 30);
        page->setEnabled(false);
        page->setAutoDefault(true);
        connect(page, &QPushButton::clicked, this, [this, i] { this->window()->MoveCurrent(i); });
    }

    connect(edit_[0], &QPushButton::clicked, this, [this] {
        tell(manualMode() ? model().addStudent(nameNum_[0]->text(), nameNum_[1]->text())
                          : model().addBatch(batch_[0]->text(), batch_[1]->text()));
    });
    connect(edit_[1], &QPushButton::clicked, this, [this] {
        tell(model().renameStudent(nameNum_[0]->text(), nameNum_[1]->text()));
        nameNum_[0]->setFocus();
    });
    connect(edit_[2], &QPushButton::clicked, this, [this] {
        const Outcome o = model().renumberStudent(nameNum_[0]->text(), nameNum_[1]->text(), picked_);
        if (o.ok) picked_ = nameNum_[1]->text().trimmed();
        tell(o);
        nameNum_[0]->setFocus();
    });
    connect(edit_[3], &QPushButton::clicked, this,
            [this] { tell(model().deleteStudent(nameNum_[1]->text())); });
    connect(close, &QPushButton::clicked, this, [this] {
        nameNum_[0]->clear();
        nameNum_[1]->clear();
        hide();
    });
    mode_[0]->setChecked(true);
    applyMode();
}

bool Frame1Roster::manualMode() const {
    return mode_[0]->isChecked();
}

void Frame1Roster::applyMode() {
    const bool manual = manualMode();
    for (int i = 0; i < 4; ++i)
        labels_[i]->setEnabled(manual);
    for (int i = 4; i < 6; ++i)
        labels_[i]->setEnabled(!manual);
    for (int i = 0; i < 2; ++i) {
        nameNum_[i]->setEnabled(manual);
        batch_[i]->setEnabled(!manual);
    }
    for (int i = 1; i < 4; ++i)
        edit_[i]->setEnabled(manual);
    edit_[0]->setEnabled(true);
}

void Frame1Roster::open() {
    showAndPlace(true);
    model().LoadRoster();
    mode_[0]->setChecked(true);
    applyMode();
    model().setPrintTitle(model().className() + QStringLiteral("姓名编号对照表"));
}

void Frame1Roster::fillBoxes(int row) {
    nameNum_[0]->setText(model().scoreGrid().text(row, 1));
    nameNum_[1]->setText(model().scoreGrid().text(row, 2));
    picked_ = nameNum_[1]->text();
}

void Frame1Roster::gridClicked(int row, int, const ClickResult&) {
    if (isVisible()) fillBoxes(row);
}

void Frame1Roster::currentMoved() {
    if (isVisible()) fillBoxes(model().viewState().currentRow);
}

} // namespace scores
