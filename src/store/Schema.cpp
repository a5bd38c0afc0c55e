#include "Schema.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <optional>
#include <sqlite3.h>

namespace store {

namespace {
FieldDef text(const QString& n, int size) {
    return {n, FieldKind::Text, size};
}
FieldDef memo(const QString& n) {
    return {n, FieldKind::Memo, 0};
}
FieldDef number(const QString& n) {
    return {n, FieldKind::Number, 0};
}
FieldDef date(const QString& n) {
    return {n, FieldKind::Date, 0};
}
FieldDef currency(const QString& n) {
    return {n, FieldKind::Currency, 0};
}

QList<FieldDef> lessonFields() {
    return {number(QStringLiteral("册别")), text(QStringLiteral("课题"), 100), memo(QStringLiteral("内容")),
            memo(QStringLiteral("分析")),
            // Courseware is often a web address, and those pass 255 characters:
            // the same 2048 as a bookmark's address.
            text(QStringLiteral("课件地址"), 2048)};
}
QList<FieldDef> planFields(bool withMonthWeek) {
    QList<FieldDef> f{text(QStringLiteral("类别"), 20), text(QStringLiteral("标题"), 50),
                      memo(QStringLiteral("内容")), number(QStringLiteral("序号"))};
    if (withMonthWeek) f << number(QStringLiteral("月份")) << number(QStringLiteral("周别"));
    return f;
}
QList<FieldDef> summaryFields(int titleSize) {
    return {memo(QStringLiteral("内容")), text(QStringLiteral("标题"), titleSize),
            text(QStringLiteral("类别"), 20), number(QStringLiteral("序号"))};
}
} // namespace

QList<FieldDef> classTableFields() {
    QList<FieldDef> f{memo(QStringLiteral("内容")), text(QStringLiteral("姓名"), 50),
                      text(QStringLiteral("编号"), 10)};
    for (int k = 0; k < 13; ++k)
        f << currency(QStringLiteral("js%1").arg(k));
    return f;
}

const QList<DatabaseSchema>& databaseSchemas() {
    static const QList<DatabaseSchema> all = [] {
        QList<DatabaseSchema> s;
        s << DatabaseSchema{kClassDb,
                            {{QStringLiteral("files"), {memo(QStringLiteral("文件名"))}},
                             {QStringLiteral("dataBak"), classTableFields()}}};
        DatabaseSchema common{kCommonDb,
                              {{QStringLiteral("studenPy"),
                                {text(QStringLiteral("类别"), 10), text(QStringLiteral("标题"), 50),
                                 memo(QStringLiteral("内容")), number(QStringLiteral("序号"))}}}};
        for (const char* t : {"jaywtextdata", "jasxtextdata", "jaYYtextData", "jaLStextData", "jaWLtextData",
                              "jaHXtextData", "jaDLtextData", "jaSWtextData"})
            common.tables << TableSchema{QString::fromLatin1(t), lessonFields()};
        common.tables << TableSchema{QStringLiteral("filedata"),
                                     {text(QStringLiteral("网页名称"), 100), text(QStringLiteral("类别"), 50),
                                      date(QStringLiteral("记录时间")),
                                      // Today's addresses often pass 255 characters; 2048 is
                                      // the longest the program takes from a browser.
                                      text(QStringLiteral("网站地址"), 2048)}};
        s << common;
        s << DatabaseSchema{kPlanDb,
                            {{QStringLiteral("jhStartData"), planFields(false)},
                             {QStringLiteral("jhMidData"), planFields(true)},
                             {QStringLiteral("jhEndData"), planFields(false)}}};
        s << DatabaseSchema{kSummaryDb,
                            {{QStringLiteral("zjStartData"), summaryFields(30)},
                             {QStringLiteral("zjMidData"), summaryFields(50)},
                             {QStringLiteral("zjEndData"), summaryFields(30)}}};
        return s;
    }();
    return all;
}

QList<QList<QVariant>> templateRows() {
    // Grade levels, lowest first, with their start in percent of full marks.
    const QStringList levels{QStringLiteral("不及格"), QStringLiteral("及格"), QStringLiteral("中等"),
                             QStringLiteral("良好"),   QStringLiteral("优秀"), QStringLiteral("满分")};
    const int starts[] = {0, 60, 70, 80, 90, 100};
    // Page values 0..12: margins 20 mm, A4 210 x 297 mm, paper entry 1 (A4),
    // portrait, 30 table rows a page (a 320-twip row on 257 mm of height).
    const int page[] = {0, 20, 20, 20, 20, 210, 297, 1, 0, 30, 0, 0, 0};
    QList<QList<QVariant>> rows;
    for (int r = 0; r < 13; ++r) {
        QList<QVariant> v(16);
        if (r < 8)
            v[0] = r < levels.size() ? levels[r] : QStringLiteral("000");
        else if (r == 8)
            v[0] = QStringLiteral("综合分");
        else
            v[0] = QString();
        v[1] = QStringLiteral("000");
        v[2] = QStringLiteral("listKM%1").arg(r);
        v[3] = QVariant::fromValue(Currency::fromInt(r < levels.size() ? starts[r] : (r == 9 ? 10 : 0)));
        v[4] = QVariant::fromValue(Currency::fromInt(r == 8 ? 100 : 0));
        v[5] = QVariant::fromValue(Currency::fromInt(100));
        v[6] = QVariant::fromValue(Currency::fromInt(100));
        v[7] = QVariant::fromValue(Currency::fromInt(page[r]));
        for (int k = 8; k < 16; ++k)
            v[k] = QVariant::fromValue(Currency());
        rows << v;
    }
    return rows;
}

namespace {

// Creates the missing tables of one file, the template's rows and the
// starter rows in one transaction: a kill leaves either none of them (made
// again at the next start) or all of them, never a template or a bank
// without its rows.
QString createMissingTables(Database& db, const DatabaseSchema& schema, const DataFileOptions& options,
                            QStringList& problems) {
    QList<const TableSchema*> missing;
    for (const TableSchema& t : schema.tables)
        if (!db.hasTable(t.name)) missing << &t;
    if (missing.isEmpty()) return {};
    if (!db.beginTransaction()) return db.lastError();
    for (const TableSchema* t : missing) {
        bool ok = db.CreateTable(t->name, t->fields);
        QList<QList<QVariant>> rows;
        if (t->name == u"dataBak") {
            rows = templateRows();
        } else if (options.starter) {
            QString why;
            rows = options.starter(t->name, t->fields, &why);
            if (!why.isEmpty()) {
                problems << QStringLiteral("无法向数据库“%1”的表“%2”装入初始内容：%3")
                                .arg(db.path(), t->name, why);
                rows.clear();
            }
        }
        qint64 key = 0;
        for (const QList<QVariant>& row : rows)
            if (!ok || !(ok = db.insertRecord(t->name, row, ++key))) break;
        if (!ok) {
            QString why =
                QStringLiteral("无法在数据库“%1”中建立表“%2”：%3").arg(db.path(), t->name, db.lastError());
            if (!db.rollback()) why += u' ' + db.lastError();
            return why;
        }
    }
    if (!db.commit())
        return QStringLiteral("无法在数据库“%1”中建立数据表：%2").arg(db.path(), db.lastError());
    if (options.created)
        for (const TableSchema* t : missing)
            options.created->append(CreatedTable{db.path(), t->name});
    return {};
}

// Puts back the template's settings rows that are missing ("编号"
// "listKM0" to "listKM12"); rows that are there stay exactly as they are.
// A missing row goes where it belongs in the stored order when there is
// room between its neighbours, else after the last record.
void restoreTemplateRows(Database& db, QStringList& problems) {
    constexpr int kSettings = 13;
    QString error;
    auto rs = Recordset::OpenTable(db, QStringLiteral("dataBak"), &error);
    if (!rs) {
        problems << QStringLiteral("无法读取数据库“%1”中的模板表“dataBak”：%2").arg(db.path(), error);
        return;
    }
    std::optional<qint64> present[kSettings];
    QSet<qint64> taken;
    qint64 last = 0;
    std::optional<qint64> first;
    const int numberField = rs->fieldIndex(QStringLiteral("编号"));
    for (rs->MoveFirst(); !rs->isEOF(); rs->MoveNext()) {
        const qint64 key = rs->storedKey();
        taken.insert(key);
        last = qMax(last, key);
        if (!first) first = key;
        const QString number = rs->text(numberField);
        if (!number.startsWith(u"listKM")) continue;
        bool ok = false;
        const int n = QStringView(number).mid(6).toInt(&ok);
        if (ok && n >= 0 && n < kSettings && number == QStringLiteral("listKM%1").arg(n) && !present[n])
            present[n] = key;
    }
    rs.reset();
    QStringList missing;
    for (int n = 0; n < kSettings; ++n)
        if (!present[n]) missing << QStringLiteral("listKM%1").arg(n);
    if (missing.isEmpty()) return;

    const QList<QList<QVariant>> rows = templateRows();
    bool atTheEnd = false;
    if (!db.beginTransaction()) {
        problems << QStringLiteral("模板表“dataBak”缺少设置记录，但无法补上：%1").arg(db.lastError());
        return;
    }
    std::optional<qint64> previous; // the key of settings row n - 1, once placed
    for (int n = 0; n < kSettings; ++n) {
        if (present[n]) {
            previous = present[n];
            continue;
        }
        // The next settings row that is there, and how many go before it;
        // with none there at all, the template's first record is the bound.
        std::optional<qint64> next;
        int gap = 0;
        for (int m = n + 1; m < kSettings && !next; ++m)
            if (present[m]) {
                next = present[m];
                gap = m - n;
            }
        if (!next && !previous && first) {
            next = first;
            gap = kSettings - n;
        }
        qint64 key = previous ? *previous + 1 : next ? *next - gap : 1;
        if (taken.contains(key) || (next && key >= *next)) {
            key = last + 1;
            atTheEnd = true;
        }
        if (!db.insertRecord(QStringLiteral("dataBak"), rows[n], key)) {
            QString why = db.lastError();
            if (!db.rollback()) why += u' ' + db.lastError();
            problems << QStringLiteral("模板表“dataBak”缺少设置记录，但无法补上：%1").arg(why);
            return;
        }
        taken.insert(key);
        last = qMax(last, key);
        previous = key;
    }
    if (!db.commit()) {
        problems << QStringLiteral("模板表“dataBak”缺少设置记录，但无法补上：%1").arg(db.lastError());
        return;
    }
    QString sentence =
        QStringLiteral("数据库“%1”的模板表“dataBak”缺少 %2 行设置记录（%3），已按默认设置补上；"
                       "以后新建的班级将使用这些默认设置，原有的记录没有改动。")
            .arg(db.path())
            .arg(missing.size())
            .arg(missing.join(QStringLiteral("、")));
    if (atTheEnd) sentence += QStringLiteral("其中有的记录只能放在表的末尾，请检查模板中设置记录的次序。");
    problems << sentence;
}

// The class list's "文件名" holds any name the database takes as a table
// name; files made with a limited text field get an unlimited one.
void widenClassList(Database& db, QStringList& problems) {
    const QString files = db.findTable(QStringLiteral("files"));
    if (files.isEmpty()) return;
    const QList<FieldDef> fields = db.fields(files);
    if (fields.isEmpty()) {
        problems << QStringLiteral("无法读取数据库“%1”中班级名单的字段：%2").arg(db.path(), db.lastError());
        return;
    }
    for (const FieldDef& f : fields) {
        if (f.name != u"文件名" || f.kind != FieldKind::Text) continue;
        if (!db.redefineField(files, {f.name, FieldKind::Memo, 0}))
            problems << QStringLiteral("无法放宽数据库“%1”中班级名单的“文件名”字段：%2")
                            .arg(db.path(), db.lastError());
    }
}

// The tables of a file that is there, read through a read-only connection of
// its own: no journal mode is switched and nothing is written. nullopt when
// it cannot be read so (not a database, locked, a journal left to roll
// back): opening it for real then says why, or rolls the journal back.
std::optional<QStringList> tablesOf(const QString& path) {
    sqlite3* db = nullptr;
    sqlite3_stmt* st = nullptr;
    QStringList out;
    bool ok =
        sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr) ==
            SQLITE_OK &&
        sqlite3_prepare_v2(db,
                           "SELECT name FROM sqlite_master WHERE type='table' AND name NOT LIKE 'sqlite\\_%' "
                           "ESCAPE '\\'",
                           -1, &st, nullptr) == SQLITE_OK;
    int rc = SQLITE_DONE;
    while (ok && (rc = sqlite3_step(st)) == SQLITE_ROW)
        out << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
    sqlite3_finalize(st);
    sqlite3_close(db);
    if (!ok || rc != SQLITE_DONE) return std::nullopt;
    return out;
}

// What a file with these tables lacks; nullopt when nothing, or when it has
// no tables at all (a new database).
std::optional<DataFileGap> gapOf(const QString& path, const DatabaseSchema& schema,
                                 const QStringList& tables) {
    if (tables.isEmpty()) return std::nullopt;
    DataFileGap gap{path, {}, false};
    for (const TableSchema& t : schema.tables)
        if (!tables.contains(t.name, Qt::CaseInsensitive)) gap.missing << t.name;
    if (gap.missing.isEmpty()) return std::nullopt;
    gap.foreign = gap.missing.size() == schema.tables.size();
    return gap;
}

} // namespace

