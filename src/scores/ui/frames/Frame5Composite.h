#pragma once

#include "TaskFrame.h"

#include "scores/model/ScoreReports.h"

#include <array>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

namespace scores {

// The weighted-total formula ("设置学生个人综合分计算公式"): a weight per
// subject and the total column's title.
class Frame5Composite : public TaskFrame {
    Q_OBJECT
public:
    explicit Frame5Composite(frmStudenCJ* window);
    void open() override;
    // "确定".
    void confirm();

private:
    void showRows(int count);

    struct Row {
        QLabel* plus;      // labStdSum(k)
        QCheckBox* check;  // cekJMFS(k)
        QLineEdit* weight; // txtBFS(k)
        QLabel* percent;   // labBFH(k)
    };
    std::array<Row, kSlots> rows_{};
    QComboBox* title_; // cobZHF
    QWidget* buttons_[2];
};

} // namespace scores
