#pragma once

#include "TaskFrame.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace scores {

// Roster editing ("录入学生"): add by hand or as a numbered batch, rename,
// renumber, delete.
class Frame1Roster : public TaskFrame {
    Q_OBJECT
public:
    explicit Frame1Roster(frmStudenCJ* window);
    void open() override;
    void gridClicked(int row, int col, const ClickResult& click) override;
    void currentMoved() override;

    bool manualMode() const;
    void applyMode();

private:
    void fillBoxes(int row);

    QRadioButton* mode_[2];
    QLineEdit* nameNum_[2]; // txtStdNameNum: name, number
    QLineEdit* batch_[2];   // txtStdXMXH: first number, size
    QLabel* labels_[6];
    QPushButton* edit_[4]; // 添加, 更改姓名, 更改学号, 删除
    // The 学号 of the student last picked in the grid: "更改学号" finds the
    // student by name, and of two with one name it is the one picked.
    QString picked_;
};

} // namespace scores
