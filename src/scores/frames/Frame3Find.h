#pragma once

#include "TaskFrame.h"

namespace scores {

// Find a student by number or name, with grades, total and average.
class Frame3Find : public TaskFrame {
    Q_OBJECT
public:
    explicit Frame3Find(frmStudenCJ* window);
};

} // namespace scores
