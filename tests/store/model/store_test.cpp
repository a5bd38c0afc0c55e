#include "ExpectedTables.h"
#include "TestSupport.h"
#include "store/Schema.h"
#include "store/Store.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <csignal>
#include <functional>
#include <gtest/gtest.h>
#include <sqlite3.h>

using namespace store;

namespace {

QList<FieldDef> sampleFields() {
    return {{QStringLiteral("内容"), FieldKind::Memo, 0},
            {QStringLiteral("姓名"), FieldKind::Text, 10},
            {QStringLiteral("js0"), FieldKind::Currency, 0},
            {QStringLiteral("序号"), FieldKind::Number, 0},
            {QStringLiteral("记录时间"), FieldKind::Date, 0}};
}

struct StoreFixture : ::testing::Test {
    QTemporaryDir dir;
    QString path;
    Database db;
    void SetUp() override {
        path = dir.filePath(QStringLiteral("t.mdb"));
        db = Database::Create(path);
        ASSERT_TRUE(db.isValid());
        ASSERT_TRUE(db.CreateTable(QStringLiteral("高一(1)班"), sampleFields()));
    }
    std::unique_ptr<Recordset> open(const QString& t = QStringLiteral("高一(1)班")) {
        return Recordset::OpenTable(path, t);
    }
    void add(Recordset& rs, const QString& name) {
        rs.AddNew();
        rs.SetField(QStringLiteral("姓名"), name);
        ASSERT_TRUE(rs.Update()) << rs.lastError().toStdString();
    }
    QStringList names(Recordset& rs) {
        QStringList out;
        for (rs.MoveFirst(); !rs.isEOF(); rs.MoveNext())
            out << rs.text(QStringLiteral("姓名"));
        return out;
    }
};

// Reads through Qt Sql instead of the driver's handle while it lives.
struct DriverReads {
    explicit DriverReads(bool on) { Database::setDriverReadsForTesting(on); }
    ~DriverReads() { Database::setDriverReadsForTesting(false); }
    DriverReads(const DriverReads&) = delete;
    DriverReads& operator=(const DriverReads&) = delete;
};

} // namespace

TEST_F(StoreFixture, KeepsStoredOrderAcrossDeletesAndReopen) {
    auto rs = open();
    ASSERT_TRUE(rs);
    EXPECT_TRUE(rs->isEOF());
    for (const char* n : {"甲", "乙", "丙", "丁", "戊"})
        add(*rs, QString::fromUtf8(n));
    EXPECT_EQ(rs->RecordCount(), 5);

    // Delete the second and the fourth; MoveNext after a Delete goes to the
    // record that followed the deleted one.
    rs->MoveFirst();
    rs->MoveNext();
    ASSERT_TRUE(rs->Delete());
    EXPECT_TRUE(rs->Fields(1).isNull());
    rs->MoveNext();
    EXPECT_EQ(rs->text(1), QStringLiteral("丙"));
    rs->MoveNext();
    ASSERT_TRUE(rs->Delete());
    EXPECT_EQ(rs->RecordCount(), 3);
    add(*rs, QStringLiteral("己")); // a new record goes last, even after deletes of later rows

    auto again = open();
    EXPECT_EQ(names(*again), (QStringList{"甲", "丙", "戊", "己"}));
    EXPECT_EQ(again->RecordCount(), 4);
}

TEST_F(StoreFixture, NeverWrittenFieldsReadNullAndCompareFalse) {
    auto rs = open();
    add(*rs, QStringLiteral("甲"));
    auto again = open();
    again->MoveFirst();
    for (const char* f : {"内容", "js0", "序号", "记录时间"}) {
        EXPECT_TRUE(again->Fields(QString::fromUtf8(f)).isNull()) << f;
        EXPECT_EQ(again->text(QString::fromUtf8(f)), QString()) << f;
    }
    EXPECT_FALSE(Recordset::same(again->Fields(2), again->Fields(2)));
    EXPECT_FALSE(Recordset::same(again->Fields(2), QVariant(0)));
    EXPECT_TRUE(Recordset::same(again->Fields(1), QVariant(QStringLiteral("甲"))));
}

