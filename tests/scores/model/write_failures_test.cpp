// Writes that the database refuses: each one ends its transaction, tells the
// teacher the store's reason and leaves the class table as it was; the next
// write is committed on its own.

#include "AnalysisFixture.h"

#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <sqlite3.h>

namespace msg = scores::msg;

namespace {

// The store's own SQLite handle on `path` (the connection every cursor of
// the file shares), or null while nothing holds the file open.
sqlite3* storeHandle(const QString& path) {
    for (const QString& name : QSqlDatabase::connectionNames()) {
        const QSqlDatabase db = QSqlDatabase::database(name, false);
        if (QFileInfo(db.databaseName()) != QFileInfo(path) || !db.isOpen()) continue;
        const QVariant h = db.driver()->handle();
        if (h.isValid() && qstrcmp(h.typeName(), "sqlite3*") == 0)
            return *static_cast<sqlite3* const*>(h.data());
    }
    return nullptr;
}

// Every row of every table, read by a connection of its own: what another
// program (or the next start) finds in the file.
QStringList fileContents(const QString& path) {
    QStringList out;
    sqlite3* h = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &h, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* tables = nullptr;
    sqlite3_prepare_v2(h, "SELECT name FROM sqlite_master WHERE type='table' ORDER BY name", -1, &tables,
                       nullptr);
    while (sqlite3_step(tables) == SQLITE_ROW) {
        const QString table =
            QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(tables, 0)));
        out << u'#' + table;
        sqlite3_stmt* rows = nullptr;
        const QByteArray sql =
            QStringLiteral("SELECT * FROM %1 ORDER BY rowid").arg(store::quoteIdentifier(table)).toUtf8();
        sqlite3_prepare_v2(h, sql.constData(), -1, &rows, nullptr);
        while (sqlite3_step(rows) == SQLITE_ROW) {
            QStringList f;
            for (int c = 0; c < sqlite3_column_count(rows); ++c)
                f << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(rows, c)));
            out << f.join(u'|');
        }
        sqlite3_finalize(rows);
    }
    sqlite3_finalize(tables);
    sqlite3_close(h);
    return out;
}

} // namespace

TEST_F(AnalysisFixture, RefusedWritesEndTheirTransactionAndSayWhy) {
    openClass();
    addSubjects({"语文", "数学"});
    addStudents({{"张三", "1", "80", "70"}});
    sqlite3* h = storeHandle(dbPath());
    ASSERT_TRUE(h);

    // Ways the database refuses a write. Each arms the refusal and gives back
    // what lifts it.
    sqlite3* other = nullptr;
    struct Failure {
        const char* what;
        std::function<void()> arm, lift;
    };
    const Failure failures[] = {
        {"the commit is refused",
         [&] {
             sqlite3_commit_hook(
                 h, [](void*) { return 1; }, nullptr);
         },
         [&] { sqlite3_commit_hook(h, nullptr, nullptr); }},
        {"another program holds the write lock",
         [&] {
             ASSERT_EQ(sqlite3_open(dbPath().toUtf8().constData(), &other), SQLITE_OK);
             ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
             sqlite3_busy_timeout(h, 20);
         },
         [&] {
             sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
             sqlite3_close(other);
             sqlite3_busy_timeout(h, 5000);
         }},
        // A transaction nobody ended: BEGIN fails, and writing on would join it.
        {"a transaction is already open",
         [&] { ASSERT_EQ(sqlite3_exec(h, "BEGIN", nullptr, nullptr, nullptr), SQLITE_OK); },
         [&] {
             if (!sqlite3_get_autocommit(h)) sqlite3_exec(h, "ROLLBACK", nullptr, nullptr, nullptr);
         }},
    };
    QString box = QStringLiteral("5");
    struct Write {
        const char* what;
        std::function<scores::Outcome()> run;
        QString prefix;
    };
    const Write writes[] = {
        {"weighted-total formula",
         [&] {
             return scores::saveCompositeFormula(model, "期评", {{true, "50"}, {true, "50"}});
         },
         "保存失败："},
        {"points formula",
         [&] {
             return scores::savePointsFormula(model, {{true, "100"}}, {true, "40"});
         },
         "保存失败："},
        {"grade level", [&] { return scores::storeLevel(model, 2, "优秀", "90"); }, "保存失败："},
        {"band interval", [&] { return scores::storeBandInterval(model, box); }, "保存失败："},
        {"numbered batch", [&] { return model.addBatch("501", "3"); }, "保存失败："},
        {"new class", [&] { return classes::ClassFiles::create(QStringLiteral("新班"), false); },
         "无法建立班级“新班”："},
    };
    const QStringList before = fileContents(dbPath());
    for (const Failure& f : failures) {
        for (const Write& w : writes) {
            SCOPED_TRACE(std::string(f.what) + " / " + w.what);
            f.arm();
            const scores::Outcome o = w.run();
            const bool ended = sqlite3_get_autocommit(h) != 0;
            f.lift();
            EXPECT_FALSE(o.ok);
            EXPECT_EQ(o.reason, scores::Reason::Failed);
            ASSERT_EQ(o.messages.size(), 1);
            EXPECT_TRUE(o.messages[0].startsWith(w.prefix)) << o.messages[0];
            EXPECT_GT(o.messages[0].size(), w.prefix.size()) << "no reason given";
            EXPECT_TRUE(ended) << "the transaction was left open";
            EXPECT_EQ(fileContents(dbPath()), before);
        }
    }

    // Nothing of the refusals lingers: the next writes reach the file.
    ASSERT_TRUE(scores::storeLevel(model, 2, "优秀", "90").ok);
    ASSERT_TRUE(model.addStudent("李四", "2").ok);
    const QStringList after = fileContents(dbPath());
    EXPECT_TRUE(after.contains(QStringLiteral("你|李四|2|0|0|0|0|0|0|0|0|0|0|0|0|0"))) << after.join(u'\n');
    model.LoadSettings();
    EXPECT_EQ(model.classData().levelStarts[2], QStringLiteral("90"));
}

// Windows decide what to do next from the reason, never from the text: a
// number nobody has empties the entry box, a missing choice keeps the boxes.
TEST_F(ScoresFixture, RefusalsCarryTheReasonWindowsActOn) {
    scores::ScoreModel closed{cls};
    EXPECT_EQ(closed.addStudent("张三", "1").reason, scores::Reason::NotOpen);
    openClass();
    addSubjects({"语文"});
    ASSERT_TRUE(model.addStudent("张三", "1").ok);
    const struct {
        const char* what;
        scores::Outcome outcome;
        scores::Reason reason;
    } cases[] = {
        {"unknown number", model.storeScore("语文", false, "99", "90"), scores::Reason::NotFound},
        {"score not a number", model.storeScore("语文", false, "1", "abc"), scores::Reason::Invalid},
        {"no subject chosen", model.changeSubject(-1, "数学", "100"), scores::Reason::NotChosen},
        {"number taken", model.addStudent("李四", "1"), scores::Reason::Exists},
        {"stored", model.storeScore("语文", false, "1", "90"), scores::Reason::None},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.outcome.reason, c.reason);
        EXPECT_EQ(c.outcome.ok, c.reason == scores::Reason::None);
    }
}
