#pragma once

#include "FieldDef.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>

namespace store {

class Connection;

// One database file. Opening never creates a file unless asked to; a file
// that is not a database this program can open is reported, never touched.
//
// Every confirmed change is in the database file itself: the file is kept
// with a rollback journal and a full sync, so a copy of the file alone (to a
// USB stick, say) holds all of it while the program runs and after it ends.
// A file that another program keeps in write-ahead mode cannot be switched
// over; then the log is folded back into the file after every commit
// (see walFallback()).
//
// A file that cannot be written (a read-only file, or one in a folder that
// does not allow writing, where no journal can be made) is opened read-only:
// readOnlyNote() says why, and every write fails with a Chinese sentence in
// lastError() instead of reaching SQLite.
//
// Every call that fails returns false (an empty list, an invalid handle)
// and leaves its reason in lastError(); none fails without one.
class Database {
public:
    Database() = default;
    // Opens an existing file. On failure returns an invalid Database and puts
    // a sentence naming the file into *error (a folder in the file's place,
    // a missing, locked, foreign or damaged file each have their own).
    static Database OpenDatabase(const QString& path, QString* error = nullptr);
    // Creates the file when it does not exist, then opens it. A 0-byte file
    // is an empty database and is opened as one.
    static Database Create(const QString& path, QString* error = nullptr);

    // How long a write waits for another program's lock before it fails
    // (5 s). Applies to files opened afterwards.
    static int busyTimeoutMs();
    static void setBusyTimeoutMs(int ms);

    bool isValid() const { return bool(conn_); }
    QString path() const;
    // The reason of the last failed call through any Database handle of this
    // file (a Recordset keeps its own, in Recordset::lastError()).
    QString lastError() const;
    // Opened read-only, and the sentence to show the user about it (naming
    // the file); empty when the file can be written.
    bool isReadOnly() const;
    QString readOnlyNote() const;
    // The file stays in write-ahead mode because another connection held it
    // at open; every commit is followed by a checkpoint. (While another
    // program is reading, a checkpoint may not finish; the change is safe in
    // the log and reaches the file at the next commit or at close.)
    bool walFallback() const;

    // All user tables, in creation order; empty, with lastError(), when the
    // file's list of tables cannot be read.
    QStringList tables() const;
    // The stored spelling of a table, matched without regard to case; empty
    // when there is no such table.
    QString findTable(const QString& name) const;
    bool hasTable(const QString& name) const { return !findTable(name).isEmpty(); }
    // Creates a table with the fields in the given order. Fails (false, with
    // lastError()) when a table of that name exists or the name is empty.
    bool CreateTable(const QString& name, const QList<FieldDef>& fields);
    // The fields of a table in stored order; empty, with lastError(), when
    // there is no such table or its definition cannot be read.
    QList<FieldDef> fields(const QString& table) const;
    // Writes one record (values by field position, checked as Update()
    // checks them) at a given place in the stored order: `storedKey` orders
    // records as Recordset::storedKey() does and must be free.
    bool insertRecord(const QString& table, const QList<QVariant>& values, qint64 storedKey);
    // Gives one field of a table a new definition, keeping every record, its
    // values and the stored order: the table is rebuilt in one transaction
    // (joined when one is open; a failure then leaves the caller's
    // transaction to be rolled back). The table goes to the end of tables().
    bool redefineField(const QString& table, const FieldDef& field);

    // Adds a field at the end of a table; every record reads null in it and
    // the stored order is kept. Fails (false, with lastError()) when the
    // table is missing or already has a field of that name.
    bool addField(const QString& table, const FieldDef& field);

    // A write transaction around several updates: all of them or none.
    // Each returns false with the reason in lastError() when it fails, and
    // no call leaves a transaction open behind a failure: a COMMIT that
    // fails (the file locked by another program, the disk full) is rolled
    // back, so a later write is never silently part of a transaction that
    // will not be committed. A failed beginTransaction() opened nothing:
    // do not write on as though it had. After a failed commit, a cursor
    // that wrote in the transaction still shows those records until its
    // Refresh().
    bool beginTransaction();
    bool commit();
    bool rollback();

    std::shared_ptr<Connection> connection() const { return conn_; }

    // Tables are read by stepping the Qt driver's own sqlite3 handle with
    // this program's libsqlite3. That is only sound when the QSQLITE plugin
    // and this program use one and the same library: two copies in one
    // process would disagree about the handle's layout and about the file's
    // locks. The check runs once, when the first file is opened (or the
    // first ChangeWatch looks):
    //  - the plugin's own sqlite3_libversion() hands out the very string
    //    ours does (one library, one copy of its data; an equal version
    //    number from a second copy is not enough),
    //  - "select sqlite_version()" through Qt Sql gives our version, and
    //  - the driver's handle answers the same question through our library.
    // When any of them fails, the raw path is refused for the whole run:
    // tables are read through QSqlQuery and ChangeWatch looks through a Qt
    // connection, and a warning naming both versions is logged once.
    struct SqliteCheck {
        QString driverVersion;  // "3.40.1" as Qt's driver reports it; empty if it gave none
        QString programVersion; // sqlite3_libversion() of this program
        bool sameLibrary = false;
        QString note; // why the raw path is refused, naming both versions; empty when it is used
    };
    static const SqliteCheck& sqliteCheck();
    // Whether tables are read through the driver's handle now. Tests force
    // the Qt Sql paths (of Recordset and of a ChangeWatch opened after it)
    // with setDriverReadsForTesting(true).
    static bool readsThroughRawHandle();
    static void setDriverReadsForTesting(bool on);

private:
    explicit Database(std::shared_ptr<Connection> c) : conn_(std::move(c)) {}
    std::shared_ptr<Connection> conn_;
};

} // namespace store