QString DataFileGap::sentence() const {
    if (foreign)
        return QStringLiteral("数据文件“%1”不是本程序的数据库，其中没有本程序的任何数据表。").arg(path);
    return QStringLiteral("数据文件“%1”缺少数据表“%2”。").arg(path, missing.join(QStringLiteral("”、“")));
}

QList<DataFileGap> checkDataFiles(const QString& folder) {
    QList<DataFileGap> out;
    for (const DatabaseSchema& schema : databaseSchemas()) {
        const QString path = QDir(folder).filePath(schema.fileName);
        if (!QFileInfo(path).isFile()) continue;
        if (const auto tables = tablesOf(path))
            if (auto gap = gapOf(path, schema, *tables)) out << *gap;
    }
    return out;
}

QStringList ensureDataFiles(const QString& folder, const DataFileOptions& options) {
    QStringList problems;
    QDir().mkpath(folder); // when it cannot be made, each file below says so
    for (const DatabaseSchema& schema : databaseSchemas()) {
        const QString path = QDir(folder).filePath(schema.fileName);
        const bool exists = QFileInfo(path).exists();
        const bool mayRepair = options.repair.contains(path);
        auto leftAlone = [&problems](const DataFileGap& gap) {
            problems << gap.sentence() + QStringLiteral("本程序没有改动它。");
        };
        // Looked at before it is opened for writing, which could already
        // change a file another program keeps in write-ahead mode.
        if (exists && !mayRepair)
            if (const auto tables = tablesOf(path))
                if (const auto gap = gapOf(path, schema, *tables)) {
                    leftAlone(*gap);
                    continue;
                }
        QString error;
        Database db = exists ? Database::OpenDatabase(path, &error) : Database::Create(path, &error);
        if (!db.isValid()) {
            problems << error;
            continue;
        }
        if (db.isReadOnly()) {
            problems << db.readOnlyNote();
            continue;
        }
        // A file that could not be looked at before (a journal left by a
        // killed program has now been rolled back): looked at again.
        if (exists && !mayRepair)
            if (const auto gap = gapOf(path, schema, db.tables())) {
                leftAlone(*gap);
                continue;
            }
        const QString failed = createMissingTables(db, schema, options, problems);
        if (!failed.isEmpty()) problems << failed;
        if (schema.fileName == kClassDb) {
            if (db.hasTable(QStringLiteral("dataBak"))) restoreTemplateRows(db, problems);
            widenClassList(db, problems);
        }
    }
    return problems;
}

} // namespace store
