// What a confirmed change survives: a copy of the database file alone, a
// file another program keeps in write-ahead mode, a commit that cannot
// finish.
#include "TestSupport.h"
#include "store/Store.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sqlite3.h>

using namespace store;

namespace {

const QList<FieldDef> kFields{{QStringLiteral("姓名"), FieldKind::Text, 50},
                              {QStringLiteral("js0"), FieldKind::Currency, 0}};

// The names in a table as a plain SQLite connection of another program reads
// them from the file (nothing of this program's connections involved).
QStringList namesInFile(const QString& file, const char* table = "t") {
    QStringList out;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(file.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* st = nullptr;
        const QByteArray sql = QByteArray("SELECT \"姓名\" FROM \"") + table + "\" ORDER BY rowid";
        if (sqlite3_prepare_v2(db, sql.constData(), -1, &st, nullptr) == SQLITE_OK)
            while (sqlite3_step(st) == SQLITE_ROW)
                out << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
        else
            out << QStringLiteral("<%1>").arg(QString::fromUtf8(sqlite3_errmsg(db)));
        sqlite3_finalize(st);
    }
    sqlite3_close(db);
    return out;
}

// A copy of the database file only, as a teacher copies it to a USB stick.
QStringList namesInCopy(const QString& file) {
    const QString copy = QFileInfo(file).dir().filePath(QStringLiteral("usb-copy.mdb"));
    QFile::remove(copy);
    if (!QFile::copy(file, copy)) return {QStringLiteral("<no copy>")};
    return namesInFile(copy);
}

bool appendName(Recordset& rs, const QString& name) {
    rs.AddNew();
    rs.SetField(0, name);
    return rs.Update();
}

QByteArray headerByte(const QString& file, int at) {
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.read(100).mid(at, 1);
}

} // namespace

TEST(Durability, CopyOfTheFileAloneHoldsEveryConfirmedChange) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("cCj218.mdb"));
    Database db = Database::Create(path);
    ASSERT_TRUE(db.CreateTable(QStringLiteral("t"), kFields));
    auto rs = Recordset::OpenTable(db, QStringLiteral("t"));
    ChangeWatch watch; // the score window keeps a second connection open
    ASSERT_GE(watch.version(path), 0);

    ASSERT_TRUE(appendName(*rs, QStringLiteral("甲")));
    rs->MoveFirst();
    ASSERT_TRUE(rs->Edit());
    rs->SetField(0, QStringLiteral("乙"));
    ASSERT_TRUE(rs->Update());
    EXPECT_EQ(namesInCopy(path), QStringList{QStringLiteral("乙")}); // while everything is open

    ASSERT_TRUE(db.beginTransaction());
    ASSERT_TRUE(appendName(*rs, QStringLiteral("丙")));
    ASSERT_TRUE(appendName(*rs, QStringLiteral("丁")));
    EXPECT_EQ(namesInCopy(path), QStringList{QStringLiteral("乙")}); // not confirmed yet
    ASSERT_TRUE(db.commit());
    EXPECT_EQ(namesInCopy(path), (QStringList{"乙", "丙", "丁"}));
    EXPECT_FALSE(db.walFallback());

    // After the program ends nothing is left beside the file.
    rs.reset();
    db = Database();
    watch.version(QString());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files, QDir::Name),
              (QStringList{"cCj218.mdb", "usb-copy.mdb"}));
}

