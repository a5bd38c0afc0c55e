#include "Store.h"

#include <QAtomicInt>
#include <QFileInfo>
#include <QHash>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <cmath>
#include <dlfcn.h>
#include <limits>
#include <sqlite3.h>

namespace store {

QString quoteIdentifier(const QString& name) {
    QString q = name;
    q.replace(u'"', QStringLiteral("\"\""));
    return u'"' + q + u'"';
}

// One open SQLite connection, shared by every Database and Recordset handle
// of the same file and closed when the last handle goes.
class Connection {
public:
    Connection(QString path, QString name) : path_(std::move(path)), name_(std::move(name)) {}
    ~Connection() {
        {
            QSqlDatabase db = QSqlDatabase::database(name_, false);
            if (walFallback && !readOnly) checkpoint();
            db.close();
        }
        QSqlDatabase::removeDatabase(name_);
        registry().remove(path_);
    }
    QSqlDatabase db() const { return QSqlDatabase::database(name_, false); }
    const QString& path() const { return path_; }
    QString lastError;
    // Why the file was opened read-only ("是只读文件", ...); empty when it
    // can be written.
    QString readOnlyWhy;
    bool readOnly = false;
    bool walFallback = false;
    bool inTransaction = false;

    // The sentence for a write refused on a read-only file.
    QString writeRefusal() const {
        return QStringLiteral("数据库文件“%1”%2，不能保存修改。").arg(path_, readOnlyWhy);
    }
    // After a write outside a transaction or a commit: in write-ahead mode
    // the change is folded back into the database file at once.
    void afterCommit() {
        if (walFallback && !inTransaction) checkpoint();
    }
    void checkpoint() {
        QSqlQuery q(db());
        q.setForwardOnly(true);
        // (busy, frames in the log, frames copied back)
        if (!q.exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)")) || !q.next() ||
            q.value(0).toInt() != 0 || q.value(1).toInt() != q.value(2).toInt())
            qWarning("store: the write-ahead log of %s could not be folded back yet (another program is "
                     "reading it)",
                     qPrintable(path_));
    }

    static QHash<QString, std::weak_ptr<Connection>>& registry() {
        static QHash<QString, std::weak_ptr<Connection>> r;
        return r;
    }

private:
    QString path_;
    QString name_;
};

