#pragma once

#include "Currency.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>
#include <optional>

class QSqlQuery;
struct sqlite3;
struct sqlite3_stmt;

namespace store {

// The kinds of field a table can have. Text has a maximum length in
// characters (Unicode code points: an emoji counts once, as a teacher
// counts it); Currency is the fixed-point kind; Number holds integers or
// doubles; Date holds a calendar date.
enum class FieldKind { Text, Memo, Currency, Number, Date };

struct FieldDef {
    QString name;
    FieldKind kind = FieldKind::Text;
    int size = 255; // Text only: maximum length in characters
};

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

    bool isValid() const { return bool(conn_); }
    QString path() const;
    // The reason of the last failed call on this file (any handle of it).
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

    // All user tables, in creation order.
    QStringList tables() const;
    // The stored spelling of a table, matched without regard to case; empty
    // when there is no such table.
    QString findTable(const QString& name) const;
    bool hasTable(const QString& name) const { return !findTable(name).isEmpty(); }
    // Creates a table with the fields in the given order. Fails (false, with
    // lastError()) when a table of that name exists or the name is empty.
    bool CreateTable(const QString& name, const QList<FieldDef>& fields);
    QList<FieldDef> fields(const QString& table) const;
    // Writes one record (values by field position, checked as Update()
    // checks them) at a given place in the stored order: `storedKey` orders
    // records as Recordset::storedKey() does and must be free.
    bool insertRecord(const QString& table, const QList<QVariant>& values, qint64 storedKey);
    // Gives one field of a table a new definition, keeping every record, its
    // values and the stored order: the table is rebuilt in one transaction
    // (joined when one is open). The table goes to the end of tables().
    bool redefineField(const QString& table, const FieldDef& field);

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

    // Tables are read through the Qt driver's own sqlite3 handle with this
    // program's libsqlite3, which is only safe when both are one library;
    // the first connection checks that, and reads go through QSqlQuery when
    // they are not. Tests force the QSqlQuery path with this.
    static void setDriverReadsForTesting(bool on);
    static bool readsThroughRawHandle();

private:
    explicit Database(std::shared_ptr<Connection> c) : conn_(std::move(c)) {}
    std::shared_ptr<Connection> conn_;
};

// A cursor over all records of one table in stored (insertion) order.
//
// Reads come from a snapshot taken at open and at each Refresh(); this
// cursor's own writes update the snapshot at once, other cursors' writes
// show after Refresh(). Every Update() and Delete() is committed to the file
// before it returns.
class Recordset {
public:
    // Opens table `table` (matched without regard to case) of the database
    // at `path`. Returns null when the file or the table is missing or
    // unreadable, with a sentence in *error.
    static std::unique_ptr<Recordset> OpenTable(const QString& path, const QString& table,
                                                QString* error = nullptr);
    static std::unique_ptr<Recordset> OpenTable(const Database& db, const QString& table,
                                                QString* error = nullptr);

    ~Recordset();
    QString tableName() const { return table_; }
    Database database() const { return db_; }
    const QList<FieldDef>& fieldDefs() const { return fields_; }
    int fieldCount() const { return int(fields_.size()); }
    // Position of a field by name (without regard to case), or -1.
    int fieldIndex(const QString& name) const;

    bool Refresh();
    void MoveFirst();
    void MoveNext();
    // The store's EOF: past the last record (or the table is empty). The
    // C library owns the name EOF, hence the spelling.
    bool isEOF() const;
    int RecordCount() const { return liveCount_; }
    // Position of the current record among the live records (0-based).
    int position() const;
    // The key that orders the current record in the stored order (SQLite's
    // rowid); -1 when there is no current record.
    qint64 storedKey() const;

