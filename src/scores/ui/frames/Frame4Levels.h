#pragma once

#include "TaskFrame.h"

class QComboBox;
class QLineEdit;

namespace shell {
class ClearTimer;
}

namespace scores {

// Grade levels ("设置分数等级"): each level's title and its start in percent
// of a paper's full marks.
class Frame4Levels : public TaskFrame {
    Q_OBJECT
public:
    explicit Frame4Levels(frmStudenCJ* window);
    void open() override;

    // "更改".
    void change();
    // Ticks of timReText since the last rejected key.
    int ticks() const;

private:
    void syncLevels();
    void chooseLevel(int position);

    QComboBox* title_;         // cobGradeTitle
    QLineEdit* start_;         // txtGradeStart
    shell::ClearTimer* timer_; // timReText
};

} // namespace scores