namespace {

// Whether tables may be read through the driver's sqlite3 handle (see
// Database::readsThroughRawHandle); settled at the first connection.
enum class RawReads { Unknown, Yes, No };
RawReads g_rawReads = RawReads::Unknown;
bool g_forceDriverReads = false;

QString kindToDecl(const FieldDef& f) {
    switch (f.kind) {
    case FieldKind::Text:
        return QStringLiteral("TEXT(%1)").arg(f.size);
    // "TEXT" in the declared type gives the column text affinity; a bare
    // "MEMO" would let SQLite turn "000" or "0101" into numbers.
    case FieldKind::Memo:
        return QStringLiteral("MEMO_TEXT");
    case FieldKind::Currency:
        return QStringLiteral("CURRENCY");
    case FieldKind::Number:
        return QStringLiteral("NUMBER");
    case FieldKind::Date:
        return QStringLiteral("DATE");
    }
    return QStringLiteral("MEMO");
}

FieldDef declToField(const QString& name, const QString& declIn) {
    const QString decl = declIn.trimmed().toUpper();
    FieldDef f;
    f.name = name;
    if (decl.startsWith(u"TEXT")) {
        f.kind = FieldKind::Text;
        const int open = decl.indexOf(u'('), close = decl.indexOf(u')');
        bool ok = false;
        const int n = open > 0 && close > open ? decl.mid(open + 1, close - open - 1).toInt(&ok) : 0;
        f.size = ok && n > 0 ? n : 255;
    } else if (decl == u"CURRENCY") {
        f.kind = FieldKind::Currency;
    } else if (decl == u"NUMBER") {
        f.kind = FieldKind::Number;
    } else if (decl == u"DATE") {
        f.kind = FieldKind::Date;
    } else {
        f.kind = FieldKind::Memo;
    }
    return f;
}

// SQLite's reason in a sentence for the user: the usual causes in Chinese,
// anything else with the library's own words after a Chinese lead.
QString describe(int code, const QString& raw, const QString& path) {
    switch (code & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return QStringLiteral("数据库文件“%1”正被其他程序占用，请关闭那个程序后再试。").arg(path);
    case SQLITE_READONLY:
        return QStringLiteral("数据库文件“%1”是只读的，不能保存修改。").arg(path);
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return QStringLiteral("没有修改数据库文件“%1”的权限。").arg(path);
    case SQLITE_FULL:
        return QStringLiteral("磁盘已满，无法写入数据库文件“%1”。").arg(path);
    case SQLITE_IOERR:
        return QStringLiteral("读写数据库文件“%1”时磁盘出错。").arg(path);
    case SQLITE_CORRUPT:
        return QStringLiteral("数据库文件“%1”已经损坏。").arg(path);
    case SQLITE_NOTADB:
        return QStringLiteral("文件“%1”不是本程序能打开的数据库。").arg(path);
    case SQLITE_CANTOPEN:
        return QStringLiteral("无法打开数据库文件“%1”或它旁边的临时文件（文件夹可能不允许写入）。").arg(path);
    default:
        return QStringLiteral("数据库文件“%1”出错：%2").arg(path, raw);
    }
}

QString describe(const QSqlError& e, const QString& path) {
    bool ok = false;
    const int code = e.nativeErrorCode().toInt(&ok);
    return describe(ok ? code : SQLITE_ERROR, e.databaseText().isEmpty() ? e.text() : e.databaseText(), path);
}

QString sqlError(const QSqlQuery& q, const QString& path) {
    return describe(q.lastError(), path);
}

// Whether the QSQLITE plugin steps the same libsqlite3 as this program:
// the plugin's own sqlite3_libversion() must hand out the very string ours
// does (one library, one copy of its data), not just an equal version.
bool driverSharesOurSqlite(const QSqlDatabase& db) {
    const QSqlDriver* driver = db.driver();
    Dl_info info{};
    bool same = false;
    if (driver && dladdr(static_cast<const void*>(driver->metaObject()), &info) && info.dli_fname) {
        if (void* h = dlopen(info.dli_fname, RTLD_LAZY | RTLD_NOLOAD)) {
            using VersionFn = const char* (*)();
            const auto theirs = reinterpret_cast<VersionFn>(dlsym(h, "sqlite3_libversion"));
            same = theirs && theirs() == sqlite3_libversion();
            dlclose(h);
        }
    }
    if (!same) {
        QSqlQuery q(db);
        const QString theirs = q.exec(QStringLiteral("SELECT sqlite_version()")) && q.next()
                                   ? q.value(0).toString()
                                   : QStringLiteral("?");
        qWarning(
            "store: the Qt SQLite driver (SQLite %s) does not use this program's libsqlite3 (%s); tables are "
            "read through Qt Sql",
            qPrintable(theirs), sqlite3_libversion());
    }
    return same;
}

std::shared_ptr<Connection> connect(const QString& path, bool create, QString* error) {
    auto fail = [error](const QString& why) -> std::shared_ptr<Connection> {
        if (error) *error = why;
        return {};
    };
    const QFileInfo info(path);
    if (info.isDir())
        return fail(QStringLiteral(
                        "“%1”是一个文件夹，不是数据库文件。请把这个文件夹改名或移到别处，再重新启动本程序。")
                        .arg(path));
    if (!create && !info.exists()) return fail(QStringLiteral("找不到数据库文件“%1”。").arg(path));
    const QString key = info.absoluteFilePath();
    if (auto existing = Connection::registry().value(key).lock()) return existing;

    const QFileInfo folder(info.absolutePath());
    QString readOnlyWhy;
    if (!info.exists()) {
        if (!folder.isDir())
            return fail(
                QStringLiteral("无法建立数据库文件“%1”：文件夹“%2”不存在。").arg(path, folder.filePath()));
        if (!folder.isWritable())
            return fail(QStringLiteral("无法建立数据库文件“%1”：文件夹“%2”不允许写入。")
                            .arg(path, folder.filePath()));
    } else {
        if (!info.isReadable()) return fail(QStringLiteral("没有读取数据库文件“%1”的权限。").arg(path));
        // Each write of a rollback journal makes a file beside the database,
        // so the folder has to allow writing as well as the file.
        if (!info.isWritable())
            readOnlyWhy = QStringLiteral("是只读文件");
        else if (!folder.isWritable())
            readOnlyWhy = QStringLiteral("所在的文件夹“%1”不允许写入").arg(folder.filePath());
    }

    static QAtomicInt counter;
    const QString name = QStringLiteral("veltrano-%1").arg(counter.fetchAndAddRelaxed(1));
    auto conn = std::make_shared<Connection>(key, name);
    conn->readOnly = !readOnlyWhy.isEmpty();
    conn->readOnlyWhy = readOnlyWhy;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(key);
        db.setConnectOptions(conn->readOnly
                                 ? QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000;QSQLITE_OPEN_READONLY")
                                 : QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
        QSqlError why;
        bool ok = db.open();
        if (!ok) why = db.lastError();
        if (ok) {
            // Reading the schema is what tells an SQLite file from any other file.
            QSqlQuery q(db);
            ok = q.exec(QStringLiteral("SELECT count(*) FROM sqlite_master"));
            if (!ok) why = q.lastError();
        }
        if (!ok) {
            bool known = false;
            const int code = why.nativeErrorCode().toInt(&known) & 0xff;
            if (known && (code == SQLITE_BUSY || code == SQLITE_LOCKED))
                return fail(
                    QStringLiteral("数据库文件“%1”正被其他程序占用，暂时无法打开。请关闭正在使用它的程序，"
                                   "再重新启动本程序。")
                        .arg(path));
            if (known && code == SQLITE_NOTADB)
                return fail(QStringLiteral("文件“%1”不是本程序能打开的数据库，本程序没有改动它。").arg(path));
            if (known && code == SQLITE_CORRUPT)
                return fail(QStringLiteral("数据库文件“%1”已经损坏，无法打开，本程序没有改动它。").arg(path));
            return fail(QStringLiteral("无法打开数据库文件“%1”：%2").arg(path, describe(why, path)));
        }
        if (!conn->readOnly) {
            // A rollback journal with a full sync: every commit is in the
            // database file itself, on disk, before it returns. A file left
            // in write-ahead mode is switched over, which SQLite only allows
            // when no other connection has the file open; otherwise the log
            // is folded back after each commit.
            QSqlQuery q(db);
            q.setForwardOnly(true);
            if (!q.exec(QStringLiteral("PRAGMA journal_mode=DELETE")) || !q.next() ||
                q.value(0).toString().compare(u"delete", Qt::CaseInsensitive) != 0) {
                const QString journalError = describe(q.lastError(), path);
                q.finish();
                if (!q.exec(QStringLiteral("PRAGMA journal_mode")) || !q.next() ||
                    q.value(0).toString().compare(u"wal", Qt::CaseInsensitive) != 0)
                    return fail(QStringLiteral("无法打开数据库文件“%1”：%2").arg(path, journalError));
                conn->walFallback = true;
            }
            q.finish();
            if (!q.exec(QStringLiteral("PRAGMA synchronous=FULL")))
                return fail(QStringLiteral("无法打开数据库文件“%1”：%2").arg(path, sqlError(q, path)));
            q.finish();
            if (conn->walFallback) conn->checkpoint();
        }
        if (g_rawReads == RawReads::Unknown)
            g_rawReads = driverSharesOurSqlite(db) ? RawReads::Yes : RawReads::No;
    }
    Connection::registry().insert(key, conn);
    return conn;
}

} // namespace

