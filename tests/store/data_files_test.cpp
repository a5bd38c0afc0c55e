// The data folder at start-up: files that cannot be used as they are get
// their own message and are left as they are.
#include "store/Schema.h"
#include "store/Store.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unistd.h>

using namespace store;

namespace {

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList numbers(const QString& path) {
    QStringList out;
    auto rs = Recordset::OpenTable(path, QStringLiteral("dataBak"));
    if (!rs) return out;
    for (rs->MoveFirst(); !rs->isEOF(); rs->MoveNext()) out << rs->text(QStringLiteral("编号"));
    return out;
}

// A message for the user: Chinese words around the file's name, no English
// from the library.
void expectChineseOnly(const QString& message, const QString& path) {
    QString rest = message;
    rest.remove(path);
    rest.remove(QFileInfo(path).absolutePath());
    rest.remove(QStringLiteral("dataBak"));
    rest.remove(QRegularExpression(QStringLiteral("listKM\\d+")));
    EXPECT_FALSE(rest.contains(QRegularExpression(QStringLiteral("[A-Za-z]{3,}")))) << message.toStdString();
}

QStringList mentioning(const QStringList& messages, const QString& what) {
    QStringList out;
    for (const QString& m : messages)
        if (m.contains(what)) out << m;
    return out;
}

} // namespace

// Each way a class file can be unusable at start: its own message naming
// the file, the file left as it was, and read-only work where reading works
// (SQLite reads nothing of a file cut shorter than its header says).
TEST(StartupFiles, EachUnusableFileHasItsOwnMessage) {
    enum class Opens { No, ReadOnly, Writable };
    const bool root = geteuid() == 0;
    struct Case {
        const char* what;
        std::function<void(const QString& folder, const QString& file)> spoil;
        QString message; // a phrase of the message about the file; empty: no message
        Opens opens;
        bool permissions = false; // only meaningful when permission bits are obeyed
    } cases[] = {
        {"locked by another program", nullptr, QStringLiteral("正被其他程序占用"), Opens::No},
        {"read-only file",
         [](const QString&, const QString& file) { QFile::setPermissions(file, QFile::ReadOwner | QFile::ReadUser); },
         QStringLiteral("是只读文件，本次只能查看"), Opens::ReadOnly, true},
        {"read-only folder",
         [](const QString& folder, const QString&) {
             QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadUser | QFile::ExeUser);
         },
         QStringLiteral("不允许写入，本次只能查看"), Opens::ReadOnly, true},
        {"a folder in its place",
         [](const QString& folder, const QString& file) {
             QFile::remove(file);
             QDir(folder).mkdir(kClassDb);
         },
         QStringLiteral("是一个文件夹，不是数据库文件"), Opens::No},
        {"empty file",
         [](const QString&, const QString& file) {
             QFile f(file);
             f.open(QIODevice::WriteOnly | QIODevice::Truncate);
         },
         QString(), Opens::Writable},
        {"foreign file",
         [](const QString&, const QString& file) {
             QFile f(file);
             f.open(QIODevice::WriteOnly | QIODevice::Truncate);
             f.write(QByteArray("Standard Jet DB\0\0\0", 18).repeated(300));
         },
         QStringLiteral("不是本程序能打开的数据库"), Opens::No},
        {"cut-off file",
         [](const QString&, const QString& file) {
             {
                 // Enough students for the file to span many pages.
                 Database db = Database::OpenDatabase(file);
                 db.CreateTable(QStringLiteral("初一(1)班"), classTableFields());
                 auto rs = Recordset::OpenTable(db, QStringLiteral("初一(1)班"));
                 db.beginTransaction();
                 for (int i = 0; i < 2000; ++i) {
                     rs->AddNew();
                     rs->SetField(1, QStringLiteral("学生%1").arg(i));
                     rs->Update();
                 }
                 db.commit();
             }
             QFile f(file);
             f.resize(f.size() / 2);
         },
         QStringLiteral("已经损坏，无法打开"), Opens::No},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.permissions && root) {
            // Permission bits do not stop root: nothing to show there.
            std::cout << "[  SKIPPED ] row \"" << c.what << "\": running as root\n";
            continue;
        }
        QTemporaryDir dir;
        ASSERT_TRUE(ensureDataFiles(dir.path()).isEmpty());
        const QString file = dir.filePath(kClassDb);
        sqlite3* holder = nullptr;
        if (!c.spoil) {
            ASSERT_EQ(sqlite3_open_v2(file.toUtf8().constData(), &holder, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
            ASSERT_EQ(sqlite3_exec(holder, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
        } else {
            c.spoil(dir.path(), file);
        }
        const QByteArray before = fileBytes(file);

        const QStringList messages = ensureDataFiles(dir.path());
        const QStringList aboutIt = mentioning(messages, file);
        if (c.message.isEmpty()) {
            EXPECT_TRUE(aboutIt.isEmpty()) << aboutIt.join(u'\n').toStdString();
        } else {
            ASSERT_EQ(aboutIt.size(), 1) << messages.join(u'\n').toStdString();
            EXPECT_TRUE(aboutIt[0].contains(c.message)) << aboutIt[0].toStdString();
            expectChineseOnly(aboutIt[0], file);
        }
        if (c.opens != Opens::Writable) {
            EXPECT_EQ(fileBytes(file), before);
        }

        QString error;
        Database db = Database::OpenDatabase(file, &error);
        EXPECT_EQ(db.isValid(), c.opens != Opens::No) << error.toStdString();
        if (c.opens == Opens::No) {
            EXPECT_TRUE(error.contains(c.message)) << error.toStdString();
        } else {
            EXPECT_EQ(db.isReadOnly(), c.opens == Opens::ReadOnly);
            auto files = Recordset::OpenTable(db, QStringLiteral("files"));
            ASSERT_TRUE(files);
            files->AddNew();
            files->SetField(0, QStringLiteral("初二(3)班"));
            EXPECT_EQ(files->Update(), c.opens == Opens::Writable);
            if (c.opens == Opens::ReadOnly) {
                EXPECT_TRUE(files->lastError().contains(QStringLiteral("不能保存修改"))) << files->lastError().toStdString();
                expectChineseOnly(files->lastError(), file);
                EXPECT_FALSE(db.CreateTable(QStringLiteral("初二(3)班"), classTableFields()));
                expectChineseOnly(db.lastError(), file);
            } else {
                EXPECT_EQ(numbers(file).size(), 13); // a new database, with its template
            }
        }
        db = Database();
        if (holder) {
            sqlite3_exec(holder, "ROLLBACK", nullptr, nullptr, nullptr);
            sqlite3_close(holder);
        }
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
}

