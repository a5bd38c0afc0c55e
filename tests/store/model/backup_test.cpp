// Copies of whole database files: made while the file is open and being
// written, refused back while it is open, put back byte for byte.
#include "store/Store.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace store;

namespace {

const QList<FieldDef> kFields{{QStringLiteral("姓名"), FieldKind::Text, 50},
                              {QStringLiteral("js0"), FieldKind::Currency, 0}};

QByteArray bytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList names(const QString& path) {
    QStringList out;
    auto rs = Recordset::OpenTable(path, QStringLiteral("t"));
    if (!rs) return {QStringLiteral("<unreadable>")};
    for (rs->MoveFirst(); !rs->isEOF(); rs->MoveNext())
        out << rs->text(0);
    return out;
}

bool append(const QString& path, const QString& name) {
    auto rs = Recordset::OpenTable(path, QStringLiteral("t"));
    if (!rs) return false;
    rs->AddNew();
    rs->SetField(0, name);
    return rs->Update();
}

class BackupTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        Database db = Database::Create(file);
        ASSERT_TRUE(db.CreateTable(QStringLiteral("t"), kFields)) << qPrintable(db.lastError());
        ASSERT_TRUE(append(file, QStringLiteral("张三")));
        ASSERT_TRUE(append(file, QStringLiteral("李四")));
    }
    QTemporaryDir dir;
    QString file = dir.filePath(QStringLiteral("cCj218.mdb"));
    QString copy = dir.filePath(QStringLiteral("copy.mdb"));
};

TEST_F(BackupTest, CopyMadeWhileOpenRestoresByteForByte) {
    {
        // The program has the file open (a class in the score window) while
        // the start-up copy is made.
        auto open = Recordset::OpenTable(file, QStringLiteral("t"));
        ASSERT_TRUE(open);
        QString why;
        ASSERT_TRUE(backupDatabase(file, copy, &why)) << qPrintable(why);
        EXPECT_FALSE(QFile::exists(copy + QStringLiteral(".part")));
        ASSERT_TRUE(append(file, QStringLiteral("王五")));
        // Putting the copy back under an open table is refused, and the file stays.
        const QByteArray before = bytes(file);
        EXPECT_TRUE(databaseInUse(file));
        EXPECT_FALSE(restoreDatabase(copy, file, &why));
        EXPECT_TRUE(why.contains(QStringLiteral("正在使用中"))) << qPrintable(why);
        EXPECT_EQ(bytes(file), before);
    }
    EXPECT_EQ(names(copy), (QStringList{QStringLiteral("张三"), QStringLiteral("李四")}));
    ASSERT_FALSE(databaseInUse(file));
    QString why;
    ASSERT_TRUE(restoreDatabase(copy, file, &why)) << qPrintable(why);
    EXPECT_EQ(bytes(file), bytes(copy));
    EXPECT_EQ(names(file), (QStringList{QStringLiteral("张三"), QStringLiteral("李四")}));
}

TEST_F(BackupTest, FailuresLeaveFilesAsTheyWere) {
    QString why;
    // No such source.
    EXPECT_FALSE(backupDatabase(dir.filePath(QStringLiteral("none.mdb")), copy, &why));
    EXPECT_TRUE(why.contains(QStringLiteral("none.mdb"))) << qPrintable(why);
    // A folder that cannot be written: no copy, no half-written part.
    const QString locked = dir.filePath(QStringLiteral("locked"));
    ASSERT_TRUE(QDir().mkpath(locked));
    QFile::setPermissions(locked, QFile::ReadOwner | QFile::ExeOwner);
    why.clear();
    if (!QFile(locked + QStringLiteral("/probe")).open(QIODevice::WriteOnly)) { // not as root
        EXPECT_FALSE(backupDatabase(file, locked + QStringLiteral("/copy.mdb"), &why));
        EXPECT_FALSE(why.isEmpty());
    }
    QFile::setPermissions(locked, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    // A damaged copy never replaces the file.
    const QByteArray before = bytes(file);
    QFile bad(copy);
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write(QByteArray("SQLite format 3").append('\0').append(QByteArray(4080, 'x')));
    bad.close();
    why.clear();
    EXPECT_FALSE(restoreDatabase(copy, file, &why));
    EXPECT_TRUE(why.contains(QStringLiteral("损坏"))) << qPrintable(why);
    EXPECT_EQ(bytes(file), before);
}

} // namespace