// ---------------------------------------------------------------- Database

Database Database::OpenDatabase(const QString& path, QString* error) {
    return Database(connect(path, false, error));
}

Database Database::Create(const QString& path, QString* error) {
    return Database(connect(path, true, error));
}

QString Database::path() const {
    return conn_ ? conn_->path() : QString();
}
QString Database::lastError() const {
    return conn_ ? conn_->lastError : QString();
}
bool Database::isReadOnly() const {
    return conn_ && conn_->readOnly;
}
bool Database::walFallback() const {
    return conn_ && conn_->walFallback;
}

QString Database::readOnlyNote() const {
    if (!conn_ || !conn_->readOnly) return {};
    return QStringLiteral("数据库文件“%1”%2，本次只能查看其中的内容，所做的修改无法保存。")
        .arg(conn_->path(), conn_->readOnlyWhy);
}

void Database::setDriverReadsForTesting(bool on) {
    g_forceDriverReads = on;
}
bool Database::readsThroughRawHandle() {
    return g_rawReads == RawReads::Yes && !g_forceDriverReads;
}

QStringList Database::tables() const {
    QStringList out;
    if (!conn_) return out;
    QSqlQuery q(conn_->db());
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral(
            "SELECT name FROM sqlite_master WHERE type='table' AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\' "
            "ORDER BY rowid")))
        return out;
    while (q.next())
        out << q.value(0).toString();
    return out;
}

QString Database::findTable(const QString& name) const {
    const QStringList all = tables();
    for (const QString& t : all)
        if (t == name) return t;
    for (const QString& t : all)
        if (t.compare(name, Qt::CaseInsensitive) == 0) return t;
    return {};
}

bool Database::CreateTable(const QString& name, const QList<FieldDef>& fields) {
    if (!conn_) return false;
    if (conn_->readOnly) {
        conn_->lastError = conn_->writeRefusal();
        return false;
    }
    if (name.isEmpty() || fields.isEmpty()) {
        conn_->lastError = QStringLiteral("表名和字段不能为空。");
        return false;
    }
    if (hasTable(name)) {
        conn_->lastError = QStringLiteral("表“%1”已经存在。").arg(name);
        return false;
    }
    QStringList cols;
    for (const FieldDef& f : fields)
        cols << quoteIdentifier(f.name) + u' ' + kindToDecl(f);
    QSqlQuery q(conn_->db());
    if (!q.exec(QStringLiteral("CREATE TABLE %1 (%2)").arg(quoteIdentifier(name), cols.join(u", ")))) {
        conn_->lastError = sqlError(q, conn_->path());
        return false;
    }
    conn_->afterCommit();
    return true;
}

QList<FieldDef> Database::fields(const QString& table) const {
    QList<FieldDef> out;
    const QString stored = findTable(table);
    if (stored.isEmpty()) return out;
    QSqlQuery q(conn_->db());
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("PRAGMA table_info(%1)").arg(quoteIdentifier(stored)))) return out;
    while (q.next())
        out << declToField(q.value(1).toString(), q.value(2).toString());
    return out;
}

bool Database::insertRecord(const QString& table, const QList<QVariant>& values, qint64 storedKey) {
    if (!conn_) return false;
    if (conn_->readOnly) {
        conn_->lastError = conn_->writeRefusal();
        return false;
    }
    const QString stored = findTable(table);
    const QList<FieldDef> defs = fields(stored);
    if (stored.isEmpty() || values.size() > defs.size()) {
        conn_->lastError = QStringLiteral("数据库“%1”中没有表“%2”。").arg(conn_->path(), table);
        return false;
    }
    QStringList cols{QStringLiteral("rowid")}, marks{QStringLiteral("?")};
    QList<QVariant> bound{storedKey};
    for (int i = 0; i < values.size(); ++i) {
        QString why;
        const auto v = Recordset::convertForStore(defs[i], values[i], &why);
        if (!v) {
            conn_->lastError = why;
            return false;
        }
        cols << quoteIdentifier(defs[i].name);
        marks << QStringLiteral("?");
        bound << *v;
    }
    QSqlQuery q(conn_->db());
    if (!q.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                       .arg(quoteIdentifier(stored), cols.join(u','), marks.join(u',')))) {
        conn_->lastError = sqlError(q, conn_->path());
        return false;
    }
    for (const QVariant& v : bound)
        q.addBindValue(v);
    if (!q.exec()) {
        conn_->lastError = sqlError(q, conn_->path());
        return false;
    }
    conn_->afterCommit();
    return true;
}

