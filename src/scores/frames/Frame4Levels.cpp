#include "Frame4Levels.h"

namespace scores {

Frame4Levels::Frame4Levels(frmStudenCJ* window)
    : TaskFrame(4, QStringLiteral("设置分数等级"), QPoint(2880, 2000), QSize(420, 190), window) {}

} // namespace scores
