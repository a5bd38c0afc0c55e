#include "ChangeWatch.h"

#include "Connection.h"

#include <QAtomicInt>
#include <QFileInfo>
#include <sqlite3.h>

namespace store {

using namespace detail;

ChangeWatch::ChangeWatch() = default;

ChangeWatch::~ChangeWatch() {
    close();
}

void ChangeWatch::close() {
    sqlite3_finalize(stmt_);
    sqlite3_close(db_);
    stmt_ = nullptr;
    db_ = nullptr;
    if (!qtName_.isEmpty()) {
        query_.reset();
        QSqlDatabase::database(qtName_, false).close();
        QSqlDatabase::removeDatabase(qtName_);
        qtName_.clear();
    }
    path_.clear();
}

bool ChangeWatch::open(const QString& path) {
    const QString file = QFileInfo(path).absoluteFilePath();
    if (!QFileInfo(file).isFile()) {
        error_ = QStringLiteral("找不到数据库文件“%1”。").arg(path);
        return false;
    }
    if (Database::readsThroughRawHandle()) {
        const QByteArray name = file.toUtf8();
        int rc = sqlite3_open_v2(name.constData(), &db_, SQLITE_OPEN_READONLY, nullptr);
        if (rc == SQLITE_OK) rc = sqlite3_prepare_v2(db_, "PRAGMA data_version", -1, &stmt_, nullptr);
        if (rc != SQLITE_OK) {
            error_ = describe(rc, QString::fromUtf8(db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc)), path);
            return false;
        }
        return true;
    }
    static QAtomicInt counter;
    qtName_ = QStringLiteral("veltrano-watch-%1").arg(counter.fetchAndAddRelaxed(1));
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), qtName_);
    db.setDatabaseName(file);
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
    if (!db.open()) {
        error_ = describe(db.lastError(), path);
        return false;
    }
    query_ = std::make_unique<QSqlQuery>(db);
    query_->setForwardOnly(true);
    if (!query_->prepare(QStringLiteral("PRAGMA data_version"))) {
        error_ = sqlError(*query_, path);
        return false;
    }
    return true;
}

qint64 ChangeWatch::version(const QString& path) {
    if (path != path_ || (!stmt_ && !query_)) {
        close();
        if (!open(path)) {
            close();
            return -1;
        }
        path_ = path;
    }
    qint64 v = -1;
    if (stmt_) {
        const int rc = sqlite3_step(stmt_);
        if (rc == SQLITE_ROW)
            v = sqlite3_column_int64(stmt_, 0);
        else
            error_ = describe(rc, QString::fromUtf8(sqlite3_errmsg(db_)), path);
        // Reset at once: a stepped statement would hold a read lock until
        // the next look and keep other programs' writers waiting.
        sqlite3_reset(stmt_);
    } else {
        if (query_->exec() && query_->next())
            v = query_->value(0).toLongLong();
        else
            error_ = sqlError(*query_, path);
        query_->finish();
    }
    return v;
}

} // namespace store
