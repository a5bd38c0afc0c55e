#pragma once

#include "TaskFrame.h"

namespace scores {

// The nine filters.
class Frame8Filter : public TaskFrame {
    Q_OBJECT
public:
    explicit Frame8Filter(frmStudenCJ* window);
};

} // namespace scores
