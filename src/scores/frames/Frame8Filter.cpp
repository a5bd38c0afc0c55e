#include "Frame8Filter.h"

namespace scores {

Frame8Filter::Frame8Filter(frmStudenCJ* window)
    : TaskFrame(8, QStringLiteral("高级筛选"), QPoint(3500, 2500), QSize(380, 260), window) {}

} // namespace scores
