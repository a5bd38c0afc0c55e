// The starter content goes only into tables made on this start.
#include "TestSupport.h"
#include "shell/core/StarterContent.h"
#include "shell/core/StatementTable.h"
#include "store/Database.h"
#include "store/Recordset.h"
#include "store/Schema.h"

#include <QSqlQuery>
#include <gtest/gtest.h>

using namespace shell;

namespace {
int rowCount(const QString& db, const QString& table) {
    auto t = StatementTable::open(db, table);
    return t ? t->count() : -1;
}
bool listed(const QList<store::CreatedTable>& created, const QString& table) {
    for (const store::CreatedTable& c : created)
        if (c.table == table) return true;
    return false;
}
} // namespace

TEST(StarterContent, ParsesFieldsAndRowsAndRefusesRaggedLines) {
    QString error;
    auto rows =
        parseStarterRows("类别\t标题\t内容\t序号\r\n# 注释\n\n1\t甲\t你好。\t1\n2\t乙\t\t2\n", &error);
    ASSERT_TRUE(rows) << error.toStdString();
    EXPECT_EQ(rows->fields, QStringList({"类别", "标题", "内容", "序号"}));
    ASSERT_EQ(rows->rows.size(), 2);
    EXPECT_EQ(rows->rows[1], QStringList({"2", "乙", "", "2"}));
    EXPECT_FALSE(parseStarterRows("a\tb\n1\t2\t3\n", &error));
    EXPECT_TRUE(error.contains("第2行")) << error.toStdString();
    EXPECT_FALSE(parseStarterRows("", &error));
    EXPECT_FALSE(starterRows("noSuchTable").has_value());
    EXPECT_TRUE(starterRows("STUDENPY").has_value());
}

TEST(StarterContent, LoadsOnlyIntoTablesMadeOnThisStart) {
    testing_support::DataFolder folder(false);
    const QString db = folder.file(store::kCommonDb);

    // First start: every table is new; the phrase bank is loaded.
    QList<store::CreatedTable> created;
    EXPECT_TRUE(store::ensureDataFiles(folder.path(), &created).isEmpty());
    EXPECT_TRUE(listed(created, "studenPy"));
    EXPECT_TRUE(listed(created, "dataBak"));
    EXPECT_TRUE(loadStarterContent(created).isEmpty());
    const int bank = rowCount(db, "studenPy");
    EXPECT_GT(bank, 100);
    auto first = StatementTable::open(db, "studenPy");
    EXPECT_EQ(first->rows()[0].category, "1");
    EXPECT_EQ(first->rows()[0].title, "有礼貌");
    EXPECT_EQ(first->rows()[0].number, 1);
    EXPECT_EQ(first->nextNumber(), bank + 1);
    first.reset();

    // The teacher empties the library; the next start makes nothing and
    // loads nothing, so the emptied table stays empty.
    {
        auto rs = store::Recordset::OpenTable(db, "studenPy");
        for (rs->MoveFirst(); !rs->isEOF(); rs->MoveNext())
            ASSERT_TRUE(rs->Delete());
    }
    created.clear();
    EXPECT_TRUE(store::ensureDataFiles(folder.path(), &created).isEmpty());
    EXPECT_TRUE(created.isEmpty());
    EXPECT_TRUE(loadStarterContent(created).isEmpty());
    EXPECT_EQ(rowCount(db, "studenPy"), 0);

    // A library table lost from a file that is there is made again, filled,
    // and nothing else in the file is touched.
    {
        store::Database d = store::Database::OpenDatabase(db);
        auto rs = store::Recordset::OpenTable(d, "filedata");
        rs->AddNew();
        rs->SetField("网页名称", "书签");
        ASSERT_TRUE(rs->Update());
    }
    // Dropped through a plain SQLite connection, as another tool would.
    {
        const QString conn = QStringLiteral("starter-drop");
        {
            QSqlDatabase raw = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), conn);
            raw.setDatabaseName(db);
            ASSERT_TRUE(raw.open());
            QSqlQuery q(raw);
            ASSERT_TRUE(q.exec(QStringLiteral("DROP TABLE \"studenPy\"")));
            raw.close();
        }
        QSqlDatabase::removeDatabase(conn);
    }
    created.clear();
    EXPECT_TRUE(store::ensureDataFiles(folder.path(), &created).isEmpty());
    ASSERT_EQ(created.size(), 1);
    EXPECT_EQ(created[0].table, "studenPy");
    EXPECT_TRUE(loadStarterContent(created).isEmpty());
    EXPECT_EQ(rowCount(db, "studenPy"), bank);
    auto marks = store::Recordset::OpenTable(db, "filedata");
    ASSERT_TRUE(marks);
    EXPECT_EQ(marks->RecordCount(), 1);
}
