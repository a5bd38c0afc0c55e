#pragma once

#include "TaskFrame.h"

namespace scores {

// Advanced sort on a key column.
class Frame9Sort : public TaskFrame {
    Q_OBJECT
public:
    explicit Frame9Sort(frmStudenCJ* window);
};

} // namespace scores