bool Database::redefineField(const QString& table, const FieldDef& field) {
    if (!conn_) return false;
    if (conn_->readOnly) {
        conn_->lastError = conn_->writeRefusal();
        return false;
    }
    const QString stored = findTable(table);
    if (stored.isEmpty()) {
        conn_->lastError = QStringLiteral("数据库“%1”中没有表“%2”。").arg(conn_->path(), table);
        return false;
    }
    // Every column keeps its declared type as written, but the one changed.
    QStringList names, decls;
    {
        QSqlQuery q(conn_->db());
        q.setForwardOnly(true);
        if (!q.exec(QStringLiteral("PRAGMA table_info(%1)").arg(quoteIdentifier(stored)))) {
            conn_->lastError = sqlError(q, conn_->path());
            return false;
        }
        while (q.next()) {
            names << q.value(1).toString();
            decls << q.value(2).toString();
        }
    }
    const qsizetype at = names.indexOf(field.name, 0);
    qsizetype target = at;
    for (qsizetype i = 0; target < 0 && i < names.size(); ++i)
        if (names[i].compare(field.name, Qt::CaseInsensitive) == 0) target = i;
    if (target < 0) {
        conn_->lastError = QStringLiteral("表“%1”中没有字段“%2”。").arg(stored, field.name);
        return false;
    }
    decls[target] = kindToDecl(field);
    QString scratch = stored + QStringLiteral("_new");
    while (hasTable(scratch))
        scratch += u'_';
    QStringList defs, cols;
    for (qsizetype i = 0; i < names.size(); ++i) {
        defs << quoteIdentifier(names[i]) + u' ' + decls[i];
        cols << quoteIdentifier(names[i]);
    }
    const bool own = !conn_->inTransaction;
    if (own && !beginTransaction()) return false;
    QSqlQuery q(conn_->db());
    const QStringList steps{
        QStringLiteral("CREATE TABLE %1 (%2)").arg(quoteIdentifier(scratch), defs.join(u", ")),
        QStringLiteral("INSERT INTO %1 (rowid,%2) SELECT rowid,%2 FROM %3 ORDER BY rowid")
            .arg(quoteIdentifier(scratch), cols.join(u','), quoteIdentifier(stored)),
        QStringLiteral("DROP TABLE %1").arg(quoteIdentifier(stored)),
        QStringLiteral("ALTER TABLE %1 RENAME TO %2").arg(quoteIdentifier(scratch), quoteIdentifier(stored))};
    for (const QString& step : steps) {
        if (!q.exec(step)) {
            const QString why = sqlError(q, conn_->path());
            q.finish();
            if (own) rollback();
            conn_->lastError = why;
            return false;
        }
    }
    q.finish();
    return !own || commit();
}

bool Database::beginTransaction() {
    if (!conn_) return false;
    if (conn_->readOnly) {
        conn_->lastError = conn_->writeRefusal();
        return false;
    }
    // The statements are run here rather than through QSqlDatabase, whose
    // errors do not carry SQLite's code.
    QSqlQuery q(conn_->db());
    if (!q.exec(QStringLiteral("BEGIN"))) {
        conn_->lastError = QStringLiteral("无法开始保存一组更改：%1").arg(sqlError(q, conn_->path()));
        return false;
    }
    conn_->inTransaction = true;
    return true;
}

bool Database::commit() {
    if (!conn_) return false;
    QSqlQuery q(conn_->db());
    if (q.exec(QStringLiteral("COMMIT"))) {
        conn_->inTransaction = false;
        conn_->afterCommit();
        return true;
    }
    // A COMMIT that failed leaves the transaction open in SQLite: end it,
    // or the next write would silently become part of it.
    const QString why = sqlError(q, conn_->path());
    const bool undone = q.exec(QStringLiteral("ROLLBACK"));
    conn_->inTransaction = false;
    conn_->lastError = undone ? QStringLiteral("这一组更改没能保存，已经全部撤销：%1").arg(why)
                              : QStringLiteral("这一组更改没能保存：%1").arg(why);
    return false;
}

bool Database::rollback() {
    if (!conn_) return false;
    QSqlQuery q(conn_->db());
    const bool ok = q.exec(QStringLiteral("ROLLBACK"));
    conn_->inTransaction = false;
    if (!ok) conn_->lastError = QStringLiteral("无法撤销这一组更改：%1").arg(sqlError(q, conn_->path()));
    return ok;
}

// --------------------------------------------------------------- Recordset

std::unique_ptr<Recordset> Recordset::OpenTable(const QString& path, const QString& table, QString* error) {
    Database db = Database::OpenDatabase(path, error);
    if (!db.isValid()) return nullptr;
    return OpenTable(db, table, error);
}

