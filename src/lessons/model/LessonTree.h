#pragma once

#include "LessonStore.h"
#include "shell/core/Tree.h"

namespace lessons {

// The reference tree of one subject: the root "中学" + subject + "教案"
// (key "explor", tag "root"), under it the twelve volumes "第一册" …
// "第十二册" (keys "C1" … "C12"), under each its topics in stored order
// (keys "kt1", "kt2", … numbered through the whole tree). Only the root is
// expanded.
shell::Tree lessonTree(const QString& subjectText, const VolumeIndex& index);

// BuildLessonTree: the current table of `library` read once and shown as
// above. On a read failure *tree holds the root and the volumes, empty.
shell::Outcome BuildLessonTree(const LessonLibrary& library, const QString& subjectText, shell::Tree* tree);

} // namespace lessons
