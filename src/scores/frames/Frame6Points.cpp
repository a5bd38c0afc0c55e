#include "Frame6Points.h"

namespace scores {

Frame6Points::Frame6Points(frmStudenCJ* window)
    : TaskFrame(6, QStringLiteral("设置单科积分计算公式"), QPoint(3000, 2000), QSize(420, 300), window) {}

} // namespace scores
