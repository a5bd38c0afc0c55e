#include "Frame5Composite.h"

namespace scores {

Frame5Composite::Frame5Composite(frmStudenCJ* window)
    : TaskFrame(5, QStringLiteral("设置学生个人综合分计算公式"), QPoint(2880, 2000), QSize(440, 330), window) {}

} // namespace scores