TEST_F(StoreFixture, ValuesRoundTripByNameAndPosition) {
    auto rs = open();
    rs->AddNew();
    rs->SetField(0, QStringLiteral("评语：{很好}"));
    rs->SetField(QStringLiteral("JS0"), QStringLiteral("84.3333")); // field names match without case
    rs->SetField(3, 7);
    rs->SetField(4, QStringLiteral("2003-2-11"));
    rs->SetField(1, QStringLiteral("一二三四五六七八九十")); // ten characters fit Text(10)
    ASSERT_TRUE(rs->Update()) << rs->lastError().toStdString();
    auto again = open();
    again->MoveFirst();
    EXPECT_EQ(again->text(0), QStringLiteral("评语：{很好}"));
    EXPECT_EQ(again->Fields(2).value<Currency>().raw(), 843333);
    EXPECT_EQ(again->text(QStringLiteral("js0")), QStringLiteral("84.3333"));
    EXPECT_EQ(again->Fields(3).toLongLong(), 7);
    EXPECT_EQ(again->text(4), QStringLiteral("2003-2-11"));
    EXPECT_EQ(again->Fields(4).toDate(), QDate(2003, 2, 11));
}

TEST_F(StoreFixture, RefusedValuesWriteNothing) {
    auto rs = open();
    add(*rs, QStringLiteral("甲"));
    struct Case {
        int field;
        QVariant value;
    } cases[] = {{1, QStringLiteral("一二三四五六七八九十一")}, // eleven characters
                 {2, QStringLiteral("八十五")},
                 {2, QStringLiteral("")},
                 {2, QStringLiteral("922337203685477.5808")}, // one past the largest Currency
                 {2, 1e300},
                 {3, QStringLiteral("x")},
                 {4, QStringLiteral("2003-13-40")}};
    for (const Case& c : cases) {
        // Appending: no record is added.
        rs->AddNew();
        rs->SetField(1, QStringLiteral("乙"));
        rs->SetField(c.field, c.value);
        EXPECT_FALSE(rs->Update()) << c.field;
        EXPECT_FALSE(rs->lastError().isEmpty());
        // Editing: the record stays as it was.
        rs->MoveFirst();
        ASSERT_TRUE(rs->Edit());
        rs->SetField(0, QStringLiteral("改过"));
        rs->SetField(c.field, c.value);
        EXPECT_FALSE(rs->Update()) << c.field;
    }
    auto again = open();
    EXPECT_EQ(again->RecordCount(), 1);
    again->MoveFirst();
    EXPECT_EQ(again->text(1), QStringLiteral("甲"));
    EXPECT_TRUE(again->Fields(0).isNull());
    EXPECT_EQ(rs->text(0), QString()); // the cursor's own view is unchanged as well
}

