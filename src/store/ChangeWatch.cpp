#include "Connection.h"

#include <QFileInfo>
#include <sqlite3.h>

namespace store {

using namespace detail;

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

} // namespace store
