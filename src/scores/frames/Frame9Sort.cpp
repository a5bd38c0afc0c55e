#include "Frame9Sort.h"

namespace scores {

Frame9Sort::Frame9Sort(frmStudenCJ* window)
    : TaskFrame(9, QStringLiteral("高级排序"), QPoint(3300, 2500), QSize(300, 140), window) {}

} // namespace scores
