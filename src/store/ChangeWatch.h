#pragma once

#include <QString>
#include <memory>

class QSqlQuery;
struct sqlite3;
struct sqlite3_stmt;

namespace store {

// Tells whether a database file has changed since the last look, whoever
// wrote it: SQLite's data_version as seen from a read-only connection of the
// watch's own (a connection never sees its own commits there, so the
// program's writes through the store count as well). Between looks the
// watch holds no lock on the file.
//
// The connection is opened with this program's libsqlite3 when that is the
// Qt driver's library too, else through Qt Sql: two copies of SQLite in one
// process must not both hold the same file, since closing it in one drops
// the other's locks (see Database::sqliteCheck()).
class ChangeWatch {
public:
    ChangeWatch();
    ~ChangeWatch();
    ChangeWatch(const ChangeWatch&) = delete;
    ChangeWatch& operator=(const ChangeWatch&) = delete;
    // The file's change counter; -1, with lastError(), when it cannot be read.
    qint64 version(const QString& path);
    QString lastError() const { return error_; }

private:
    bool open(const QString& path);
    void close();
    QString path_;
    QString error_;
    ::sqlite3* db_ = nullptr;
    ::sqlite3_stmt* stmt_ = nullptr;
    QString qtName_; // the Qt connection's name when looking through Qt Sql
    std::unique_ptr<QSqlQuery> query_;
};

} // namespace store
