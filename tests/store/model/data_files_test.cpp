// The data folder at start-up: files that cannot be used as they are get
// their own message and are left as they are, a template with missing rows
// gets them back, a class list whose name field is limited gets an
// unlimited one, and a kill at any moment of the very first start leaves
// files the next start can use.
#include "ExpectedTables.h"
#include "TestSupport.h"
#include "store/Schema.h"
#include "store/Store.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <functional>
#include <gtest/gtest.h>
#include <iostream>
#include <sqlite3.h>
#include <unistd.h>

using namespace store;

namespace {

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Every record of a table as text, each with its stored key, in stored order.
QStringList dump(const QString& path, const QString& table) {
    QStringList out;
    auto rs = Recordset::OpenTable(path, table);
    if (!rs) return {QStringLiteral("<none>")};
    for (rs->MoveFirst(); !rs->isEOF(); rs->MoveNext()) {
        QStringList row{QString::number(rs->storedKey())};
        for (int i = 0; i < rs->fieldCount(); ++i)
            row << rs->text(i);
        out << row.join(u'|');
    }
    return out;
}

QStringList numbers(const QString& path) {
    QStringList out;
    auto rs = Recordset::OpenTable(path, QStringLiteral("dataBak"));
    if (!rs) return out;
    for (rs->MoveFirst(); !rs->isEOF(); rs->MoveNext())
        out << rs->text(QStringLiteral("编号"));
    return out;
}

QStringList settingsNumbers(std::initializer_list<int> order) {
    QStringList out;
    for (int n : order)
        out << QStringLiteral("listKM%1").arg(n);
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
    const testing_support::ShortBusyTimeout shortWait;
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
         [](const QString&, const QString& file) {
             QFile::setPermissions(file, QFile::ReadOwner | QFile::ReadUser);
         },
         QStringLiteral("是只读文件，本次只能查看"), Opens::ReadOnly, true},
        {"read-only folder",
         [](const QString& folder, const QString&) {
             QFile::setPermissions(folder,
                                   QFile::ReadOwner | QFile::ExeOwner | QFile::ReadUser | QFile::ExeUser);
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
            std::cout << "note: row \"" << c.what << "\" not run (running as root)\n";
            continue;
        }
        QTemporaryDir dir;
        ASSERT_TRUE(ensureDataFiles(dir.path()).isEmpty());
        const QString file = dir.filePath(kClassDb);
        sqlite3* holder = nullptr;
        if (!c.spoil) {
            ASSERT_EQ(sqlite3_open_v2(file.toUtf8().constData(), &holder, SQLITE_OPEN_READWRITE, nullptr),
                      SQLITE_OK);
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
                EXPECT_TRUE(files->lastError().contains(QStringLiteral("不能保存修改")))
                    << files->lastError().toStdString();
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

// A template with missing settings rows gets exactly those back, where they
// belong in the stored order; the rows that are there are not touched.
TEST(StartupFiles, TemplateGetsItsMissingRowsBack) {
    struct Kept {
        int n;
        qint64 key;
    };
    struct Case {
        const char* what;
        QList<Kept> kept;  // the settings rows the template still has
        QStringList order; // the "编号" of every row afterwards
        bool toldAtTheEnd = false;
    } cases[] = {
        {"empty (killed between table and rows)",
         {},
         settingsNumbers({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12})},
        {"last rows missing",
         {{0, 1}, {1, 2}, {2, 3}, {3, 4}, {4, 5}, {5, 6}, {6, 7}, {7, 8}, {8, 9}},
         settingsNumbers({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12})},
        {"rows missing in the middle, the first one edited",
         {{0, 1}, {1, 2}, {2, 3}, {5, 6}, {6, 7}, {7, 8}, {8, 9}, {9, 10}, {10, 11}, {11, 12}, {12, 13}},
         settingsNumbers({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12})},
        {"first rows missing",
         {{2, 1}, {3, 2}, {4, 3}, {5, 4}, {6, 5}, {7, 6}, {8, 7}, {9, 8}, {10, 9}, {11, 10}, {12, 11}},
         settingsNumbers({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12})},
        {"no room between its neighbours",
         {{0, 1},
          {2, 2},
          {3, 3},
          {4, 4},
          {5, 5},
          {6, 6},
          {7, 7},
          {8, 8},
          {9, 9},
          {10, 10},
          {11, 11},
          {12, 12}},
         settingsNumbers({0, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 1}),
         true},
        {"all there, one edited",
         {{0, 1},
          {1, 2},
          {2, 3},
          {3, 4},
          {4, 5},
          {5, 6},
          {6, 7},
          {7, 8},
          {8, 9},
          {9, 10},
          {10, 11},
          {11, 12},
          {12, 13}},
         settingsNumbers({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12})},
    };
    const QList<QList<QVariant>> defaults = templateRows();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        const QString file = dir.filePath(kClassDb);
        {
            Database db = Database::Create(file);
            ASSERT_TRUE(
                db.CreateTable(QStringLiteral("files"), {{QStringLiteral("文件名"), FieldKind::Memo, 0}}));
            ASSERT_TRUE(db.CreateTable(QStringLiteral("dataBak"), classTableFields()));
            for (const Kept& k : c.kept) {
                QList<QVariant> row = defaults[k.n];
                if (k.n == 0) { // the teacher's own first subject in the template
                    row[1] = QStringLiteral("语文");
                    row[6] = QStringLiteral("120");
                }
                ASSERT_TRUE(db.insertRecord(QStringLiteral("dataBak"), row, k.key))
                    << db.lastError().toStdString();
            }
        }
        const QStringList before = dump(file, QStringLiteral("dataBak"));

        const QStringList messages = ensureDataFiles(dir.path());
        EXPECT_EQ(numbers(file), c.order);
        const QStringList after = dump(file, QStringLiteral("dataBak"));
        for (const QString& row : before)
            EXPECT_TRUE(after.contains(row)) << "changed: " << row.toStdString();
        const int missing = 13 - int(c.kept.size());
        const QStringList told = mentioning(messages, QStringLiteral("dataBak"));
        if (missing == 0) {
            EXPECT_TRUE(told.isEmpty()) << told.join(u'\n').toStdString();
            continue;
        }
        ASSERT_EQ(told.size(), 1) << messages.join(u'\n').toStdString();
        EXPECT_TRUE(told[0].contains(QStringLiteral("缺少 %1 行设置记录").arg(missing)))
            << told[0].toStdString();
        EXPECT_EQ(told[0].contains(QStringLiteral("末尾")), c.toldAtTheEnd) << told[0].toStdString();
        expectChineseOnly(told[0], file);

        // The rows put back are the program's defaults: a free subject slot
        // with full marks of 100.
        auto bak = Recordset::OpenTable(file, QStringLiteral("dataBak"));
        for (bak->MoveFirst(); !bak->isEOF(); bak->MoveNext()) {
            const QString row = after[bak->position()];
            if (before.contains(row)) continue;
            EXPECT_EQ(bak->text(QStringLiteral("姓名")), QStringLiteral("000"));
            EXPECT_EQ(bak->text(QStringLiteral("js3")), QStringLiteral("100"));
        }
        EXPECT_TRUE(ensureDataFiles(dir.path()).isEmpty()); // once put back, nothing more to say
    }
}

// A class list made with a 255-character name field gets an unlimited one:
// its rows, their order and every other table stay as they were.
TEST(StartupFiles, LimitedClassListGetsAWideNameField) {
    QTemporaryDir dir;
    const QString file = dir.filePath(kClassDb);
    const QString cls = QStringLiteral("初三(2)班");
    {
        Database db = Database::Create(file);
        ASSERT_TRUE(
            db.CreateTable(QStringLiteral("files"), {{QStringLiteral("文件名"), FieldKind::Text, 255}}));
        ASSERT_TRUE(db.CreateTable(QStringLiteral("dataBak"), classTableFields()));
        qint64 key = 0;
        for (const QList<QVariant>& row : templateRows())
            ASSERT_TRUE(db.insertRecord(QStringLiteral("dataBak"), row, ++key));
        ASSERT_TRUE(db.CreateTable(cls, classTableFields()));
        auto list = Recordset::OpenTable(db, QStringLiteral("files"));
        for (const char* name : {"初三(2)班", "已删除", "高一(5)班", "a\"b"}) {
            list->AddNew();
            list->SetField(0, QString::fromUtf8(name));
            ASSERT_TRUE(list->Update());
        }
        list->MoveFirst();
        list->MoveNext();
        ASSERT_TRUE(list->Delete()); // a gap in the stored keys
        auto students = Recordset::OpenTable(db, cls);
        students->AddNew();
        students->SetField(1, QStringLiteral("张三"));
        students->SetField(3, QStringLiteral("95.5"));
        ASSERT_TRUE(students->Update());
    }
    const QStringList listBefore = dump(file, QStringLiteral("files"));
    const QStringList classBefore = dump(file, cls);
    const QStringList templateBefore = dump(file, QStringLiteral("dataBak"));

    EXPECT_TRUE(ensureDataFiles(dir.path()).isEmpty());
    Database db = Database::OpenDatabase(file);
    ASSERT_EQ(db.fields(QStringLiteral("files")).size(), 1);
    EXPECT_EQ(db.fields(QStringLiteral("files"))[0].kind, FieldKind::Memo);
    EXPECT_EQ(dump(file, QStringLiteral("files")), listBefore);
    EXPECT_EQ(dump(file, cls), classBefore);
    EXPECT_EQ(dump(file, QStringLiteral("dataBak")), templateBefore);
    const QStringList tables = db.tables();
    EXPECT_EQ(QSet<QString>(tables.begin(), tables.end()),
              (QSet<QString>{QStringLiteral("files"), QStringLiteral("dataBak"), cls}));

    auto list = Recordset::OpenTable(db, QStringLiteral("files"));
    list->AddNew();
    list->SetField(0, QStringLiteral("班").repeated(300));
    EXPECT_TRUE(list->Update()) << list->lastError().toStdString();
}

namespace {
// Runs SQL on a file through a connection of its own, as another program would.
void runRaw(const QString& file, const char* sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(
        sqlite3_open_v2(file.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr),
        SQLITE_OK);
    char* message = nullptr;
    EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, &message), SQLITE_OK) << (message ? message : "");
    sqlite3_free(message);
    sqlite3_close(db);
}
} // namespace

