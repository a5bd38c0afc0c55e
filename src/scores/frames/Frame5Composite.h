#pragma once

#include "TaskFrame.h"

namespace scores {

// The weighted-total formula: one weight per subject and the total's title.
class Frame5Composite : public TaskFrame {
    Q_OBJECT
public:
    explicit Frame5Composite(frmStudenCJ* window);
};

} // namespace scores
