#pragma once

#include "TaskFrame.h"

class QComboBox;
class QRadioButton;

namespace scores {

// Advanced sort ("高级排序"): any subject, the total or the average as the
// first key, descending or ascending. The frame's file also gives the
// "升序" and "降序" entries their work.
class Frame9Sort : public TaskFrame {
    Q_OBJECT
public:
    explicit Frame9Sort(frmStudenCJ* window);
    void open() override;
    // "确定".
    void confirm();

private:
    void syncKeys();

    QComboBox* key_;             // cobSetSort
    QRadioButton* direction_[2]; // optSetSort(0) "递减", (1) "递增"
};

} // namespace scores
