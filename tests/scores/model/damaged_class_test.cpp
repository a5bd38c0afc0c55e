// Class tables damaged by another program or a bad copy: the teacher is told
// which class cannot be read and why, the class is not opened, and nothing
// is written to it.

#include "AnalysisFixture.h"

#include <QFile>
#include <sqlite3.h>

namespace msg = scores::msg;

namespace {

// Runs SQL on the file through a connection of its own.
void exec(const QString& db, const QString& sql) {
    sqlite3* h = nullptr;
    ASSERT_EQ(sqlite3_open(db.toUtf8().constData(), &h), SQLITE_OK);
    char* err = nullptr;
    const int rc = sqlite3_exec(h, sql.toUtf8().constData(), nullptr, nullptr, &err);
    EXPECT_EQ(rc, SQLITE_OK) << (err ? err : "") << " in " << sql.toStdString();
    sqlite3_free(err);
    sqlite3_close(h);
}

// Overwrites the first page of `table` with garbage: its rows can no longer
// be read, while the rest of the file still can.
void spoilPages(const QString& db, const QString& table) {
    sqlite3* h = nullptr;
    ASSERT_EQ(sqlite3_open(db.toUtf8().constData(), &h), SQLITE_OK);
    // Everything into the main file first, where the garbage goes.
    sqlite3_exec(h, "PRAGMA wal_checkpoint(TRUNCATE)", nullptr, nullptr, nullptr);
    sqlite3_stmt* st = nullptr;
    const QByteArray sql =
        QStringLiteral("SELECT rootpage, (SELECT page_size FROM pragma_page_size) FROM sqlite_master "
                       "WHERE name = '%1'")
            .arg(table)
            .toUtf8();
    ASSERT_EQ(sqlite3_prepare_v2(h, sql.constData(), -1, &st, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_step(st), SQLITE_ROW);
    const qint64 at = (sqlite3_column_int64(st, 0) - 1) * sqlite3_column_int64(st, 1);
    sqlite3_finalize(st);
    sqlite3_close(h);
    QFile f(db);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.seek(at));
    f.write(QByteArray(16, '\xff'));
}

} // namespace

TEST_F(AnalysisFixture, ADamagedClassIsNamedWithTheReasonAndNotOpened) {
    struct Damage {
        const char* cls;
        const char* sql; // what another program did to the table ("" when its pages are spoilt)
        const char* why; // the start of the reason the teacher reads
    };
    const Damage damages[] = {
        {"表没了", "DROP TABLE \"表没了\"", "数据库中没有这个班级的表。"},
        {"缺字段", "ALTER TABLE \"缺字段\" DROP COLUMN js5", "表中缺少字段“js5”。"},
        {"换了类型",
         "ALTER TABLE \"换了类型\" DROP COLUMN js5; ALTER TABLE \"换了类型\" ADD COLUMN js5 TEXT(10)",
         "字段“js5”不是数字字段。"},
        {"页坏了", "", "数据库"},
    };
    for (const Damage& d : damages) {
        const QString name = QString::fromUtf8(d.cls);
        ASSERT_TRUE(classes::ClassFiles::create(name, false));
        exec(dbPath(),
             QStringLiteral("INSERT INTO \"%1\" (\"姓名\", \"编号\") VALUES ('张三', '1')").arg(name));
        if (*d.sql)
            exec(dbPath(), QString::fromUtf8(d.sql));
        else
            spoilPages(dbPath(), name);
    }
    for (const Damage& d : damages) {
        const QString name = QString::fromUtf8(d.cls);
        SCOPED_TRACE(d.cls);
        const QString told = QStringLiteral("班级“%1”无法读取：").arg(name);
        // The class-file window's check, before any hand-back (it reads no rows).
        if (*d.sql) {
            EXPECT_EQ(classes::ClassFiles::classProblem(name), QString::fromUtf8(d.why));
        }
        const scores::Outcome o = model.classOpened(name);
        EXPECT_FALSE(o.ok);
        ASSERT_EQ(o.messages.size(), 1);
        EXPECT_TRUE(o.messages[0].startsWith(told + QString::fromUtf8(d.why))) << o.messages[0];
        EXPECT_FALSE(cls.scoresOpen());
        EXPECT_FALSE(model.viewState().pageEnabled[1]);
        EXPECT_EQ(model.statusPanel(0), QStringLiteral("系统已经就绪!"));
    }
}

// The table is damaged while the class is open: every write is refused with
// the class's name and the reason, and the file keeps what it had.
TEST_F(AnalysisFixture, WritesToAClassDamagedWhileOpenAreRefused) {
    const char* damages[] = {
        "ALTER TABLE \"初一1班\" DROP COLUMN js1",
        "ALTER TABLE \"初一1班\" RENAME TO \"别的\"",
    };
    for (const char* sql : damages) {
        SCOPED_TRACE(sql);
        testing_support::DataFolder fresh;
        classes::ClassState state;
        scores::ScoreModel m(state);
        ASSERT_TRUE(classes::ClassFiles::create(QStringLiteral("初一1班"), false));
        ASSERT_TRUE(m.classOpened(QStringLiteral("初一1班")).ok);
        ASSERT_TRUE(m.addSubject("语文", "100").ok);
        ASSERT_TRUE(m.addSubject("数学", "100").ok);
        ASSERT_TRUE(m.addStudent("张三", "1").ok);
        m.ShowScoreTable();
        const QString db = fresh.file(store::kClassDb);
        exec(db, QString::fromUtf8(sql));
        const QString other =
            QString::fromUtf8(sql).contains(u"RENAME") ? QStringLiteral("别的") : QStringLiteral("初一1班");
        const QStringList before = tableTexts(db, other);

        const QString told = QStringLiteral("班级“初一1班”无法读取：");
        QString box = QStringLiteral("5");
        const std::vector<std::pair<const char*, std::function<scores::Outcome()>>> writes = {
            {"score", [&] { return m.storeScore("语文", false, "1", "90"); }},
            {"student", [&] { return m.addStudent("李四", "2"); }},
            {"rename", [&] { return m.renameStudent("张四", "1"); }},
            {"delete", [&] { return m.deleteStudent("1"); }},
            {"batch", [&] { return m.addBatch("10", "3"); }},
            {"subject", [&] { return m.addSubject("英语", "100"); }},
            {"subject change", [&] { return m.changeSubject(0, "语文", "120"); }},
            {"formula",
             [&] {
                 return scores::saveCompositeFormula(m, "总分", {{true, "50"}, {true, "50"}});
             }},
            {"band", [&] { return scores::storeBandInterval(m, box); }},
        };
        for (const auto& [what, run] : writes) {
            SCOPED_TRACE(what);
            const scores::Outcome o = run();
            EXPECT_FALSE(o.ok);
            ASSERT_EQ(o.messages.size(), 1);
            EXPECT_TRUE(o.messages[0].startsWith(told)) << o.messages[0];
            EXPECT_GT(o.messages[0].size(), told.size());
        }
        EXPECT_EQ(tableTexts(db, other), before);
        // The score table, read again, shows no class and says why.
        m.ShowScoreTable();
        EXPECT_TRUE(m.statusPanel(0).startsWith(told)) << m.statusPanel(0);
        EXPECT_EQ(m.scoreGrid().text(1, 1), QString());
    }
}
