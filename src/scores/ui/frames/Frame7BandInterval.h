#pragma once

#include "TaskFrame.h"

class QLineEdit;

namespace scores {

// The score band width ("设置分数段间隔分数") used by the band report.
class Frame7BandInterval : public TaskFrame {
    Q_OBJECT
public:
    explicit Frame7BandInterval(frmStudenCJ* window);
    void open() override;
    // "确定".
    void confirm();

private:
    QLineEdit* box_; // txtSetFSD
};

} // namespace scores