// A data file that holds some tables but not all of its own (another
// program's database, one of ours that lost tables) is named with what it
// lacks and left exactly as it was, unless its repair is asked for; a file
// with no tables at all (0 bytes, or an empty database) is made a new one.
TEST(StartupFiles, FilesNotWhollyOursAreNamedAndLeftAloneUnlessRepaired) {
    QTemporaryDir dir;
    ASSERT_TRUE(ensureDataFiles(dir.path()).isEmpty());
    const QString common = dir.filePath(kCommonDb), plan = dir.filePath(kPlanDb),
                  summary = dir.filePath(kSummaryDb), classes = dir.filePath(kClassDb);
    // Ours, with two tables lost and a bookmark kept.
    runRaw(common,
           "INSERT INTO filedata (网页名称) VALUES ('书签'); DROP TABLE studenPy; DROP TABLE jaSWtextData;");
    // Another program's database, in write-ahead mode.
    ASSERT_TRUE(QFile::remove(plan));
    runRaw(plan, "PRAGMA journal_mode=WAL; CREATE TABLE moz_places (id INTEGER, url TEXT); "
                 "INSERT INTO moz_places VALUES (1, 'https://example.invalid/');");
    // An empty database: another program made it and wrote no table.
    ASSERT_TRUE(QFile::remove(summary));
    runRaw(summary, "PRAGMA user_version=7;");
    ASSERT_GT(QFileInfo(summary).size(), 0);
    // A 0-byte file.
    ASSERT_TRUE(QFile::remove(classes));
    QFile(classes).open(QIODevice::WriteOnly);

    const QList<DataFileGap> gaps = checkDataFiles(dir.path());
    ASSERT_EQ(gaps.size(), 2);
    EXPECT_EQ(gaps[0].path, common);
    EXPECT_EQ(gaps[0].missing, (QStringList{QStringLiteral("studenPy"), QStringLiteral("jaSWtextData")}));
    EXPECT_FALSE(gaps[0].foreign);
    EXPECT_EQ(gaps[0].sentence(),
              QStringLiteral("数据文件“%1”缺少数据表“studenPy”、“jaSWtextData”。").arg(common));
    EXPECT_EQ(gaps[1].path, plan);
    EXPECT_EQ(gaps[1].missing.size(), 3);
    EXPECT_TRUE(gaps[1].foreign);
    EXPECT_TRUE(gaps[1].sentence().contains(QStringLiteral("不是本程序的数据库")))
        << gaps[1].sentence().toStdString();

    const QByteArray commonBefore = fileBytes(common), planBefore = fileBytes(plan);
    const QStringList messages = ensureDataFiles(dir.path());
    ASSERT_EQ(messages.size(), 2) << messages.join(u'\n').toStdString();
    EXPECT_EQ(messages[0], gaps[0].sentence() + QStringLiteral("本程序没有改动它。"));
    EXPECT_EQ(messages[1], gaps[1].sentence() + QStringLiteral("本程序没有改动它。"));
    EXPECT_EQ(fileBytes(common), commonBefore);
    EXPECT_EQ(fileBytes(plan), planBefore);
    // The files with no tables are new databases now.
    EXPECT_EQ(numbers(classes).size(), 13);
    EXPECT_TRUE(Database::OpenDatabase(summary).hasTable(QStringLiteral("zjMidData")));

    // Asked to: each gets what it lacks, and keeps what it had.
    DataFileOptions repair;
    repair.repair = {common, plan};
    EXPECT_TRUE(ensureDataFiles(dir.path(), repair).isEmpty());
    EXPECT_TRUE(checkDataFiles(dir.path()).isEmpty());
    EXPECT_EQ(tablesIn(dir.path()).filter(QStringLiteral("moz_places")).size(), 1);
    EXPECT_EQ(dump(common, QStringLiteral("filedata")).size(), 1);
    EXPECT_EQ(dump(plan, QStringLiteral("moz_places")).size(), 1);
    for (const QString& line : sortedExpectedTables())
        EXPECT_TRUE(tablesIn(dir.path()).contains(line)) << line.toStdString();
}

