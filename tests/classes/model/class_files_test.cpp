#include "Printers.h"
#include "TestSupport.h"
#include "classes/model/ClassFiles.h"
#include "store/Schema.h"
#include "store/Store.h"

#include <gtest/gtest.h>

namespace {
// Every row of a table as one line of its field texts, in stored order.
QStringList tableTexts(const QString& db, const QString& table) {
    QStringList out;
    auto rs = store::Recordset::OpenTable(db, table);
    if (!rs) return out;
    for (rs->MoveFirst(); !rs->isEOF(); rs->MoveNext()) {
        QStringList f;
        for (int i = 0; i < rs->fieldCount(); ++i)
            f << rs->text(i);
        out << f.join(u'|');
    }
    return out;
}
} // namespace

using shell::Reason;
namespace cf = scores::ClassFiles;

TEST(ClassFiles, CreateCopiesTemplateListsTrimmedNameAndHasNoStudents) {
    testing_support::DataFolder folder;
    const auto out = cf::create(QStringLiteral("  初二3班 "), false);
    ASSERT_TRUE(out) << out.messages.join(" ").toStdString();
    EXPECT_EQ(cf::tableName(QStringLiteral("  初二3班 ")), QStringLiteral("初二3班"));
    EXPECT_EQ(cf::list(), QStringList{QStringLiteral("初二3班")});

    const QString db = folder.file(store::kClassDb);
    store::Database d = store::Database::OpenDatabase(db);
    const auto fields = d.fields(QStringLiteral("初二3班"));
    ASSERT_EQ(fields.size(), 16);
    EXPECT_EQ(fields[0].kind, store::FieldKind::Memo);
    EXPECT_EQ(fields[1].size, 50);
    EXPECT_EQ(fields[2].size, 10);
    EXPECT_EQ(fields[15].name, QStringLiteral("js12"));
    EXPECT_EQ(fields[15].kind, store::FieldKind::Currency);
    // The class table holds exactly the template rows, in order.
    EXPECT_EQ(tableTexts(db, QStringLiteral("初二3班")), tableTexts(db, QStringLiteral("dataBak")));
}

TEST(ClassFiles, CommentClassGetsOneSampleStudent) {
    testing_support::DataFolder folder;
    ASSERT_TRUE(cf::create(QStringLiteral("评语班"), true));
    const QStringList rows = tableTexts(folder.file(store::kClassDb), QStringLiteral("评语班"));
    ASSERT_EQ(rows.size(), 14);
    EXPECT_EQ(rows.last(), QStringLiteral("评语：|学生姓名|10001|0|0|0|0|0|0|0|0|0|0|0|0|0"));
}

TEST(ClassFiles, RefusalsLeaveFilesAndTablesUnchanged) {
    testing_support::DataFolder folder;
    ASSERT_TRUE(cf::create(QStringLiteral("Class A"), false));
    const QString db = folder.file(store::kClassDb);
    const QStringList filesBefore = cf::list();
    const QStringList tablesBefore = store::Database::OpenDatabase(db).tables();

    struct Case {
        const char* name;
        Reason reason;
        QString message;
    };
    const Case cases[] = {
        {"", Reason::Invalid, cf::kMsgNoName},
        {"   ", Reason::Invalid, cf::kMsgNoName},
        {"Class A", Reason::Exists, cf::kMsgExists},
        {" class a ", Reason::Exists, cf::kMsgExists}, // table names ignore case
        // The file's own tables and SQLite's names are never a class.
        {"files", Reason::Invalid, cf::kMsgReservedName},
        {" FILES ", Reason::Invalid, cf::kMsgReservedName},
        {"DATABAK", Reason::Invalid, cf::kMsgReservedName},
        {"sqlite_班", Reason::Invalid, cf::kMsgReservedName},
        {"SQLite_master", Reason::Invalid, cf::kMsgReservedName},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto out = cf::create(QString::fromUtf8(c.name), false);
        EXPECT_FALSE(out);
        EXPECT_EQ(out.reason, c.reason);
        if (!c.message.isEmpty())
            EXPECT_EQ(out.messages, QStringList{c.message});
        else
            EXPECT_FALSE(out.messages.isEmpty());
        EXPECT_EQ(cf::list(), filesBefore);
        EXPECT_EQ(store::Database::OpenDatabase(db).tables(), tablesBefore);
    }
}

