#pragma once

#include "TaskFrame.h"

namespace scores {

// The score band interval.
class Frame7BandInterval : public TaskFrame {
    Q_OBJECT
public:
    explicit Frame7BandInterval(frmStudenCJ* window);
};

} // namespace scores
