#pragma once

#include "TaskFrame.h"

class QLineEdit;
class QListWidget;
class QPushButton;

namespace scores {

// Subjects and their full marks in the thirteen slots ("设置科目").
class Frame0Subjects : public TaskFrame {
    Q_OBJECT
public:
    explicit Frame0Subjects(frmStudenCJ* window);
    void open() override;

private:
    void syncList();
    void picked(int slot);
    void finish(const Outcome& o, bool focusList);

    QListWidget* list_;
    QLineEdit* name_;
    QLineEdit* fullMarks_;
};

} // namespace scores