// Limits as the teacher sees them: a text field's size counts characters,
// however many UTF-16 units they take, and a Currency field takes exactly
// the range of its 64-bit count, in every form a value can come in.
TEST(FieldLimits, TextCountsCharactersAndCurrencyKeepsItsRange) {
    const FieldDef name{QStringLiteral("姓名"), FieldKind::Text, 50};
    const FieldDef score{QStringLiteral("js0"), FieldKind::Currency, 0};
    const QString emoji = QStringLiteral("😀");
    struct Case {
        const char* what;
        const FieldDef& def;
        QVariant value;
        bool accepted;
    } cases[] = {
        {"50 emoji", name, emoji.repeated(50), true},
        {"51 emoji", name, emoji.repeated(51), false},
        {"49 emoji and 1 Han", name, emoji.repeated(49) + QStringLiteral("王"), true},
        {"50 Han", name, QStringLiteral("王").repeated(50), true},
        {"51 Han", name, QStringLiteral("王").repeated(51), false},
        {"largest text", score, QStringLiteral("922337203685477.5807"), true},
        {"smallest text", score, QStringLiteral("-922337203685477.5808"), true},
        {"past largest text", score, QStringLiteral("922337203685477.5808"), false},
        {"past smallest text", score, QStringLiteral("-922337203685477.5809"), false},
        {"huge double", score, 1e16, false},
        {"largest whole", score, qlonglong(922337203685477), true},
        {"past largest whole", score, qlonglong(922337203685478), false},
        {"past smallest whole", score, qlonglong(-922337203685478), false},
        {"unsigned past largest", score, QVariant::fromValue(quint64(1) << 63), false},
        {"unsigned small", score, QVariant::fromValue(quint64(85)), true},
    };
    for (const Case& c : cases) {
        QString why;
        const auto stored = Recordset::convertForStore(c.def, c.value, &why);
        EXPECT_EQ(stored.has_value(), c.accepted) << c.what;
        if (!c.accepted) {
            EXPECT_TRUE(why.contains(c.def.name)) << c.what;
        }
    }
    QString why;
    EXPECT_EQ(Recordset::convertForStore(score, QVariant::fromValue(quint64(85)), &why)->toLongLong(),
              850000);
}

// A class name as long as a table name can be is kept in the class list, and
// a name field of fifty characters holds fifty emoji.
TEST(FieldLimits, LongNamesFitWhereTheDatabaseTakesThem) {
    QTemporaryDir dir;
    ASSERT_TRUE(ensureDataFiles(dir.path()).isEmpty());
    auto files = Recordset::OpenTable(dir.filePath(kClassDb), QStringLiteral("files"));
    ASSERT_TRUE(files);
    const QString className = QStringLiteral("高").repeated(300);
    ASSERT_TRUE(Database::OpenDatabase(dir.filePath(kClassDb)).CreateTable(className, classTableFields()));
    files->AddNew();
    files->SetField(QStringLiteral("文件名"), className);
    ASSERT_TRUE(files->Update()) << files->lastError().toStdString();

    auto cls = Recordset::OpenTable(dir.filePath(kClassDb), className);
    ASSERT_TRUE(cls);
    cls->AddNew();
    cls->SetField(QStringLiteral("姓名"), QStringLiteral("😀").repeated(50));
    ASSERT_TRUE(cls->Update()) << cls->lastError().toStdString();
    auto again = Recordset::OpenTable(dir.filePath(kClassDb), className);
    again->MoveFirst();
    EXPECT_EQ(again->text(QStringLiteral("姓名")), QStringLiteral("😀").repeated(50));
    auto list = Recordset::OpenTable(dir.filePath(kClassDb), QStringLiteral("files"));
    list->MoveFirst();
    EXPECT_EQ(list->text(0), className);
}

// Debian's Qt driver links the system libsqlite3, as this program does: the
// start-up check finds one library and lets tables be read through the
// driver's handle.
TEST(SqliteLibraries, DriverAndProgramShareOneLibrary) {
    QTemporaryDir dir;
    ASSERT_TRUE(Database::Create(dir.filePath(QStringLiteral("t.mdb"))).isValid());
    const Database::SqliteCheck& check = Database::sqliteCheck();
    EXPECT_EQ(check.programVersion, QString::fromLatin1(sqlite3_libversion()));
    EXPECT_EQ(check.driverVersion, check.programVersion);
    EXPECT_TRUE(check.sameLibrary);
    EXPECT_TRUE(check.note.isEmpty()) << check.note.toStdString();
    EXPECT_TRUE(Database::readsThroughRawHandle());
}

