#pragma once

#include "TaskFrame.h"

class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace scores {

// Score entry ("成绩录入"): one score at a time, by student number or name,
// Enter to store, "上一个"/"下一个" through the class.
class Frame2Entry : public TaskFrame {
    Q_OBJECT
public:
    explicit Frame2Entry(frmStudenCJ* window);
    void open() override;
    void gridClicked(int row, int col, const ClickResult& click) override;
    void currentMoved() override;

    bool byName() const;
    // "确定".
    void confirm();

private:
    void fillStudents();
    void syncSubjects();

    QComboBox* subject_; // cobKM
    QRadioButton* mode_[2];
    QComboBox* student_; // cobXBBH
    QLineEdit* score_;   // txtStudensCj
    QPushButton* next_;  // cmdNamePage(3)
};

} // namespace scores
