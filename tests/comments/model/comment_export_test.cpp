#include "CommentsFixture.h"

#include "XlsxReadBack.h"
#include "comments/model/CommentExport.h"

#include <QJsonArray>

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

namespace {
QStringList borderColors(const testing_support::XlsxBook& b, const QString& cell) {
    QStringList out;
    for (const QJsonValue v : b.cell(cell).value(QStringLiteral("borderColor")).toArray())
        out << v.toString();
    return out;
}
} // namespace

TEST_F(CommentClass, WorkbookLaysOutThreeRowsPerStudentInTheirColoursAsText) {
    execSql(dbPath(),
            QStringLiteral("UPDATE \"%1\" SET \"姓名\" = '语文' WHERE \"编号\" = 'listKM3'").arg(cls));
    addRow(QStringLiteral("=SUM(A1:A3)"), QStringLiteral("2"), QStringLiteral("+1"));
    addRow(QStringLiteral("张三"), QStringLiteral("3"), QString(40000, u'好'));
    addRow(QStringLiteral("李四"), QStringLiteral("4"));
    QList<comments::CommentEntry> list;
    ASSERT_TRUE(comments::commentListing(cls, list));
    const QString path = folder.path() + QStringLiteral("/评语.xlsx");
    const shell::Outcome o = comments::writeCommentWorkbook(list, path);
    ASSERT_TRUE(o) << o.messages.join(' ').toStdString();
    EXPECT_EQ(o.messages, QStringList{comments::kMsgShortened.arg(32767).arg(QStringLiteral("张三"))});

    const testing_support::XlsxBook b = testing_support::readXlsx(path);
    ASSERT_TRUE(b.ok()) << b.error.toStdString();
    struct Expect {
        const char* cell;
        QString value;
    };
    const Expect cells[] = {{"A1", QStringLiteral("学生姓名")},    {"A2", QStringLiteral("评语：")},
                            {"A4", QStringLiteral("=SUM(A1:A3)")}, {"A5", QStringLiteral("+1")},
                            {"A7", QStringLiteral("张三")},        {"A10", QStringLiteral("李四")}};
    for (const Expect& e : cells) {
        SCOPED_TRACE(e.cell);
        const QString name = QString::fromLatin1(e.cell);
        EXPECT_EQ(b.value(name).toString(), e.value);
        EXPECT_EQ(b.type(name), QStringLiteral("s"));
    }
    // Names on turquoise in red; comments wrapped in a pink border.
    for (const char* name : {"A1", "A4", "A7", "A10"}) {
        EXPECT_EQ(b.cell(QString::fromLatin1(name)).value("fill").toString(), QStringLiteral("FF00FFFF"))
            << name;
        EXPECT_EQ(b.cell(QString::fromLatin1(name)).value("font").toString(), QStringLiteral("FFFF0000"))
            << name;
    }
    for (const char* name : {"A2", "A5", "A8", "A11"}) {
        EXPECT_EQ(borderColors(b, QString::fromLatin1(name)), QStringList(4, QStringLiteral("FFFF00FF")))
            << name;
        EXPECT_TRUE(b.cell(QString::fromLatin1(name)).value("wrap").toBool()) << name;
    }
    EXPECT_EQ(b.value(QStringLiteral("A8")).toString().size(), 32767);
    EXPECT_EQ(b.value(QStringLiteral("A11")), QJsonValue(QJsonValue::Null)); // never written: empty cell
    EXPECT_NEAR(b.widths.value(QStringLiteral("A")).toDouble(), 40, 1);
    EXPECT_EQ(b.dimensions, QStringLiteral("A1:A11")); // the settings row's name is nowhere
}