// Both ways of reading a table (the driver's raw handle, and Qt Sql when the
// driver's SQLite is not this program's) give the same values.
TEST_F(StoreFixture, DriverReadsMatchRawHandleReads) {
    EXPECT_TRUE(Database::readsThroughRawHandle())
        << "Qt's SQLite driver and libsqlite3 should be one library here";
    auto rs = open();
    rs->AddNew();
    rs->SetField(0, QStringLiteral("评语"));
    rs->SetField(1, QStringLiteral("😀甲"));
    rs->SetField(2, QStringLiteral("-84.3333"));
    rs->SetField(3, 2.5);
    rs->SetField(4, QStringLiteral("2003-2-11"));
    ASSERT_TRUE(rs->Update());
    rs->AddNew();
    rs->SetField(3, 7);
    ASSERT_TRUE(rs->Update());
    auto dump = [&] {
        QStringList out;
        auto r = open();
        for (r->MoveFirst(); !r->isEOF(); r->MoveNext()) {
            QStringList row{QString::number(r->storedKey())};
            for (int i = 0; i < r->fieldCount(); ++i)
                row << r->text(i) + u'/' + QString::fromLatin1(r->Fields(i).typeName());
            out << row.join(u'|');
        }
        return out;
    };
    const QStringList raw = dump();
    Database::setDriverReadsForTesting(true);
    const QStringList driver = dump();
    Database::setDriverReadsForTesting(false);
    EXPECT_EQ(raw.size(), 2);
    EXPECT_EQ(driver, raw);
}

TEST_F(StoreFixture, TableNamesMatchWithoutCaseAndAreQuoted) {
    ASSERT_TRUE(db.CreateTable(QStringLiteral("ClassA"), sampleFields()));
    EXPECT_TRUE(Recordset::OpenTable(path, QStringLiteral("classa")));
    EXPECT_EQ(db.findTable(QStringLiteral("CLASSA")), QStringLiteral("ClassA"));
    EXPECT_FALSE(db.CreateTable(QStringLiteral("CLASSA"), sampleFields()));
    EXPECT_FALSE(db.CreateTable(QStringLiteral("高一(1)班"), sampleFields()));
    QString error;
    EXPECT_FALSE(Recordset::OpenTable(path, QStringLiteral("no such"), &error));
    EXPECT_FALSE(error.isEmpty());

    const QStringList before = db.tables();
    const QString evil = QStringLiteral("x\"; DROP TABLE files; --");
    ASSERT_TRUE(db.CreateTable(QStringLiteral("files"), {{QStringLiteral("文件名"), FieldKind::Text, 255}}));
    ASSERT_TRUE(db.CreateTable(evil, sampleFields()));
    const QStringList expected = before + QStringList{QStringLiteral("files"), evil};
    EXPECT_EQ(db.tables(), expected);
    auto rs = Recordset::OpenTable(path, evil);
    ASSERT_TRUE(rs);
    add(*rs, QStringLiteral("'; DELETE"));
    EXPECT_EQ(Recordset::OpenTable(path, evil)->RecordCount(), 1);
}

// A call that fails says why, on the handle it was made on, naming what was
// missing.
TEST_F(StoreFixture, FailedCallsKeepTheirReason) {
    const QString table = QStringLiteral("高一(1)班");
    const QString noTable = QStringLiteral("无此表");
    const QString noField = QStringLiteral("无此字段");
    struct Case {
        const char* what;
        std::function<bool()> call;
        QString mentions;
    };
    auto rs = open();
    const QList<Case> onFile{
        {"fields of a missing table", [&] { return !db.fields(noTable).isEmpty(); }, noTable},
        {"insert into a missing table", [&] { return db.insertRecord(noTable, {}, 1); }, noTable},
        {"insert of more values than fields",
         [&] { return db.insertRecord(table, QList<QVariant>(6, 1), 1); }, table},
        {"redefine a missing field",
         [&] {
             return db.redefineField(table, {noField, FieldKind::Memo, 0});
         },
         noField},
    };
    for (const Case& c : onFile) {
        SCOPED_TRACE(c.what);
        EXPECT_FALSE(c.call());
        EXPECT_TRUE(db.lastError().contains(c.mentions)) << db.lastError().toStdString();
    }
    const QList<Case> onCursor{
        {"set a field with no record being edited",
         [&] { return rs->SetField(1, QStringLiteral("甲")); },
         {}},
        {"edit with no current record", [&] { return rs->Edit(); }, {}},
        {"set a missing field",
         [&] {
             rs->AddNew();
             return rs->SetField(noField, 1);
         },
         noField},
    };
    for (const Case& c : onCursor) {
        SCOPED_TRACE(c.what);
        rs->CancelUpdate();
        EXPECT_FALSE(c.call());
        EXPECT_FALSE(rs->lastError().isEmpty());
        EXPECT_TRUE(rs->lastError().contains(c.mentions)) << rs->lastError().toStdString();
    }
    EXPECT_EQ(open()->RecordCount(), 0); // and nothing was written
}