// The child half of the first-start kill test: makes the data files and is
// killed by the parent somewhere on the way.
TEST(StartupKill, ChildMakesTheDataFiles) {
    const QString folder = qEnvironmentVariable("VELTRANO_FIRST_START_DIR");
    if (folder.isEmpty()) GTEST_SKIP() << "only run as the child of KillDuringFirstStartLeavesUsableFiles";
    std::cout << "ready" << std::endl;
    ensureDataFiles(folder);
    QThread::sleep(60); // the parent kills it in any case
}

TEST(StartupKill, KillDuringFirstStartLeavesUsableFiles) {
    // Kill points spread over the time a first start takes on this machine,
    // and one well after it has finished.
    QTemporaryDir scratch;
    QElapsedTimer clock;
    clock.start();
    ensureDataFiles(scratch.path());
    const qint64 firstStartMs = qMax<qint64>(clock.elapsed(), 20);
    QList<qint64> delays;
    for (int i = 0; i <= 16; ++i)
        delays << firstStartMs * i / 16;
    delays << firstStartMs * 4;
    for (qint64 delayMs : delays) {
        SCOPED_TRACE(delayMs);
        QTemporaryDir dir;
        QProcess child;
        auto env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("VELTRANO_FIRST_START_DIR"), dir.path());
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--gtest_filter=StartupKill.ChildMakesTheDataFiles")});
        ASSERT_TRUE(child.waitForStarted(30000));
        QByteArray said;
        while (!(said += child.readAllStandardOutput()).contains("ready"))
            ASSERT_TRUE(child.waitForReadyRead(30000));
        QThread::msleep(delayMs);
        child.kill();
        ASSERT_TRUE(child.waitForFinished(30000));

        // The next start: whatever it says, every file and table is there
        // and the template is whole.
        ensureDataFiles(dir.path());
        EXPECT_EQ(tablesIn(dir.path()), sortedExpectedTables());
        EXPECT_EQ(numbers(dir.filePath(kClassDb)),
                  settingsNumbers({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
        EXPECT_TRUE(ensureDataFiles(dir.path()).isEmpty());
    }
}
