#pragma once

#include "TaskFrame.h"

namespace scores {

// The single-subject points formula: level rates, the average, participation.
class Frame6Points : public TaskFrame {
    Q_OBJECT
public:
    explicit Frame6Points(frmStudenCJ* window);
};

} // namespace scores