TEST_F(StoreFixture, RefreshShowsOtherCursorsChanges) {
    auto a = open();
    auto b = open();
    add(*a, QStringLiteral("甲"));
    EXPECT_EQ(b->RecordCount(), 0);
    ASSERT_TRUE(b->Refresh());
    EXPECT_EQ(b->RecordCount(), 1);
    b->MoveFirst();
    ASSERT_TRUE(b->Edit());
    b->SetField(1, QStringLiteral("乙"));
    ASSERT_TRUE(b->Update());
    a->Refresh();
    a->MoveFirst();
    EXPECT_EQ(a->text(1), QStringLiteral("乙"));
}

TEST_F(StoreFixture, TransactionIsAllOrNothing) {
    auto rs = open();
    ASSERT_TRUE(db.beginTransaction());
    add(*rs, QStringLiteral("甲"));
    add(*rs, QStringLiteral("乙"));
    ASSERT_TRUE(db.rollback());
    EXPECT_EQ(open()->RecordCount(), 0);
}

// The child half of the kill test: runs in a separate process, writes one
// record and dies at once without any clean-up.
TEST(StoreKill, ChildWritesThenDies) {
    const QString target = qEnvironmentVariable("VELTRANO_KILL_TEST_DB");
    if (target.isEmpty()) GTEST_SKIP() << "only run as the child of KillAfterUpdateLosesNothing";
    auto rs = Recordset::OpenTable(target, QStringLiteral("t"));
    ASSERT_TRUE(rs);
    rs->AddNew();
    rs->SetField(0, QStringLiteral("已确认"));
    ASSERT_TRUE(rs->Update());
    rs->MoveFirst();
    rs->Edit();
    rs->SetField(0, QStringLiteral("已修改"));
    ASSERT_TRUE(rs->Update());
    std::raise(SIGKILL);
}

TEST(StoreKill, KillAfterUpdateLosesNothing) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("k.mdb"));
    {
        Database db = Database::Create(path);
        ASSERT_TRUE(db.CreateTable(QStringLiteral("t"), {{QStringLiteral("名"), FieldKind::Text, 20}}));
    }
    QProcess child;
    auto env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("VELTRANO_KILL_TEST_DB"), path);
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=StoreKill.ChildWritesThenDies")});
    ASSERT_TRUE(child.waitForFinished(30000));
    EXPECT_EQ(child.exitStatus(), QProcess::CrashExit);
    // The file alone holds the confirmed change (nothing is left only in a
    // log beside it), and so does the file opened again in place.
    const QString copy = dir.filePath(QStringLiteral("copy.mdb"));
    ASSERT_TRUE(QFile::copy(path, copy));
    for (const QString& file : {copy, path}) {
        auto rs = Recordset::OpenTable(file, QStringLiteral("t"));
        ASSERT_TRUE(rs) << file.toStdString();
        ASSERT_EQ(rs->RecordCount(), 1);
        rs->MoveFirst();
        EXPECT_EQ(rs->text(0), QStringLiteral("已修改"));
    }
}

