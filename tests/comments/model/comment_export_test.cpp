#include "CommentsFixture.h"

#include "comments/model/CommentExport.h"

TEST_F(CommentClass, ListingHasTheNamedStudentsOnlyAndTheExportTextTheirComments) {
    // A settings row with a name is still no student.
    execSql(dbPath(),
            QStringLiteral("UPDATE \"%1\" SET \"姓名\" = '语文' WHERE \"编号\" = 'listKM3'").arg(cls));
    addRow(QString(), QStringLiteral("7"), QStringLiteral("无名"));
    addRow(QStringLiteral("张三"), QStringLiteral("8"));
    QList<comments::CommentEntry> list;
    ASSERT_TRUE(comments::commentListing(cls, list));
    ASSERT_EQ(list.size(), 2);
    EXPECT_EQ(comments::exportText(list), QStringLiteral("学生姓名:\r\n评语：\r\n张三:\r\n\r\n"));

    EXPECT_EQ(comments::commentListing(QStringLiteral("没有这个班"), list).reason, shell::Reason::Failed);
    EXPECT_TRUE(list.isEmpty());
}
