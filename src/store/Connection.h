#pragma once

// Pieces the store's classes share and nobody outside the store uses: the
// open connection behind every handle of one file, and SQLite's reasons in
// sentences for the user.

#include "Database.h"
#include "Recordset.h"

#include <QHash>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <memory>

namespace store {

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

namespace detail {

QString kindToDecl(const FieldDef& f);
FieldDef declToField(const QString& name, const QString& declIn);
QString describe(int code, const QString& raw, const QString& path);
QString describe(const QSqlError& e, const QString& path);
QString sqlError(const QSqlQuery& q, const QString& path);
std::shared_ptr<Connection> connect(const QString& path, bool create, QString* error);

} // namespace detail
} // namespace store
