#include "Database.h"

#include "Connection.h"

#include <QFileInfo>
#include <QSqlRecord>
#include <atomic>
#include <optional>
#include <sqlite3.h>

namespace store {

using namespace detail;

namespace {
std::atomic<int> busyTimeout{5000};
}

int Database::busyTimeoutMs() {
    return busyTimeout.load();
}
void Database::setBusyTimeoutMs(int ms) {
    busyTimeout.store(ms);
}

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

namespace {

// The user tables in creation order, or nullopt (with the reason in the
// connection's lastError) when the file's list cannot be read.
std::optional<QStringList> readTables(Connection& conn) {
    QSqlQuery q(conn.db());
    q.setForwardOnly(true);
    QStringList out;
    if (q.exec(QStringLiteral(
            "SELECT name FROM sqlite_master WHERE type='table' AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\' "
            "ORDER BY rowid"))) {
        while (q.next())
            out << q.value(0).toString();
        if (!q.lastError().isValid()) return out;
    }
    conn.lastError = sqlError(q, conn.path());
    return std::nullopt;
}

// The stored spelling of `name`: exact first, then without regard to case.
QString matchTable(const QStringList& all, const QString& name) {
    for (const QString& t : all)
        if (t == name) return t;
    for (const QString& t : all)
        if (t.compare(name, Qt::CaseInsensitive) == 0) return t;
    return {};
}

} // namespace

QStringList Database::tables() const {
    if (!conn_) return {};
    return readTables(*conn_).value_or(QStringList());
}

QString Database::findTable(const QString& name) const {
    return matchTable(tables(), name);
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
    if (!conn_) return out;
    const std::optional<QStringList> all = readTables(*conn_);
    if (!all) return out;
    const QString stored = matchTable(*all, table);
    if (stored.isEmpty()) {
        conn_->lastError = QStringLiteral("数据库“%1”中没有表“%2”。").arg(conn_->path(), table);
        return out;
    }
    QSqlQuery q(conn_->db());
    q.setForwardOnly(true);
    if (q.exec(QStringLiteral("PRAGMA table_info(%1)").arg(quoteIdentifier(stored)))) {
        while (q.next())
            out << declToField(q.value(1).toString(), q.value(2).toString());
        if (!q.lastError().isValid() && !out.isEmpty()) return out;
    }
    // A table always has a field, so an empty answer is a failed read too.
    conn_->lastError = q.lastError().isValid() ? sqlError(q, conn_->path())
                                               : QStringLiteral("无法读取表“%1”的字段。").arg(stored);
    return {};
}

bool Database::insertRecord(const QString& table, const QList<QVariant>& values, qint64 storedKey) {
    if (!conn_) return false;
    if (conn_->readOnly) {
        conn_->lastError = conn_->writeRefusal();
        return false;
    }
    const QList<FieldDef> defs = fields(table);
    if (defs.isEmpty()) return false; // no such table, or unreadable: lastError() says which
    const QString stored = findTable(table);
    if (values.size() > defs.size()) {
        conn_->lastError = QStringLiteral("表“%1”只有 %2 个字段，放不下 %3 个值。")
                               .arg(stored)
                               .arg(defs.size())
                               .arg(values.size());
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
    const std::optional<QStringList> all = readTables(*conn_);
    if (!all) return false;
    const QString stored = matchTable(*all, table);
    if (stored.isEmpty()) {
        conn_->lastError = QStringLiteral("数据库“%1”中没有表“%2”。").arg(conn_->path(), table);
        return false;
    }
    // Every column keeps its declared type as written, but the one changed.
    QStringList names, decls;
    {
        QSqlQuery q(conn_->db());
        q.setForwardOnly(true);
        if (q.exec(QStringLiteral("PRAGMA table_info(%1)").arg(quoteIdentifier(stored))))
            while (q.next()) {
                names << q.value(1).toString();
                decls << q.value(2).toString();
            }
        if (q.lastError().isValid()) {
            conn_->lastError = sqlError(q, conn_->path());
            return false;
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
    while (all->contains(scratch, Qt::CaseInsensitive)) // SQLite's table names ignore case
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
            QString why = sqlError(q, conn_->path());
            q.finish();
            if (own && !rollback()) why += u' ' + conn_->lastError;
            conn_->lastError = why;
            return false;
        }
    }
    q.finish();
    return !own || commit();
}

bool Database::addField(const QString& table, const FieldDef& field) {
    if (!conn_) return false;
    if (conn_->readOnly) {
        conn_->lastError = conn_->writeRefusal();
        return false;
    }
    const QList<FieldDef> defs = fields(table);
    if (defs.isEmpty()) return false; // no such table, or unreadable: lastError() says which
    for (const FieldDef& f : defs)
        if (f.name.compare(field.name, Qt::CaseInsensitive) == 0) {
            conn_->lastError = QStringLiteral("表“%1”中已经有字段“%2”。").arg(table, field.name);
            return false;
        }
    QSqlQuery q(conn_->db());
    if (!q.exec(
            QStringLiteral("ALTER TABLE %1 ADD COLUMN %2 %3")
                .arg(quoteIdentifier(findTable(table)), quoteIdentifier(field.name), kindToDecl(field)))) {
        conn_->lastError = sqlError(q, conn_->path());
        return false;
    }
    conn_->afterCommit();
    return true;
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

} // namespace store
