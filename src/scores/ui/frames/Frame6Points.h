#pragma once

#include "TaskFrame.h"

#include "scores/model/ScoreReports.h"

#include <array>

class QCheckBox;
class QLabel;
class QLineEdit;

namespace scores {

// The single-subject points formula ("设置单科积分计算公式"): weights of the
// level rates and of the average, and the expected candidates.
class Frame6Points : public TaskFrame {
    Q_OBJECT
public:
    explicit Frame6Points(frmStudenCJ* window);
    void open() override;
    // "确定".
    void confirm();

private:
    void showRows(int levels);

    // Rows 0..8 (the level rates, then the average) and 9 (participation).
    struct Row {
        QLabel* sum;       // labSubjectSum(p)
        QCheckBox* check;  // cekDKGL(p)
        QLineEdit* weight; // txtSubjectBFS(p)
        QLabel* unit;      // labSubBFH(p)
    };
    std::array<Row, 10> rows_{};
    QWidget* buttons_[2];
};

} // namespace scores
