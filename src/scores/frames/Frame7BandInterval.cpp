#include "Frame7BandInterval.h"

namespace scores {

Frame7BandInterval::Frame7BandInterval(frmStudenCJ* window)
    : TaskFrame(7, QStringLiteral("设置分数段间隔分数"), QPoint(3000, 2000), QSize(300, 100), window) {}

} // namespace scores
