#include "Printers.h"
#include "TestSupport.h"
#include "lessons/model/LessonTree.h"
#include "shell/core/StarterContent.h"
#include "store/Schema.h"
#include "store/Store.h"

#include <gtest/gtest.h>

using namespace lessons;

TEST(LessonTree, VolumesAndTopicsWithUniqueKeys) {
    VolumeIndex index;
    index.topics[0] = QStringList{"甲", "乙"};
    index.topics[11] = QStringList{"甲"}; // one topic in two volumes: two nodes
    const shell::Tree t = lessonTree(QStringLiteral("数学"), index);
    ASSERT_EQ(t.count(), 1 + 12 + 3);
    const shell::TreeNode& root = t.node(0);
    EXPECT_EQ(root.key, QStringLiteral("explor"));
    EXPECT_EQ(root.text, QStringLiteral("中学数学教案"));
    EXPECT_EQ(root.tag, QStringLiteral("root"));
    EXPECT_EQ(root.icon, QStringLiteral("explorer"));
    EXPECT_TRUE(root.expanded);
    const QStringList volumes = t.childTexts(QStringLiteral("explor"));
    ASSERT_EQ(volumes.size(), 12);
    EXPECT_EQ(volumes.first(), QStringLiteral("第一册"));
    EXPECT_EQ(volumes.last(), QStringLiteral("第十二册"));
    EXPECT_EQ(t.childKeys(QStringLiteral("C1")), (QStringList{"kt1", "kt2"}));
    EXPECT_EQ(t.childKeys(QStringLiteral("C12")), QStringList{"kt3"});
    const shell::TreeNode& v1 = t.node(t.indexOf(QStringLiteral("C1")));
    EXPECT_FALSE(v1.expanded);
    EXPECT_EQ(v1.icon, QStringLiteral("sortOff"));
    EXPECT_EQ(v1.selectedIcon, QStringLiteral("sortOn"));
    const shell::TreeNode& topic = t.node(t.indexOf(QStringLiteral("kt3")));
    EXPECT_EQ(topic.text, QStringLiteral("甲"));
    EXPECT_EQ(topic.icon, QStringLiteral("fileOff"));
    EXPECT_EQ(topic.selectedIcon, QStringLiteral("fileOn"));
}

TEST(LessonTree, UnreadableTableGivesTheVolumesAndTheReason) {
    testing_support::DataFolder folder(false);
    LessonLibrary lib(folder.file(store::kCommonDb));
    shell::Tree t;
    const shell::Outcome o = BuildLessonTree(lib, QStringLiteral("语文"), &t);
    EXPECT_EQ(o.reason, shell::Reason::NotOpen);
    EXPECT_FALSE(o.messages.isEmpty());
    EXPECT_EQ(t.count(), 13);
}

// The starter plans the program brings: parsed, loaded into fresh tables,
// and each with its analysis.
TEST(StarterLessons, ChineseAndMathsLoadIntoNewTables) {
    for (const auto& [subject, table] :
         {std::pair{"语文", "jaywtextdata"}, std::pair{"数学", "jasxtextdata"}}) {
        QString error;
        const auto rows = shell::starterRows(QString::fromUtf8(table), &error);
        ASSERT_TRUE(rows) << table << ' ' << error.toStdString();
        EXPECT_EQ(rows->fields, (QStringList{"册别", "课题", "内容", "分析", "课件地址"}));
        EXPECT_GE(rows->rows.size(), 3);
        EXPECT_LE(rows->rows.size(), 4);
        for (const QStringList& r : rows->rows) {
            EXPECT_TRUE(parseVolume(r[0])) << r[1].toStdString();
            EXPECT_FALSE(r[2].trimmed().isEmpty());
            EXPECT_FALSE(r[3].trimmed().isEmpty());
        }

        testing_support::DataFolder folder(false);
        const QString db = folder.file(store::kCommonDb);
        store::Database made = store::Database::Create(db);
        ASSERT_TRUE(made.isValid());
        const QList<store::FieldDef> fields{{"册别", store::FieldKind::Number, 0},
                                            {"课题", store::FieldKind::Text, 100},
                                            {"内容", store::FieldKind::Memo, 0},
                                            {"分析", store::FieldKind::Memo, 0},
                                            {"课件地址", store::FieldKind::Text, 2048}};
        ASSERT_TRUE(made.CreateTable(QString::fromUtf8(table), fields));
        EXPECT_TRUE(shell::loadStarterContent({{db, QString::fromUtf8(table)}}).isEmpty());

        LessonLibrary lib(db);
        ASSERT_TRUE(lib.SubjectTable(QString::fromUtf8(subject)));
        VolumeIndex index;
        ASSERT_TRUE(lib.readIndex(&index));
        int count = 0;
        for (const QStringList& v : index.topics)
            count += int(v.size());
        EXPECT_EQ(count, rows->rows.size());
        Reference ref;
        ASSERT_TRUE(lib.FindReference(rows->rows.first()[1], &ref));
        EXPECT_EQ(ref.text, rows->rows.first()[2]);
        EXPECT_EQ(ref.analysis, rows->rows.first()[3]);
    }
}