std::unique_ptr<Recordset> Recordset::OpenTable(const Database& db, const QString& table, QString* error) {
    if (!db.isValid()) return nullptr;
    const QString stored = db.findTable(table);
    if (stored.isEmpty()) {
        if (error) *error = QStringLiteral("数据库“%1”中没有表“%2”。").arg(db.path(), table);
        return nullptr;
    }
    std::unique_ptr<Recordset> rs(new Recordset);
    rs->db_ = db;
    rs->table_ = stored;
    rs->fields_ = db.fields(stored);
    if (!rs->Refresh()) {
        if (error) *error = rs->error_;
        return nullptr;
    }
    return rs;
}

Recordset::Recordset() = default;
Recordset::~Recordset() = default;

int Recordset::fieldIndex(const QString& name) const {
    for (int i = 0; i < fields_.size(); ++i)
        if (fields_[i].name == name) return i;
    for (int i = 0; i < fields_.size(); ++i)
        if (fields_[i].name.compare(name, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

QVariant Recordset::fromStore(int index, const QVariant& v) const {
    if (v.isNull()) return {};
    switch (fields_[index].kind) {
    case FieldKind::Text:
    case FieldKind::Memo:
        return v.toString();
    case FieldKind::Currency:
        return QVariant::fromValue(Currency::fromRaw(v.toLongLong()));
    case FieldKind::Number:
        if (v.typeId() == QMetaType::LongLong || v.typeId() == QMetaType::Int) return v.toLongLong();
        return v.toDouble();
    case FieldKind::Date:
        return QDate::fromString(v.toString(), Qt::ISODate);
    }
    return v;
}

// Decodes one stored value into its cell, the same for both read paths.
// `text` is only called for text-like fields.
template <typename TextFn>
void Recordset::storeCell(Cell& c, FieldKind kind, int type, qint64 integer, double real, TextFn text) {
    if (type == SQLITE_NULL) return;
    switch (kind) {
    case FieldKind::Currency:
        c.type = Cell::Money;
        c.i = type == SQLITE_FLOAT ? qint64(std::llround(real)) : integer;
        break;
    case FieldKind::Number:
        if (type == SQLITE_INTEGER) {
            c.type = Cell::Int;
            c.i = integer;
        } else {
            c.type = Cell::Real;
            c.d = real;
        }
        break;
    case FieldKind::Date: {
        const QDate d = QDate::fromString(text(), Qt::ISODate);
        if (d.isValid()) {
            c.type = Cell::Day;
            c.i = d.toJulianDay();
        }
        break;
    }
    default:
        c.type = Cell::Text;
        c.s = text();
    }
}

bool Recordset::Refresh() {
    CancelUpdate();
    QStringList cols{QStringLiteral("rowid")};
    for (const FieldDef& f : fields_)
        cols << quoteIdentifier(f.name);
    const QString sql =
        QStringLiteral("SELECT %1 FROM %2 ORDER BY rowid").arg(cols.join(u','), quoteIdentifier(table_));
    QSqlDatabase qdb = db_.connection()->db();
    if (!qdb.isOpen()) {
        error_ = QStringLiteral("数据库没有打开。");
        return false;
    }
    const QString& path = db_.connection()->path();
    const int n = int(fields_.size());
    rows_.clear();
    cells_.clear();
    liveCount_ = 0;
    pos_ = 0;
    auto addRow = [&](qint64 rowid) {
        rows_.append(Row{rowid, false});
        cells_.resize(cells_.size() + n);
        return cells_.data() + cells_.size() - n;
    };
    if (!Database::readsThroughRawHandle()) {
        QSqlQuery q(qdb);
        q.setForwardOnly(true);
        if (!q.exec(sql)) {
            error_ = sqlError(q, path);
            return false;
        }
        while (q.next()) {
            Cell* cells = addRow(q.value(0).toLongLong());
            for (int i = 0; i < n; ++i) {
                const QVariant v = q.value(i + 1);
                const int type = v.isNull()                          ? SQLITE_NULL
                                 : v.typeId() == QMetaType::LongLong ? SQLITE_INTEGER
                                 : v.typeId() == QMetaType::Int      ? SQLITE_INTEGER
                                 : v.typeId() == QMetaType::Double   ? SQLITE_FLOAT
                                                                     : SQLITE_TEXT;
                storeCell(cells[i], fields_[i].kind, type, v.toLongLong(), v.toDouble(),
                          [&] { return v.toString(); });
            }
        }
        if (q.lastError().isValid()) {
            error_ = sqlError(q, path);
            rows_.clear();
            cells_.clear();
            return false;
        }
        liveCount_ = int(rows_.size());
        return true;
    }
    // Reading a whole table is the hot path of every window: step the
    // driver's own SQLite handle rather than going through QVariant rows.
    const QVariant handle = qdb.driver()->handle();
    sqlite3* raw = handle.isValid() && qstrcmp(handle.typeName(), "sqlite3*") == 0
                       ? *static_cast<sqlite3* const*>(handle.data())
                       : nullptr;
    if (!raw) {
        error_ = QStringLiteral("数据库没有打开。");
        return false;
    }
    sqlite3_stmt* st = nullptr;
    const QByteArray utf8 = sql.toUtf8();
    if (sqlite3_prepare_v2(raw, utf8.constData(), int(utf8.size()), &st, nullptr) != SQLITE_OK) {
        error_ = describe(sqlite3_errcode(raw), QString::fromUtf8(sqlite3_errmsg(raw)), path);
        return false;
    }
    {
        // Size the blocks once: growing them row by row moves every value.
        sqlite3_stmt* count = nullptr;
        const QByteArray c = QStringLiteral("SELECT count(*) FROM %1").arg(quoteIdentifier(table_)).toUtf8();
        if (sqlite3_prepare_v2(raw, c.constData(), int(c.size()), &count, nullptr) == SQLITE_OK &&
            sqlite3_step(count) == SQLITE_ROW) {
            const qint64 rows = sqlite3_column_int64(count, 0);
            rows_.reserve(rows);
            cells_.reserve(rows * n);
        }
        sqlite3_finalize(count);
    }
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        Cell* cells = addRow(sqlite3_column_int64(st, 0));
        for (int i = 0; i < n; ++i) {
            const int col = i + 1;
            const int type = sqlite3_column_type(st, col);
            const FieldKind kind = fields_[i].kind;
            const bool numeric = kind == FieldKind::Currency || kind == FieldKind::Number;
            storeCell(cells[i], kind, type, numeric ? sqlite3_column_int64(st, col) : 0,
                      numeric && type == SQLITE_FLOAT ? sqlite3_column_double(st, col) : 0.0, [&] {
                          const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(st, col));
                          return QString::fromUtf8(text, sqlite3_column_bytes(st, col));
                      });
        }
    }
    sqlite3_finalize(st);
    if (rc != SQLITE_DONE) {
        error_ = describe(rc, QString::fromUtf8(sqlite3_errstr(rc)), path);
        rows_.clear();
        cells_.clear();
        return false;
    }
    liveCount_ = int(rows_.size());
    return true;
}

void Recordset::MoveFirst() {
    CancelUpdate();
    pos_ = 0;
    while (pos_ < rows_.size() && rows_[pos_].deleted)
        ++pos_;
}

void Recordset::MoveNext() {
    CancelUpdate();
    if (pos_ < rows_.size()) ++pos_;
    while (pos_ < rows_.size() && rows_[pos_].deleted)
        ++pos_;
}

bool Recordset::isEOF() const {
    return pos_ >= rows_.size();
}

int Recordset::position() const {
    int n = 0;
    for (int i = 0; i < pos_ && i < rows_.size(); ++i)
        if (!rows_[i].deleted) ++n;
    return n;
}

qint64 Recordset::storedKey() const {
    return pos_ < rows_.size() && !rows_[pos_].deleted ? rows_[pos_].rowid : -1;
}

const Recordset::Cell* Recordset::currentCells() const {
    if (pos_ >= rows_.size() || rows_[pos_].deleted) return nullptr;
    return rowCells(pos_);
}

QVariant Recordset::toVariant(const Cell& c) {
    switch (c.type) {
    case Cell::Null:
        return {};
    case Cell::Text:
        return c.s;
    case Cell::Int:
        return qlonglong(c.i);
    case Cell::Real:
        return c.d;
    case Cell::Money:
        return QVariant::fromValue(Currency::fromRaw(c.i));
    case Cell::Day:
        return QDate::fromJulianDay(c.i);
    }
    return {};
}

Recordset::Cell Recordset::toCell(const QVariant& v) {
    Cell c;
    if (v.isNull()) return c;
    if (v.metaType() == QMetaType::fromType<Currency>()) {
        c.type = Cell::Money;
        c.i = static_cast<const Currency*>(v.constData())->raw();
    } else if (v.typeId() == QMetaType::LongLong || v.typeId() == QMetaType::Int) {
        c.type = Cell::Int;
        c.i = v.toLongLong();
    } else if (v.typeId() == QMetaType::Double) {
        c.type = Cell::Real;
        c.d = v.toDouble();
    } else if (v.typeId() == QMetaType::QDate) {
        c.type = Cell::Day;
        c.i = v.toDate().toJulianDay();
    } else {
        c.type = Cell::Text;
        c.s = v.toString();
    }
    return c;
}

QVariant Recordset::Fields(int index) const {
    if (index < 0 || index >= fields_.size()) return {};
    if (mode_ != Mode::None) return buffer_[index];
    const Cell* c = currentCells();
    return c ? toVariant(c[index]) : QVariant();
}

QVariant Recordset::Fields(const QString& name) const {
    return Fields(fieldIndex(name));
}

std::optional<Currency> Recordset::currency(int index) const {
    if (index < 0 || index >= fields_.size()) return std::nullopt;
    if (mode_ != Mode::None) {
        const QVariant& v = buffer_[index];
        if (v.metaType() != QMetaType::fromType<Currency>()) return std::nullopt;
        return *static_cast<const Currency*>(v.constData());
    }
    const Cell* c = currentCells();
    if (!c || c[index].type != Cell::Money) return std::nullopt;
    return Currency::fromRaw(c[index].i);
}

QString Recordset::text(int index) const {
    const QVariant v = Fields(index);
    if (v.isNull()) return {};
    if (v.canConvert<Currency>() && v.typeId() == qMetaTypeId<Currency>())
        return v.value<Currency>().toString();
    if (v.typeId() == QMetaType::QDate) {
        const QDate d = v.toDate();
        return QStringLiteral("%1-%2-%3").arg(d.year()).arg(d.month()).arg(d.day());
    }
    if (v.typeId() == QMetaType::Double) return QString::number(v.toDouble(), 'g', 15);
    return v.toString();
}

QString Recordset::text(const QString& name) const {
    return text(fieldIndex(name));
}

bool Recordset::SetField(int index, const QVariant& value) {
    if (mode_ == Mode::None || index < 0 || index >= buffer_.size()) return false;
    buffer_[index] = value;
    touched_[index] = true;
    return true;
}

bool Recordset::SetField(const QString& name, const QVariant& value) {
    return SetField(fieldIndex(name), value);
}

void Recordset::AddNew() {
    mode_ = Mode::Add;
    buffer_ = QList<QVariant>(fields_.size());
    touched_ = QList<bool>(fields_.size(), false);
}

bool Recordset::Edit() {
    CancelUpdate();
    const Cell* c = currentCells();
    if (!c) {
        error_ = QStringLiteral("没有当前记录。");
        return false;
    }
    buffer_.clear();
    buffer_.reserve(fields_.size());
    for (int i = 0; i < fields_.size(); ++i)
        buffer_.append(toVariant(c[i]));
    touched_ = QList<bool>(fields_.size(), false);
    mode_ = Mode::Edit;
    return true;
}

void Recordset::CancelUpdate() {
    mode_ = Mode::None;
    buffer_.clear();
    touched_.clear();
}

namespace {
// Characters as a reader counts them: a surrogate pair (an emoji, a rare
// Han character) is one.
qsizetype characterCount(const QString& s) {
    qsizetype n = 0;
    for (qsizetype i = 0; i < s.size(); ++i, ++n)
        if (s[i].isHighSurrogate() && i + 1 < s.size() && s[i + 1].isLowSurrogate()) ++i;
    return n;
}
} // namespace

std::optional<QVariant> Recordset::convertForStore(const FieldDef& def, const QVariant& value, QString* why) {
    auto fail = [&](const QString& s) -> std::optional<QVariant> {
        if (why) *why = s;
        return std::nullopt;
    };
    if (value.isNull() || !value.isValid()) return QVariant();
    const bool isCurrency = value.typeId() == qMetaTypeId<Currency>();
    switch (def.kind) {
    case FieldKind::Text:
    case FieldKind::Memo: {
        QString s = isCurrency ? value.value<Currency>().toString() : value.toString();
        if (def.kind == FieldKind::Text && characterCount(s) > def.size)
            return fail(QStringLiteral("字段“%1”最多只能保存 %2 个字符。").arg(def.name).arg(def.size));
        return QVariant(s);
    }
    case FieldKind::Currency: {
        std::optional<Currency> c;
        if (isCurrency)
            c = value.value<Currency>();
        else if (value.typeId() == QMetaType::QString)
            c = Currency::parse(value.toString());
        else if (value.typeId() == QMetaType::Double || value.typeId() == QMetaType::Float)
            c = Currency::fromDouble(value.toDouble());
        else if (value.typeId() == QMetaType::Int || value.typeId() == QMetaType::LongLong ||
                 value.typeId() == QMetaType::UInt || value.typeId() == QMetaType::Short ||
                 value.typeId() == QMetaType::ULongLong) {
            // Whole numbers beyond the count's range would wrap in fromInt.
            constexpr qint64 limit = std::numeric_limits<qint64>::max() / Currency::Scale;
            const bool unsignedValue = value.typeId() == QMetaType::ULongLong;
            const qint64 whole = unsignedValue
                                     ? qint64(qMin<qulonglong>(value.toULongLong(), quint64(limit) + 1))
                                     : value.toLongLong();
            if (whole >= -limit && whole <= limit) c = Currency::fromInt(whole);
        }
        if (!c) return fail(QStringLiteral("字段“%1”只能保存数字。").arg(def.name));
        return QVariant(qlonglong(c->raw()));
    }
    case FieldKind::Number: {
        if (isCurrency) return QVariant(value.value<Currency>().toDouble());
        if (value.typeId() == QMetaType::Int || value.typeId() == QMetaType::LongLong ||
            value.typeId() == QMetaType::Short || value.typeId() == QMetaType::UInt)
            return QVariant(value.toLongLong());
        if (value.typeId() == QMetaType::Double || value.typeId() == QMetaType::Float) {
            const double d = value.toDouble();
            if (!std::isfinite(d)) return fail(QStringLiteral("字段“%1”只能保存数字。").arg(def.name));
            return QVariant(d);
        }
        const QString s = value.toString().trimmed();
        bool ok = false;
        const qlonglong n = s.toLongLong(&ok);
        if (ok) return QVariant(n);
        const double d = s.toDouble(&ok);
        if (ok && std::isfinite(d)) return QVariant(d);
        return fail(QStringLiteral("字段“%1”只能保存数字。").arg(def.name));
    }
    case FieldKind::Date: {
        QDate d;
        if (value.typeId() == QMetaType::QDate)
            d = value.toDate();
        else if (value.typeId() == QMetaType::QDateTime)
            d = value.toDateTime().date();
        else {
            const QString s = value.toString().trimmed();
            d = QDate::fromString(s, QStringLiteral("yyyy-M-d"));
            if (!d.isValid()) d = QDate::fromString(s, Qt::ISODate);
        }
        if (!d.isValid()) return fail(QStringLiteral("字段“%1”只能保存日期。").arg(def.name));
        return QVariant(d.toString(Qt::ISODate));
    }
    }
    return fail(QStringLiteral("未知的字段类型。"));
}

bool Recordset::same(const QVariant& a, const QVariant& b) {
    if (a.isNull() || b.isNull()) return false;
    return a == b;
}

bool Recordset::Update() {
    if (mode_ == Mode::None) {
        error_ = QStringLiteral("没有正在编辑的记录。");
        return false;
    }
    const bool ok = writeBuffer();
    CancelUpdate();
    return ok;
}

bool Recordset::writeBuffer() {
    if (db_.isReadOnly()) {
        error_ = db_.connection()->writeRefusal();
        return false;
    }
    // Check every written field first: a refused value writes nothing.
    QStringList cols;
    QList<QVariant> stored;
    QList<int> indexes;
    for (int i = 0; i < fields_.size(); ++i) {
        if (!touched_[i]) continue;
        QString why;
        auto v = convertForStore(fields_[i], buffer_[i], &why);
        if (!v) {
            error_ = why;
            return false;
        }
        cols << quoteIdentifier(fields_[i].name);
        stored << *v;
        indexes << i;
    }
    QSqlQuery q(db_.connection()->db());
    if (mode_ == Mode::Add) {
        QString sql;
        if (cols.isEmpty()) {
            sql = QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(quoteIdentifier(table_));
        } else {
            QStringList marks;
            for (qsizetype i = 0; i < cols.size(); ++i)
                marks << QStringLiteral("?");
            sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                      .arg(quoteIdentifier(table_), cols.join(u','), marks.join(u','));
        }
        // Appends in a row (a batch of students) reuse one prepared statement.
        if (!insertQuery_ || insertSql_ != sql) {
            insertQuery_ = std::make_unique<QSqlQuery>(db_.connection()->db());
            insertSql_.clear();
            if (!insertQuery_->prepare(sql)) {
                error_ = sqlError(*insertQuery_, db_.path());
                insertQuery_.reset();
                return false;
            }
            insertSql_ = sql;
        }
        QSqlQuery& ins = *insertQuery_;
        for (int k = 0; k < stored.size(); ++k)
            ins.bindValue(k, stored[k]);
        if (!ins.exec()) {
            error_ = sqlError(ins, db_.path());
            return false;
        }
        Row r;
        r.rowid = ins.lastInsertId().toLongLong();
        rows_.append(r);
        cells_.resize(cells_.size() + fields_.size());
        Cell* cells = rowCells(int(rows_.size()) - 1);
        for (int k = 0; k < indexes.size(); ++k)
            cells[indexes[k]] = toCell(fromStore(indexes[k], stored[k]));
        ++liveCount_;
        db_.connection()->afterCommit();
        return true;
    }
    // Edit
    if (pos_ >= rows_.size() || rows_[pos_].deleted) {
        error_ = QStringLiteral("没有当前记录。");
        return false;
    }
    if (cols.isEmpty()) return true;
    QStringList sets;
    for (const QString& c : cols)
        sets << c + QStringLiteral("=?");
    if (!q.prepare(
            QStringLiteral("UPDATE %1 SET %2 WHERE rowid=?").arg(quoteIdentifier(table_), sets.join(u',')))) {
        error_ = sqlError(q, db_.path());
        return false;
    }
    for (const QVariant& v : stored)
        q.addBindValue(v);
    q.addBindValue(rows_[pos_].rowid);
    if (!q.exec()) {
        error_ = sqlError(q, db_.path());
        return false;
    }
    if (q.numRowsAffected() == 0) {
        error_ = QStringLiteral("记录已被删除。");
        return false;
    }
    Cell* cells = rowCells(pos_);
    for (int k = 0; k < indexes.size(); ++k)
        cells[indexes[k]] = toCell(fromStore(indexes[k], stored[k]));
    db_.connection()->afterCommit();
    return true;
}

ChangeWatch::~ChangeWatch() {
    close();
}

void ChangeWatch::close() {
    sqlite3_finalize(stmt_);
    sqlite3_close(db_);
    stmt_ = nullptr;
    db_ = nullptr;
    path_.clear();
}

qint64 ChangeWatch::version(const QString& path) {
    if (path != path_ || !stmt_) {
        close();
        const QByteArray file = QFileInfo(path).absoluteFilePath().toUtf8();
        if (sqlite3_open_v2(file.constData(), &db_, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK ||
            sqlite3_prepare_v2(db_, "PRAGMA data_version", -1, &stmt_, nullptr) != SQLITE_OK) {
            close();
            return -1;
        }
        path_ = path;
    }
    qint64 v = -1;
    if (sqlite3_step(stmt_) == SQLITE_ROW) v = sqlite3_column_int64(stmt_, 0);
    sqlite3_reset(stmt_);
    return v;
}

bool Recordset::Delete() {
    CancelUpdate();
    if (db_.isReadOnly()) {
        error_ = db_.connection()->writeRefusal();
        return false;
    }
    if (pos_ >= rows_.size() || rows_[pos_].deleted) {
        error_ = QStringLiteral("没有当前记录。");
        return false;
    }
    QSqlQuery q(db_.connection()->db());
    if (!q.prepare(QStringLiteral("DELETE FROM %1 WHERE rowid=?").arg(quoteIdentifier(table_)))) {
        error_ = sqlError(q, db_.path());
        return false;
    }
    q.addBindValue(rows_[pos_].rowid);
    if (!q.exec()) {
        error_ = sqlError(q, db_.path());
        return false;
    }
    rows_[pos_].deleted = true;
    --liveCount_;
    db_.connection()->afterCommit();
    return true;
}

} // namespace store