TEST(DataFiles, CreatesEveryFileWithTablesAndTemplate) {
    QTemporaryDir dir;
    EXPECT_TRUE(ensureDataFiles(dir.path()).isEmpty());
    EXPECT_EQ(tablesIn(dir.path()), sortedExpectedTables());
    auto bak = Recordset::OpenTable(dir.filePath(kClassDb), QStringLiteral("dataBak"));
    ASSERT_EQ(bak->RecordCount(), 13);
    int r = 0;
    for (bak->MoveFirst(); !bak->isEOF(); bak->MoveNext(), ++r) {
        EXPECT_EQ(bak->text(QStringLiteral("编号")), QStringLiteral("listKM%1").arg(r));
        EXPECT_EQ(bak->text(QStringLiteral("姓名")), QStringLiteral("000")); // every subject slot free
        EXPECT_EQ(bak->text(QStringLiteral("js2")), QStringLiteral("100"));
        EXPECT_EQ(bak->text(QStringLiteral("js3")), QStringLiteral("100"));
    }
    bak->MoveFirst();
    EXPECT_EQ(bak->text(0), QStringLiteral("不及格"));
}

TEST(DataFiles, NeverOverwritesAndReportsForeignFiles) {
    QTemporaryDir dir;
    ensureDataFiles(dir.path());
    {
        auto files = Recordset::OpenTable(dir.filePath(kClassDb), QStringLiteral("files"));
        files->AddNew();
        files->SetField(0, QStringLiteral("初二(3)班"));
        ASSERT_TRUE(files->Update());
    }
    QFile foreign(dir.filePath(kPlanDb));
    ASSERT_TRUE(foreign.open(QIODevice::WriteOnly | QIODevice::Truncate));
    const QByteArray junk = QByteArray("Standard Jet DB\0\0\0", 18).repeated(200);
    foreign.write(junk);
    foreign.close();

    const QStringList problems = ensureDataFiles(dir.path());
    ASSERT_EQ(problems.size(), 1);
    EXPECT_TRUE(problems[0].contains(kPlanDb));
    QFile check(dir.filePath(kPlanDb));
    ASSERT_TRUE(check.open(QIODevice::ReadOnly));
    EXPECT_EQ(check.readAll(), junk);
    EXPECT_EQ(Recordset::OpenTable(dir.filePath(kClassDb), QStringLiteral("files"))->RecordCount(), 1);
}

// The watch looks through this program's libsqlite3, or through Qt Sql when
// the driver's library is another one; both see the same changes.
TEST_F(StoreFixture, ChangeWatchSeesEveryCommit) {
    for (const bool throughQt : {false, true}) {
        SCOPED_TRACE(throughQt ? "through Qt Sql" : "through libsqlite3");
        const DriverReads reads(throughQt);
        ChangeWatch watch;
        const qint64 before = watch.version(path);
        ASSERT_GE(before, 0);
        EXPECT_EQ(watch.version(path), before); // nothing written, nothing seen
        auto rs = open();
        add(*rs, QStringLiteral("甲")); // the program's own connection
        const qint64 afterOwn = watch.version(path);
        EXPECT_NE(afterOwn, before);
        ASSERT_TRUE(db.beginTransaction()); // a rolled-back change is no change
        add(*rs, QStringLiteral("乙"));
        ASSERT_TRUE(db.rollback());
        EXPECT_EQ(watch.version(path), afterOwn);
        EXPECT_EQ(watch.version(dir.filePath(QStringLiteral("missing.mdb"))), -1);
        EXPECT_TRUE(watch.lastError().contains(QStringLiteral("missing.mdb")))
            << watch.lastError().toStdString();

        // Between looks the watch holds no lock: another program's writer that
        // does not wait at all still gets through, and the watch sees it.
        const qint64 beforeOther = watch.version(path);
        ASSERT_GE(beforeOther, 0);
        sqlite3* other = nullptr;
        ASSERT_EQ(sqlite3_open_v2(path.toUtf8().constData(), &other, SQLITE_OPEN_READWRITE, nullptr),
                  SQLITE_OK);
        sqlite3_busy_timeout(other, 0);
        EXPECT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE; DELETE FROM \"高一(1)班\"; COMMIT", nullptr, nullptr,
                               nullptr),
                  SQLITE_OK)
            << sqlite3_errmsg(other);
        sqlite3_close(other);
        EXPECT_NE(watch.version(path), beforeOther);
    }
}
