#include "Backup.h"

#include "Connection.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QThread>
#include <sqlite3.h>

namespace store {

using namespace detail;

namespace {

// One raw connection, closed whatever happens.
struct RawDb {
    sqlite3* db = nullptr;
    ~RawDb() { sqlite3_close(db); }
    int open(const QString& path, int flags) {
        return sqlite3_open_v2(QFile::encodeName(path).constData(), &db, flags, nullptr);
    }
    QString message(int rc) const { return QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(rc)); }
};

bool fail(QString* error, const QString& sentence) {
    if (error) *error = sentence;
    return false;
}

// Why a copy failed, naming the file at fault: a full disk, a folder that
// cannot be written or a write error is the copy's; anything else (a locked,
// damaged or unreadable database) is the database's.
QString copyFailure(int extended, const QString& source, const QString& target) {
    switch (extended & 0xff) {
    case SQLITE_FULL:
        return QStringLiteral("磁盘已满，无法写入备份文件“%1”。").arg(target);
    case SQLITE_CANTOPEN:
    case SQLITE_READONLY:
    case SQLITE_PERM:
        return QStringLiteral("无法写入备份文件“%1”（文件夹可能不允许写入）。").arg(target);
    case SQLITE_IOERR:
        if (extended != SQLITE_IOERR_READ && extended != SQLITE_IOERR_SHORT_READ)
            return QStringLiteral("写入备份文件“%1”时磁盘出错。").arg(target);
        break;
    default:
        break;
    }
    return describe(extended, QString::fromUtf8(sqlite3_errstr(extended)), source);
}

} // namespace

bool backupDatabase(const QString& source, const QString& target, QString* error) {
    if (!QFileInfo(source).isFile()) return fail(error, QStringLiteral("找不到数据库文件“%1”。").arg(source));
    const QString part = target + QStringLiteral(".part");
    QFile::remove(part);
    int rc = SQLITE_OK;
    {
        RawDb from;
        RawDb to;
        rc = from.open(source, SQLITE_OPEN_READONLY);
        if (rc != SQLITE_OK) return fail(error, describe(rc, from.message(rc), source));
        rc = to.open(part, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
        if (rc != SQLITE_OK) {
            const QString why = copyFailure(rc, source, target);
            QFile::remove(part);
            return fail(error, why);
        }
        // Extended codes tell a failed read of the database from a failed
        // write of the copy.
        sqlite3_extended_result_codes(from.db, 1);
        sqlite3_extended_result_codes(to.db, 1);
        sqlite3_backup* b = sqlite3_backup_init(to.db, "main", from.db, "main");
        if (!b) {
            const QString why = copyFailure(sqlite3_extended_errcode(to.db), source, target);
            QFile::remove(part);
            return fail(error, why);
        }
        // The whole file in one step; a writer of another program holding
        // the file only makes us wait a little (at most about five seconds).
        for (int tries = 0;; ++tries) {
            rc = sqlite3_backup_step(b, -1);
            if ((rc != SQLITE_BUSY && rc != SQLITE_LOCKED) || tries >= 100) break;
            QThread::msleep(50);
        }
        const int finished = sqlite3_backup_finish(b);
        if (rc == SQLITE_DONE) rc = finished;
        if (rc != SQLITE_OK && rc != SQLITE_DONE) {
            const QString why = copyFailure(rc, source, target);
            sqlite3_close(to.db);
            to.db = nullptr;
            QFile::remove(part);
            return fail(error, why);
        }
    }
    QFile::remove(target);
    if (!QFile::rename(part, target)) {
        QFile::remove(part);
        return fail(error, QStringLiteral("备份文件“%1”无法写入。").arg(target));
    }
    return true;
}

bool databaseInUse(const QString& path) {
    return bool(Connection::registry().value(QFileInfo(path).absoluteFilePath()).lock());
}

bool restoreDatabase(const QString& backup, const QString& target, QString* error) {
    if (databaseInUse(target))
        return fail(error, QStringLiteral("数据库文件“%1”正在使用中，请先关闭使用它的窗口！").arg(target));
    {
        // A copy that is not a sound database never replaces the teacher's file.
        RawDb check;
        int rc = check.open(backup, SQLITE_OPEN_READONLY);
        sqlite3_stmt* st = nullptr;
        QString verdict;
        if (rc == SQLITE_OK) rc = sqlite3_prepare_v2(check.db, "PRAGMA quick_check", -1, &st, nullptr);
        if (rc == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW)
            verdict = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
        sqlite3_finalize(st);
        if (verdict != QLatin1String("ok"))
            return fail(error, QStringLiteral("备份文件“%1”已经损坏，不能用来恢复！").arg(backup));
    }
    QFile in(backup);
    if (!in.open(QIODevice::ReadOnly))
        return fail(error, QStringLiteral("备份文件“%1”无法读取：%2").arg(backup, in.errorString()));
    QSaveFile out(target);
    out.setDirectWriteFallback(false);
    if (!out.open(QIODevice::WriteOnly))
        return fail(error, QStringLiteral("数据库文件“%1”无法写入：%2").arg(target, out.errorString()));
    char buffer[1 << 16];
    for (qint64 n; (n = in.read(buffer, sizeof buffer)) > 0;)
        if (out.write(buffer, n) != n) break;
    if (in.error() != QFile::NoError || !out.commit())
        return fail(error, QStringLiteral("数据库文件“%1”无法写入：%2").arg(target, out.errorString()));
    for (const char* suffix : {"-journal", "-wal", "-shm"})
        QFile::remove(target + QLatin1String(suffix));
    return true;
}

} // namespace store