    // Field values of the current record (or of the pending AddNew/Edit
    // buffer). Text and Memo read as QString, Currency as store::Currency,
    // Number as qlonglong or double, Date as QDate; a never-written field
    // reads as a null QVariant. An unknown field or no current record reads
    // as null.
    QVariant Fields(const QString& name) const;
    QVariant Fields(int index) const;
    // A Currency field's value without going through a QVariant copy; nullopt
    // for null or another kind.
    std::optional<Currency> currency(int index) const;
    // The value as the program shows it: Currency in its shortest form,
    // dates as "2003-2-11", null as "".
    QString text(const QString& name) const;
    QString text(int index) const;

    // Writes into the AddNew/Edit buffer; returns false when no buffer is
    // open or the field is unknown. The value is checked at Update().
    bool SetField(const QString& name, const QVariant& value);
    bool SetField(int index, const QVariant& value);

    void AddNew();
    bool Edit(); // false when there is no current record
    void CancelUpdate();
    // Checks and writes the buffer. On a value that does not fit its field
    // (text longer than the field's size in characters, not a number or a
    // number out of the Currency range, not a date) nothing is written, the
    // record stays as it was and lastError() says which field and why.
    // The current record after an AddNew/Update is the one that was current
    // before (callers walking the table rely on it); the new record is the
    // last one.
    bool Update();
    // Removes the current record; the cursor stays on its place, so that
    // MoveNext() goes to the record after it.
    bool Delete();

    QString lastError() const { return error_; }

    // Checks a value against a field definition and gives the value to store
    // (Currency as its raw count, dates as ISO text). On failure returns
    // nullopt with a sentence in *why.
    static std::optional<QVariant> convertForStore(const FieldDef& def, const QVariant& value, QString* why);
    // Null never compares equal, as the store's comparisons with null are false.
    static bool same(const QVariant& a, const QVariant& b);

private:
    struct Row {
        qint64 rowid = 0;
        bool deleted = false;
    };
    // One stored value, kept as compact as the file holds it; it becomes a
    // QVariant only when a caller reads it.
    struct Cell {
        enum Type : quint8 { Null, Text, Int, Real, Money, Day };
        Type type = Null;
        union {
            qint64 i = 0;
            double d;
        };
        QString s;
    };
    static QVariant toVariant(const Cell& c);
    template <typename TextFn>
    static void storeCell(Cell& c, FieldKind kind, int type, qint64 integer, double real, TextFn text);
    static Cell toCell(const QVariant& v);
    // Values of row r, field i live at cells_[r * fieldCount() + i]: one
    // block for the whole table rather than one allocation per record.
    Cell* rowCells(int r) { return cells_.data() + qsizetype(r) * fields_.size(); }
    const Cell* rowCells(int r) const { return cells_.data() + qsizetype(r) * fields_.size(); }
    const Cell* currentCells() const;
    Recordset();
    QVariant fromStore(int index, const QVariant& stored) const;
    bool writeBuffer();

    Database db_;
    QString table_;
    QList<FieldDef> fields_;
    QList<Row> rows_;
    QList<Cell> cells_;
    int pos_ = 0;
    int liveCount_ = 0;
    enum class Mode { None, Add, Edit } mode_ = Mode::None;
    QList<QVariant> buffer_;
    QList<bool> touched_;
    QString error_;
    // The last append's statement, kept prepared (declared after db_, so it
    // goes before the connection does).
    QString insertSql_;
    std::unique_ptr<QSqlQuery> insertQuery_;
};

// Tells whether a database file has changed since the last look, whoever
// wrote it: SQLite's data_version as seen from a read-only connection of the
// watch's own (a connection never sees its own commits there, so the
// program's writes through the store count as well).
class ChangeWatch {
public:
    ChangeWatch() = default;
    ~ChangeWatch();
    ChangeWatch(const ChangeWatch&) = delete;
    ChangeWatch& operator=(const ChangeWatch&) = delete;
    // The file's change counter; -1 when it cannot be read.
    qint64 version(const QString& path);

private:
    void close();
    QString path_;
    ::sqlite3* db_ = nullptr;
    ::sqlite3_stmt* stmt_ = nullptr;
};

// Identifier quoting for SQLite: every identifier the program uses goes
// through here ("a""b").
QString quoteIdentifier(const QString& name);

} // namespace store
