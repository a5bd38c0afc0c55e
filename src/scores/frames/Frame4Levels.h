#pragma once

#include "TaskFrame.h"

namespace scores {

// Grade levels: titles and starts in percent of a paper's full marks.
class Frame4Levels : public TaskFrame {
    Q_OBJECT
public:
    explicit Frame4Levels(frmStudenCJ* window);
};

} // namespace scores
