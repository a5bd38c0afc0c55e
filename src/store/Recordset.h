#pragma once

#include "Currency.h"
#include "Database.h"
#include "FieldDef.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QVariant>
#include <memory>
#include <optional>

class QSqlQuery;

namespace store {

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

    // Writes into the AddNew/Edit buffer; returns false (with lastError())
    // when no buffer is open or the field is unknown. The value is checked
    // at Update().
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

    // The reason of this cursor's last failed call (a refused value, a
    // write the file did not take, a field that is not there).
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

} // namespace store
