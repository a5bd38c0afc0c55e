#include "Frame3Find.h"

namespace scores {

Frame3Find::Frame3Find(frmStudenCJ* window)
    : TaskFrame(3, QStringLiteral("查询"), QPoint(4440, 0), QSize(380, 130), window) {}

} // namespace scores
