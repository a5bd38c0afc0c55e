#include "Connection.h"

#include <QSqlDriver>
#include <dlfcn.h>
#include <sqlite3.h>

namespace store {

namespace {

// Set by Database::setDriverReadsForTesting: read through Qt Sql even when
// the driver's handle could be stepped.
bool g_forceDriverReads = false;

// The library the QSQLITE plugin steps hands out the very version string
// ours does: dlsym from the plugin's handle finds sqlite3_libversion in the
// plugin itself or the first of its dependencies that has it, which is
// libsqlite3 when the plugin links the system library, and something else
// when it carries a copy of its own.
bool pluginUsesOurLibrary(const QSqlDriver* driver) {
    Dl_info info{};
    if (!driver || !dladdr(static_cast<const void*>(driver->metaObject()), &info) || !info.dli_fname)
        return false;
    void* plugin = dlopen(info.dli_fname, RTLD_LAZY | RTLD_NOLOAD);
    if (!plugin) return false;
    using VersionFn = const char* (*)();
    const auto theirs = reinterpret_cast<VersionFn>(dlsym(plugin, "sqlite3_libversion"));
    const bool same = theirs && theirs() == sqlite3_libversion();
    dlclose(plugin);
    return same;
}

// Asks the driver's own handle for its version through our library; only
// called once the library is known to be the same one.
QString versionThroughHandle(const QSqlDatabase& db) {
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0) return {};
    sqlite3* raw = *static_cast<sqlite3* const*>(handle.data());
    sqlite3_stmt* st = nullptr;
    QString version;
    if (raw && sqlite3_prepare_v2(raw, "SELECT sqlite_version()", -1, &st, nullptr) == SQLITE_OK &&
        sqlite3_step(st) == SQLITE_ROW)
        version = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
    sqlite3_finalize(st);
    return version;
}

Database::SqliteCheck runCheck() {
    Database::SqliteCheck c;
    c.programVersion = QString::fromLatin1(sqlite3_libversion());
    const QString name = QStringLiteral("veltrano-sqlite-check");
    QString why;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(QStringLiteral(":memory:"));
        if (!db.open()) {
            why = QStringLiteral("the driver opens no database (%1)").arg(db.lastError().text());
        } else {
            {
                QSqlQuery q(db);
                if (q.exec(QStringLiteral("SELECT sqlite_version()")) && q.next())
                    c.driverVersion = q.value(0).toString();
            }
            if (c.driverVersion != c.programVersion)
                why = QStringLiteral("the versions differ");
            else if (!pluginUsesOurLibrary(db.driver()))
                why = QStringLiteral("the driver carries a copy of its own");
            else if (versionThroughHandle(db) != c.programVersion)
                why = QStringLiteral("the driver's handle does not answer through this program's library");
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(name);
    c.sameLibrary = why.isEmpty();
    if (!c.sameLibrary) {
        c.note =
            QStringLiteral("Qt's SQLite driver (SQLite %1) and this program's libsqlite3 (SQLite %2) are "
                           "not one library: %3; tables are read through Qt Sql instead of the "
                           "driver's handle")
                .arg(c.driverVersion.isEmpty() ? QStringLiteral("?") : c.driverVersion, c.programVersion,
                     why);
        qWarning("store: %s", qPrintable(c.note));
    }
    return c;
}

} // namespace

const Database::SqliteCheck& Database::sqliteCheck() {
    static const SqliteCheck check = runCheck();
    return check;
}

bool Database::readsThroughRawHandle() {
    return sqliteCheck().sameLibrary && !g_forceDriverReads;
}

void Database::setDriverReadsForTesting(bool on) {
    g_forceDriverReads = on;
}

} // namespace store
