// The starter content goes only into tables made on this start.
#include "TestSupport.h"
#include "shell/core/StarterContent.h"
#include "shell/core/StatementTable.h"
#include "store/Database.h"
#include "store/Recordset.h"
#include "store/Schema.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QMap>
#include <QProcess>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>
#include <iostream>

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

// The number of rows of every table of the data folder, by "file/table";
// -1 for a table that is not there.
QMap<QString, int> rowCounts(const QString& folder) {
    QMap<QString, int> out;
    for (const store::DatabaseSchema& schema : store::databaseSchemas())
        for (const store::TableSchema& t : schema.tables) {
            auto rs = store::Recordset::OpenTable(QDir(folder).filePath(schema.fileName), t.name);
            out[schema.fileName + u'/' + t.name] = rs ? rs->RecordCount() : -1;
        }
    return out;
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
    store::DataFileOptions options;
    options.created = &created;
    options.starter = starterRecords();
    EXPECT_TRUE(store::ensureDataFiles(folder.path(), options).isEmpty());
    EXPECT_TRUE(listed(created, "studenPy"));
    EXPECT_TRUE(listed(created, "dataBak"));
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
    EXPECT_TRUE(store::ensureDataFiles(folder.path(), options).isEmpty());
    EXPECT_TRUE(created.isEmpty());
    EXPECT_EQ(rowCount(db, "studenPy"), 0);

    // A library table lost from a file that is there is made again and
    // filled once its repair is asked for (the start-up asks the teacher),
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
    EXPECT_EQ(store::ensureDataFiles(folder.path(), options).size(), 1); // named, left alone
    EXPECT_TRUE(created.isEmpty());
    options.repair = {db};
    EXPECT_TRUE(store::ensureDataFiles(folder.path(), options).isEmpty());
    ASSERT_EQ(created.size(), 1);
    EXPECT_EQ(created[0].table, "studenPy");
    EXPECT_EQ(rowCount(db, "studenPy"), bank);
    auto marks = store::Recordset::OpenTable(db, "filedata");
    ASSERT_TRUE(marks);
    EXPECT_EQ(marks->RecordCount(), 1);
}

// The child half of the kill trial: the start-up's making of the data files,
// killed by the parent somewhere on the way.
TEST(StarterKill, ChildMakesTheDataFiles) {
    const QString folder = qEnvironmentVariable("VELTRANO_FIRST_START_DIR");
    if (folder.isEmpty()) GTEST_SKIP() << "only run as the child of KillDuringFirstStartLeavesFullBanks";
    std::cout << "ready" << std::endl;
    ensureDataFilesWithStarterContent(folder);
    QThread::sleep(60); // the parent kills it in any case
}

// A first start killed at any moment: the next start has every bank full,
// exactly as a start that was never interrupted leaves them.
TEST(StarterKill, KillDuringFirstStartLeavesFullBanks) {
    QTemporaryDir whole;
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(ensureDataFilesWithStarterContent(whole.path()).isEmpty());
    const qint64 firstStartMs = qMax<qint64>(clock.elapsed(), 20);
    const QMap<QString, int> full = rowCounts(whole.path());
    ASSERT_GT(full.value(QStringLiteral("cJapy218.mdb/studenPy")), 100);
    ASSERT_GT(full.value(QStringLiteral("cJh218.mdb/jhMidData")), 0);
    ASSERT_GT(full.value(QStringLiteral("cZj218.mdb/zjEndData")), 0);

    // Kill points spread over the time a first start takes here (and a
    // little beyond, since the child also has to get going).
    constexpr int kTrials = 32;
    for (int i = 0; i < kTrials; ++i) {
        const qint64 delayMs = firstStartMs * 5 * i / (4 * (kTrials - 1));
        SCOPED_TRACE(delayMs);
        QTemporaryDir dir;
        QProcess child;
        auto env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("VELTRANO_FIRST_START_DIR"), dir.path());
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--gtest_filter=StarterKill.ChildMakesTheDataFiles")});
        ASSERT_TRUE(child.waitForStarted(30000));
        QByteArray said;
        while (!(said += child.readAllStandardOutput()).contains("ready"))
            ASSERT_TRUE(child.waitForReadyRead(30000));
        QThread::msleep(delayMs);
        child.kill();
        ASSERT_TRUE(child.waitForFinished(30000));

        ensureDataFilesWithStarterContent(dir.path());
        EXPECT_EQ(rowCounts(dir.path()), full);
    }
}