TEST(ClassFiles, TemplateOfAnyLengthCopiesAtMostThirteenRows) {
    for (int templateRows : {4, 15}) {
        SCOPED_TRACE(templateRows);
        testing_support::DataFolder folder;
        const QString db = folder.file(store::kClassDb);
        {
            auto bak = store::Recordset::OpenTable(db, QStringLiteral("dataBak"));
            ASSERT_TRUE(bak);
            bak->MoveFirst();
            while (bak->RecordCount() > templateRows) {
                ASSERT_TRUE(bak->Delete());
                bak->MoveNext();
            }
            while (bak->RecordCount() < templateRows) {
                bak->AddNew();
                bak->SetField(QStringLiteral("编号"), QStringLiteral("extra"));
                ASSERT_TRUE(bak->Update());
            }
        }
        ASSERT_TRUE(cf::create(QStringLiteral("c"), false));
        EXPECT_EQ(tableTexts(db, QStringLiteral("c")).size(), qMin(templateRows, 13));
    }
}

TEST(ClassFiles, ListGridKeepsSixRowsAndHeadingNeverPicksAClass) {
    testing_support::DataFolder folder;
    shell::Grid empty = cf::listGrid();
    EXPECT_EQ(empty.rows(), 6);
    EXPECT_EQ(empty.cols(), 2);
    EXPECT_EQ(empty.text(0, 1), QStringLiteral("文件名"));
    EXPECT_EQ(empty.colWidth(1), 6000);
    EXPECT_EQ(cf::pickedName(empty, 0), QString()); // heading row
    EXPECT_EQ(cf::pickedName(empty, 3), QString()); // empty row

    for (int i = 1; i <= 7; ++i)
        ASSERT_TRUE(cf::create(QStringLiteral("班%1").arg(i), false));
    shell::Grid g = cf::listGrid();
    EXPECT_EQ(g.rows(), 8);
    EXPECT_EQ(g.text(7, 0), QStringLiteral("7"));
    EXPECT_EQ(g.rowHeight(7), 320);
    EXPECT_EQ(cf::pickedName(g, 2), QStringLiteral("班2"));
    EXPECT_EQ(cf::pickedName(g, 0), QString());

    g.setRows(2);
    cf::ensureListRows(g);
    EXPECT_EQ(g.rows(), 6);
}

// The class-file window hands a class to one tool; the other tool sharing
// the state hears of it through the signal.
TEST(ClassState, HandBackRaisesTheTakersFlagAndIsAnnounced) {
    using Taker = scores::ClassState::Taker;
    scores::ClassState s;
    QList<QPair<Taker, QString>> heard;
    QObject::connect(&s, &scores::ClassState::classHandedBack, [&](Taker t, const QString& name) {
        heard.append({t, name});
    });
    s.handBack(Taker::Scores, QStringLiteral("初一1班"));
    EXPECT_TRUE(s.scoresOpen());
    EXPECT_FALSE(s.commentWorkingOpen());
    s.handBack(Taker::CommentReference, QStringLiteral("去年班"));
    EXPECT_TRUE(s.commentReferenceOpen());
    EXPECT_EQ(s.referenceClass(), QStringLiteral("去年班"));
    EXPECT_EQ(s.workingClass(), QStringLiteral("初一1班"));
    s.handBack(Taker::CommentWorking, QStringLiteral("初一2班"));
    EXPECT_TRUE(s.commentWorkingOpen());
    EXPECT_EQ(s.workingClass(), QStringLiteral("初一2班"));
    const QList<QPair<Taker, QString>> expected{{Taker::Scores, QStringLiteral("初一1班")},
                                                {Taker::CommentReference, QStringLiteral("去年班")},
                                                {Taker::CommentWorking, QStringLiteral("初一2班")}};
    EXPECT_EQ(heard, expected);

    // A tool opening or closing its own class is nobody else's news, and
    // closing one tool's class leaves the others' open.
    s.open(Taker::Scores, QStringLiteral("初一3班"));
    s.close(Taker::CommentWorking);
    EXPECT_TRUE(s.scoresOpen());
    EXPECT_FALSE(s.commentWorkingOpen());
    EXPECT_TRUE(s.commentReferenceOpen());
    EXPECT_EQ(s.workingClass(), QStringLiteral("初一3班"));
    EXPECT_EQ(heard.size(), expected.size());
}
