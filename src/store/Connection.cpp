#include "Connection.h"

#include <QAtomicInt>
#include <QFileInfo>
#include <sqlite3.h>

namespace store {

namespace detail {

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

    // Settles, before the first file is read, whether its tables may be
    // read through the driver's handle (and logs why not, once).
    Database::sqliteCheck();

    static QAtomicInt counter;
    const QString name = QStringLiteral("veltrano-%1").arg(counter.fetchAndAddRelaxed(1));
    auto conn = std::make_shared<Connection>(key, name);
    conn->readOnly = !readOnlyWhy.isEmpty();
    conn->readOnlyWhy = readOnlyWhy;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(key);
        const QString busy = QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(Database::busyTimeoutMs());
        db.setConnectOptions(conn->readOnly ? busy + QStringLiteral(";QSQLITE_OPEN_READONLY") : busy);
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
    }
    Connection::registry().insert(key, conn);
    return conn;
}

} // namespace detail

} // namespace store
