// The data folder at start: a data file that lacks some of its tables, or is
// another program's database, is named in a question; Yes backs the files
// up and completes them, No ends the start with nothing changed. Half-made
// copies of killed backups are cleared.
#include "shell/Startup.h"
#include "shell/core/Backups.h"
#include "shell/core/StarterContent.h"
#include "shell/ui/MessageBox.h"
#include "store/Schema.h"
#include "store/Store.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sqlite3.h>

using shell::MessageBox;

namespace {

const QDateTime kNow(QDate(2026, 12, 11), QTime(8, 15, 30));

QByteArray bytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

int rows(const QString& file, const QString& table) {
    auto rs = store::Recordset::OpenTable(file, table);
    return rs ? rs->RecordCount() : -1;
}

void runRaw(const QString& file, const char* sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file.toUtf8().constData(), &db), SQLITE_OK);
    char* message = nullptr;
    EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, &message), SQLITE_OK) << (message ? message : "");
    sqlite3_free(message);
    sqlite3_close(db);
}

// A folder that has been used: the comment library lost its phrase bank
// (a bookmark kept), and the plan library's file is another program's
// database. The class and summary files are not there yet.
struct SpoiltFolder {
    QTemporaryDir dir;
    QString common = dir.filePath(store::kCommonDb);
    QString plan = dir.filePath(store::kPlanDb);
    SpoiltFolder() {
        QTemporaryDir fresh;
        shell::ensureDataFilesWithStarterContent(fresh.path());
        QFile::copy(QDir(fresh.path()).filePath(store::kCommonDb), common);
        runRaw(common, "INSERT INTO filedata (网页名称) VALUES ('书签'); DROP TABLE studenPy;");
        runRaw(plan,
               "CREATE TABLE moz_places (id INTEGER, url TEXT); INSERT INTO moz_places VALUES (1, 'x');");
    }
};

} // namespace

TEST(DataFolderStart, YesBacksUpThenCompletesTheFiles) {
    SpoiltFolder folder;
    MessageBox::takeShown();
    MessageBox::setNextAnswer(MessageBox::Yes);
    ASSERT_TRUE(shell::prepareDataFolder(folder.dir.path(), kNow));

    const QStringList shown = MessageBox::takeShown();
    ASSERT_EQ(shown.size(), 1) << shown.join(u'\n').toStdString();
    EXPECT_TRUE(shown[0].contains(QStringLiteral("数据文件“%1”缺少数据表“studenPy”。").arg(folder.common)))
        << shown[0].toStdString();
    EXPECT_TRUE(shown[0].contains(folder.plan + QStringLiteral("”不是本程序的数据库")))
        << shown[0].toStdString();
    EXPECT_TRUE(shown[0].contains(QStringLiteral("选“否”将退出本程序")));

    // The copies made first are the files as they were.
    const QDir copies(shell::backups::folder(folder.dir.path()));
    EXPECT_FALSE(
        store::Database::OpenDatabase(copies.filePath(shell::backups::copyName(store::kPlanDb, kNow)))
            .hasTable(QStringLiteral("jhMidData")));
    EXPECT_FALSE(
        store::Database::OpenDatabase(copies.filePath(shell::backups::copyName(store::kCommonDb, kNow)))
            .hasTable(QStringLiteral("studenPy")));
    EXPECT_EQ(
        rows(copies.filePath(shell::backups::copyName(store::kPlanDb, kNow)), QStringLiteral("moz_places")),
        1);

    // The files now hold every table, the lost bank full again, and what
    // they had before.
    EXPECT_GT(rows(folder.common, QStringLiteral("studenPy")), 100);
    EXPECT_EQ(rows(folder.common, QStringLiteral("filedata")), 1);
    EXPECT_GT(rows(folder.plan, QStringLiteral("jhMidData")), 0);
    EXPECT_EQ(rows(folder.plan, QStringLiteral("moz_places")), 1);
    EXPECT_EQ(rows(folder.dir.filePath(store::kClassDb), QStringLiteral("dataBak")), 13);
    EXPECT_TRUE(store::checkDataFiles(folder.dir.path()).isEmpty());

    // The next start asks nothing.
    ASSERT_TRUE(shell::prepareDataFolder(folder.dir.path(), kNow.addSecs(60)));
    EXPECT_TRUE(MessageBox::takeShown().isEmpty());
}

TEST(DataFolderStart, NoEndsTheStartWithNothingChanged) {
    SpoiltFolder folder;
    const QStringList before = QDir(folder.dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    const QByteArray commonBefore = bytes(folder.common), planBefore = bytes(folder.plan);
    MessageBox::takeShown();
    MessageBox::setNextAnswer(MessageBox::No);
    EXPECT_FALSE(shell::prepareDataFolder(folder.dir.path(), kNow));
    EXPECT_EQ(MessageBox::takeShown().size(), 1);
    EXPECT_EQ(bytes(folder.common), commonBefore);
    EXPECT_EQ(bytes(folder.plan), planBefore);
    // No file made, no backup.
    EXPECT_EQ(QDir(folder.dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
}

// Copies a killed backup left half made, and their journals, are gone after
// the next start; whole copies and the teacher's own files stay.
TEST(DataFolderStart, LeftoversOfKilledBackupsAreCleared) {
    QTemporaryDir dir;
    const QDir copies(shell::backups::folder(dir.path()));
    ASSERT_TRUE(QDir().mkpath(copies.path()));
    const QString earlier = shell::backups::copyName(store::kClassDb, kNow.addDays(-1));
    const QStringList leftovers{earlier + QStringLiteral(".part"), earlier + QStringLiteral(".part-journal"),
                                shell::backups::copyName(store::kCommonDb, kNow.addDays(-2)) +
                                    QStringLiteral(".part")};
    const QStringList kept{QStringLiteral("说明.txt"), QStringLiteral("旧的.mdb.partial")};
    for (const QString& name : leftovers + kept) {
        QFile f(copies.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("x");
    }
    MessageBox::takeShown();
    ASSERT_TRUE(shell::prepareDataFolder(dir.path(), kNow));
    EXPECT_TRUE(MessageBox::takeShown().isEmpty());
    const QStringList left = copies.entryList(QDir::Files);
    for (const QString& name : leftovers)
        EXPECT_FALSE(left.contains(name)) << name.toStdString();
    for (const QString& name : kept)
        EXPECT_TRUE(left.contains(name)) << name.toStdString();
    // The day's backup was made, whole.
    EXPECT_EQ(shell::backups::list(dir.path()).value(0).files.size(), 4);
}