// A file another program keeps in write-ahead mode is switched to the
// journal on open; while another connection holds it that cannot be done,
// and every commit is folded back into the file instead.
TEST(Durability, WriteAheadFilesAreSwitchedOverOrFoldedBack) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("cCj218.mdb"));
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open_v2(path.toUtf8().constData(), &other, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                              nullptr),
              SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other,
                           "PRAGMA journal_mode=WAL; CREATE TABLE t (\"姓名\" TEXT(50), js0 CURRENCY);"
                           "INSERT INTO t (\"姓名\") VALUES ('甲')",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    EXPECT_EQ(headerByte(path, 18), QByteArray(1, 2));              // write-ahead mode
    EXPECT_FALSE(namesInCopy(path).contains(QStringLiteral("甲"))); // only in the log so far
    {
        // The other connection still has the file open.
        Database db = Database::OpenDatabase(path);
        ASSERT_TRUE(db.isValid());
        EXPECT_TRUE(db.walFallback());
        EXPECT_EQ(namesInCopy(path), QStringList{QStringLiteral("甲")}); // folded back on open
        auto rs = Recordset::OpenTable(db, QStringLiteral("t"));
        ASSERT_TRUE(appendName(*rs, QStringLiteral("乙")));
        EXPECT_EQ(namesInCopy(path), (QStringList{"甲", "乙"}));
        ASSERT_TRUE(db.beginTransaction());
        ASSERT_TRUE(appendName(*rs, QStringLiteral("丙")));
        ASSERT_TRUE(db.commit());
        EXPECT_EQ(namesInCopy(path), (QStringList{"甲", "乙", "丙"}));
    }
    sqlite3_close(other);
    {
        // Alone with the file, the store switches it over for good.
        Database db = Database::OpenDatabase(path);
        ASSERT_TRUE(db.isValid());
        EXPECT_FALSE(db.walFallback());
        EXPECT_EQ(headerByte(path, 18), QByteArray(1, 1));
        EXPECT_FALSE(QFileInfo::exists(path + QStringLiteral("-wal")));
        auto rs = Recordset::OpenTable(db, QStringLiteral("t"));
        ASSERT_TRUE(appendName(*rs, QStringLiteral("丁")));
        EXPECT_EQ(namesInCopy(path), (QStringList{"甲", "乙", "丙", "丁"}));
    }
}

// A COMMIT that cannot finish (another program reading the file holds it
// for longer than the store waits) ends the transaction with the reason:
// the next write is not silently part of a transaction that never commits.
TEST(Durability, FailedCommitEndsTheTransactionWithItsReason) {
    const testing_support::ShortBusyTimeout shortWait;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("cCj218.mdb"));
    Database db = Database::Create(path);
    ASSERT_TRUE(db.CreateTable(QStringLiteral("t"), kFields));
    auto rs = Recordset::OpenTable(db, QStringLiteral("t"));

    sqlite3* reader = nullptr;
    sqlite3_stmt* reading = nullptr;
    ASSERT_EQ(sqlite3_open_v2(path.toUtf8().constData(), &reader, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_prepare_v2(reader, "SELECT name FROM sqlite_master", -1, &reading, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_step(reading), SQLITE_ROW); // a read in progress

    ASSERT_TRUE(db.beginTransaction());
    ASSERT_TRUE(appendName(*rs, QStringLiteral("甲")));
    EXPECT_FALSE(db.commit()); // after the store's wait for the reader
    EXPECT_TRUE(db.lastError().contains(QStringLiteral("占用"))) << db.lastError().toStdString();
    EXPECT_TRUE(db.lastError().contains(path));

    sqlite3_finalize(reading);
    sqlite3_close(reader);
    auto fresh = Recordset::OpenTable(db, QStringLiteral("t"));
    ASSERT_TRUE(appendName(*fresh, QStringLiteral("乙")));
    EXPECT_EQ(namesInFile(path), QStringList{QStringLiteral("乙")});

    // A transaction that cannot begin or end says why.
    ASSERT_TRUE(db.beginTransaction());
    EXPECT_FALSE(db.beginTransaction());
    EXPECT_FALSE(db.lastError().isEmpty());
    ASSERT_TRUE(db.rollback());
    EXPECT_FALSE(db.rollback());
    EXPECT_FALSE(db.lastError().isEmpty());
    EXPECT_FALSE(db.commit());
    EXPECT_FALSE(db.lastError().isEmpty());
}
