#include "LessonTree.h"

namespace lessons {

shell::Tree lessonTree(const QString& subjectText, const VolumeIndex& index) {
    shell::Tree tree;
    const QString root = QStringLiteral("explor");
    tree.add({}, root, QStringLiteral("中学") + subjectText + QStringLiteral("教案"),
             QStringLiteral("explorer"), {}, QStringLiteral("root"));
    int running = 0;
    for (int v = 1; v <= kVolumes; ++v) {
        const QString volumeKey = QStringLiteral("C%1").arg(v);
        tree.add(root, volumeKey, volumeCaption(v), QStringLiteral("sortOff"), QStringLiteral("sortOn"));
        for (const QString& topic : index.topics.value(v - 1))
            tree.add(volumeKey, QStringLiteral("kt%1").arg(++running), topic, QStringLiteral("fileOff"),
                     QStringLiteral("fileOn"));
    }
    tree.setExpanded(root);
    return tree;
}

shell::Outcome BuildLessonTree(const LessonLibrary& library, const QString& subjectText, shell::Tree* tree) {
    VolumeIndex index;
    const shell::Outcome read = library.readIndex(&index);
    *tree = lessonTree(subjectText, read ? index : VolumeIndex{});
    return read;
}

} // namespace lessons
