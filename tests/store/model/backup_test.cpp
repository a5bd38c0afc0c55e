// Copies of whole database files: made while the file is open and being
// written, refused back while it is open, put back byte for byte.
#include "store/Store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sqlite3.h>

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

// A disk with room for `budget` bytes of new files: SQLite's own files
// through the default system, every write past the budget refused as a full
// disk refuses it (SQLITE_FULL). Registered as the default while it lives.
class FullDisk {
public:
    explicit FullDisk(sqlite3_int64 budget) {
        budget_ = budget;
        real_ = sqlite3_vfs_find(nullptr);
        vfs_ = *real_;
        vfs_.zName = "full-disk";
        vfs_.szOsFile = int(sizeof(File)) + real_->szOsFile;
        vfs_.xOpen = &open;
        sqlite3_vfs_register(&vfs_, 1);
    }
    ~FullDisk() {
        sqlite3_vfs_unregister(&vfs_);
        sqlite3_vfs_register(real_, 1);
    }

private:
    struct File {
        sqlite3_file base;
        sqlite3_file* real() { return reinterpret_cast<sqlite3_file*>(this + 1); }
    };
    static File* self(sqlite3_file* f) { return reinterpret_cast<File*>(f); }
    static int open(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* f, int flags, int* outFlags) {
        static const sqlite3_io_methods methods = {
            1,
            [](sqlite3_file* f) { return self(f)->real()->pMethods->xClose(self(f)->real()); },
            [](sqlite3_file* f, void* b, int n, sqlite3_int64 o) {
                return self(f)->real()->pMethods->xRead(self(f)->real(), b, n, o);
            },
            [](sqlite3_file* f, const void* b, int n, sqlite3_int64 o) {
                if (o + n > budget_) return SQLITE_FULL;
                return self(f)->real()->pMethods->xWrite(self(f)->real(), b, n, o);
            },
            [](sqlite3_file* f, sqlite3_int64 size) {
                return self(f)->real()->pMethods->xTruncate(self(f)->real(), size);
            },
            [](sqlite3_file* f, int flags) {
                return self(f)->real()->pMethods->xSync(self(f)->real(), flags);
            },
            [](sqlite3_file* f, sqlite3_int64* size) {
                return self(f)->real()->pMethods->xFileSize(self(f)->real(), size);
            },
            [](sqlite3_file* f, int lock) { return self(f)->real()->pMethods->xLock(self(f)->real(), lock); },
            [](sqlite3_file* f, int lock) {
                return self(f)->real()->pMethods->xUnlock(self(f)->real(), lock);
            },
            [](sqlite3_file* f, int* out) {
                return self(f)->real()->pMethods->xCheckReservedLock(self(f)->real(), out);
            },
            [](sqlite3_file* f, int op, void* arg) {
                return self(f)->real()->pMethods->xFileControl(self(f)->real(), op, arg);
            },
            [](sqlite3_file* f) { return self(f)->real()->pMethods->xSectorSize(self(f)->real()); },
            [](sqlite3_file* f) {
                return self(f)->real()->pMethods->xDeviceCharacteristics(self(f)->real());
            },
            // Version 1: no shared memory, no mapping.
            nullptr,
            nullptr,
            nullptr,
            nullptr,
            nullptr,
            nullptr,
        };
        const int rc = real_->xOpen(real_, name, self(f)->real(), flags, outFlags);
        f->pMethods = self(f)->real()->pMethods ? &methods : nullptr;
        return rc;
    }
    static inline sqlite3_vfs* real_ = nullptr;
    static inline sqlite3_int64 budget_ = 0;
    sqlite3_vfs vfs_{};
};

// A disk that fills while the copy is written: the message names the copy
// that could not be written, not the database it copies, and no half-made
// copy is left.
TEST_F(BackupTest, FullDiskNamesTheCopy) {
    {
        Database db = Database::OpenDatabase(file);
        auto rs = Recordset::OpenTable(db, QStringLiteral("t"));
        ASSERT_TRUE(db.beginTransaction());
        for (int i = 0; i < 3000; ++i) {
            rs->AddNew();
            rs->SetField(0, QStringLiteral("学生%1").arg(i).repeated(4));
            ASSERT_TRUE(rs->Update());
        }
        ASSERT_TRUE(db.commit());
    }
    ASSERT_GT(QFileInfo(file).size(), 128 * 1024);
    QString why;
    bool copied = true;
    {
        const FullDisk disk(64 * 1024);
        copied = backupDatabase(file, copy, &why);
    }
    EXPECT_FALSE(copied);
    EXPECT_TRUE(why.contains(QStringLiteral("磁盘已满"))) << qPrintable(why);
    EXPECT_TRUE(why.contains(copy)) << qPrintable(why);
    EXPECT_FALSE(why.contains(file)) << qPrintable(why);
    EXPECT_FALSE(QFile::exists(copy));
    EXPECT_FALSE(QFile::exists(copy + QStringLiteral(".part")));
    EXPECT_FALSE(QFile::exists(copy + QStringLiteral(".part-journal")));
}

} // namespace
