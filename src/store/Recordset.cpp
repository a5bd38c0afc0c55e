#include "Recordset.h"

#include "Connection.h"

#include <QSqlDriver>
#include <QSqlRecord>
#include <cmath>
#include <limits>
#include <sqlite3.h>

namespace store {

using namespace detail;

std::unique_ptr<Recordset> Recordset::OpenTable(const QString& path, const QString& table, QString* error) {
    Database db = Database::OpenDatabase(path, error);
    if (!db.isValid()) return nullptr;
    return OpenTable(db, table, error);
}

std::unique_ptr<Recordset> Recordset::OpenTable(const Database& db, const QString& table, QString* error) {
    if (!db.isValid()) return nullptr;
    const QString stored = db.findTable(table);
    if (stored.isEmpty()) {
        if (error) *error = QStringLiteral("数据库“%1”中没有表“%2”。").arg(db.path(), table);
        return nullptr;
    }
    std::unique_ptr<Recordset> rs(new Recordset);
    rs->db_ = db;
    rs->table_ = stored;
    rs->fields_ = db.fields(stored);
    if (rs->fields_.isEmpty()) {
        if (error) *error = db.lastError();
        return nullptr;
    }
    if (!rs->Refresh()) {
        if (error) *error = rs->error_;
        return nullptr;
    }
    return rs;
}

Recordset::Recordset() = default;
Recordset::~Recordset() = default;

int Recordset::fieldIndex(const QString& name) const {
    for (int i = 0; i < fields_.size(); ++i)
        if (fields_[i].name == name) return i;
    for (int i = 0; i < fields_.size(); ++i)
        if (fields_[i].name.compare(name, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

QVariant Recordset::fromStore(int index, const QVariant& v) const {
    if (v.isNull()) return {};
    switch (fields_[index].kind) {
    case FieldKind::Text:
    case FieldKind::Memo:
        return v.toString();
    case FieldKind::Currency:
        return QVariant::fromValue(Currency::fromRaw(v.toLongLong()));
    case FieldKind::Number:
        if (v.typeId() == QMetaType::LongLong || v.typeId() == QMetaType::Int) return v.toLongLong();
        return v.toDouble();
    case FieldKind::Date:
        return QDate::fromString(v.toString(), Qt::ISODate);
    }
    return v;
}

// Decodes one stored value into its cell, the same for both read paths.
// `text` is only called for text-like fields.
template <typename TextFn>
void Recordset::storeCell(Cell& c, FieldKind kind, int type, qint64 integer, double real, TextFn text) {
    if (type == SQLITE_NULL) return;
    switch (kind) {
    case FieldKind::Currency:
        c.type = Cell::Money;
        c.i = type == SQLITE_FLOAT ? qint64(std::llround(real)) : integer;
        break;
    case FieldKind::Number:
        if (type == SQLITE_INTEGER) {
            c.type = Cell::Int;
            c.i = integer;
        } else {
            c.type = Cell::Real;
            c.d = real;
        }
        break;
    case FieldKind::Date: {
        const QDate d = QDate::fromString(text(), Qt::ISODate);
        if (d.isValid()) {
            c.type = Cell::Day;
            c.i = d.toJulianDay();
        }
        break;
    }
    default:
        c.type = Cell::Text;
        c.s = text();
    }
}

bool Recordset::Refresh() {
    CancelUpdate();
    QStringList cols{QStringLiteral("rowid")};
    for (const FieldDef& f : fields_)
        cols << quoteIdentifier(f.name);
    const QString sql =
        QStringLiteral("SELECT %1 FROM %2 ORDER BY rowid").arg(cols.join(u','), quoteIdentifier(table_));
    QSqlDatabase qdb = db_.connection()->db();
    if (!qdb.isOpen()) {
        error_ = QStringLiteral("数据库没有打开。");
        return false;
    }
    const QString& path = db_.connection()->path();
    const int n = int(fields_.size());
    rows_.clear();
    cells_.clear();
    liveCount_ = 0;
    pos_ = 0;
    auto addRow = [&](qint64 rowid) {
        rows_.append(Row{rowid, false});
        cells_.resize(cells_.size() + n);
        return cells_.data() + cells_.size() - n;
    };
    if (!Database::readsThroughRawHandle()) {
        QSqlQuery q(qdb);
        q.setForwardOnly(true);
        if (!q.exec(sql)) {
            error_ = sqlError(q, path);
            return false;
        }
        while (q.next()) {
            Cell* cells = addRow(q.value(0).toLongLong());
            for (int i = 0; i < n; ++i) {
                const QVariant v = q.value(i + 1);
                const int type = v.isNull()                          ? SQLITE_NULL
                                 : v.typeId() == QMetaType::LongLong ? SQLITE_INTEGER
                                 : v.typeId() == QMetaType::Int      ? SQLITE_INTEGER
                                 : v.typeId() == QMetaType::Double   ? SQLITE_FLOAT
                                                                     : SQLITE_TEXT;
                storeCell(cells[i], fields_[i].kind, type, v.toLongLong(), v.toDouble(),
                          [&] { return v.toString(); });
            }
        }
        if (q.lastError().isValid()) {
            error_ = sqlError(q, path);
            rows_.clear();
            cells_.clear();
            return false;
        }
        liveCount_ = int(rows_.size());
        return true;
    }
    // Reading a whole table is the hot path of every window: step the
    // driver's own SQLite handle rather than going through QVariant rows.
    const QVariant handle = qdb.driver()->handle();
    sqlite3* raw = handle.isValid() && qstrcmp(handle.typeName(), "sqlite3*") == 0
                       ? *static_cast<sqlite3* const*>(handle.data())
                       : nullptr;
    if (!raw) {
        error_ = QStringLiteral("数据库没有打开。");
        return false;
    }
    sqlite3_stmt* st = nullptr;
    const QByteArray utf8 = sql.toUtf8();
    if (sqlite3_prepare_v2(raw, utf8.constData(), int(utf8.size()), &st, nullptr) != SQLITE_OK) {
        error_ = describe(sqlite3_errcode(raw), QString::fromUtf8(sqlite3_errmsg(raw)), path);
        return false;
    }
    {
        // Size the blocks once: growing them row by row moves every value.
        sqlite3_stmt* count = nullptr;
        const QByteArray c = QStringLiteral("SELECT count(*) FROM %1").arg(quoteIdentifier(table_)).toUtf8();
        if (sqlite3_prepare_v2(raw, c.constData(), int(c.size()), &count, nullptr) == SQLITE_OK &&
            sqlite3_step(count) == SQLITE_ROW) {
            const qint64 rows = sqlite3_column_int64(count, 0);
            rows_.reserve(rows);
            cells_.reserve(rows * n);
        }
        sqlite3_finalize(count);
    }
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        Cell* cells = addRow(sqlite3_column_int64(st, 0));
        for (int i = 0; i < n; ++i) {
            const int col = i + 1;
            const int type = sqlite3_column_type(st, col);
            const FieldKind kind = fields_[i].kind;
            const bool numeric = kind == FieldKind::Currency || kind == FieldKind::Number;
            storeCell(cells[i], kind, type, numeric ? sqlite3_column_int64(st, col) : 0,
                      numeric && type == SQLITE_FLOAT ? sqlite3_column_double(st, col) : 0.0, [&] {
                          const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(st, col));
                          return QString::fromUtf8(text, sqlite3_column_bytes(st, col));
                      });
        }
    }
    sqlite3_finalize(st);
    if (rc != SQLITE_DONE) {
        error_ = describe(rc, QString::fromUtf8(sqlite3_errstr(rc)), path);
        rows_.clear();
        cells_.clear();
        return false;
    }
    liveCount_ = int(rows_.size());
    return true;
}

void Recordset::MoveFirst() {
    CancelUpdate();
    pos_ = 0;
    while (pos_ < rows_.size() && rows_[pos_].deleted)
        ++pos_;
}

void Recordset::MoveNext() {
    CancelUpdate();
    if (pos_ < rows_.size()) ++pos_;
    while (pos_ < rows_.size() && rows_[pos_].deleted)
        ++pos_;
}

bool Recordset::isEOF() const {
    return pos_ >= rows_.size();
}

int Recordset::position() const {
    int n = 0;
    for (int i = 0; i < pos_ && i < rows_.size(); ++i)
        if (!rows_[i].deleted) ++n;
    return n;
}

qint64 Recordset::storedKey() const {
    return pos_ < rows_.size() && !rows_[pos_].deleted ? rows_[pos_].rowid : -1;
}

const Recordset::Cell* Recordset::currentCells() const {
    if (pos_ >= rows_.size() || rows_[pos_].deleted) return nullptr;
    return rowCells(pos_);
}

QVariant Recordset::toVariant(const Cell& c) {
    switch (c.type) {
    case Cell::Null:
        return {};
    case Cell::Text:
        return c.s;
    case Cell::Int:
        return qlonglong(c.i);
    case Cell::Real:
        return c.d;
    case Cell::Money:
        return QVariant::fromValue(Currency::fromRaw(c.i));
    case Cell::Day:
        return QDate::fromJulianDay(c.i);
    }
    return {};
}

Recordset::Cell Recordset::toCell(const QVariant& v) {
    Cell c;
    if (v.isNull()) return c;
    if (v.metaType() == QMetaType::fromType<Currency>()) {
        c.type = Cell::Money;
        c.i = static_cast<const Currency*>(v.constData())->raw();
    } else if (v.typeId() == QMetaType::LongLong || v.typeId() == QMetaType::Int) {
        c.type = Cell::Int;
        c.i = v.toLongLong();
    } else if (v.typeId() == QMetaType::Double) {
        c.type = Cell::Real;
        c.d = v.toDouble();
    } else if (v.typeId() == QMetaType::QDate) {
        c.type = Cell::Day;
        c.i = v.toDate().toJulianDay();
    } else {
        c.type = Cell::Text;
        c.s = v.toString();
    }
    return c;
}

QVariant Recordset::Fields(int index) const {
    if (index < 0 || index >= fields_.size()) return {};
    if (mode_ != Mode::None) return buffer_[index];
    const Cell* c = currentCells();
    return c ? toVariant(c[index]) : QVariant();
}

QVariant Recordset::Fields(const QString& name) const {
    return Fields(fieldIndex(name));
}

std::optional<Currency> Recordset::currency(int index) const {
    if (index < 0 || index >= fields_.size()) return std::nullopt;
    if (mode_ != Mode::None) {
        const QVariant& v = buffer_[index];
        if (v.metaType() != QMetaType::fromType<Currency>()) return std::nullopt;
        return *static_cast<const Currency*>(v.constData());
    }
    const Cell* c = currentCells();
    if (!c || c[index].type != Cell::Money) return std::nullopt;
    return Currency::fromRaw(c[index].i);
}

QString Recordset::text(int index) const {
    const QVariant v = Fields(index);
    if (v.isNull()) return {};
    if (v.canConvert<Currency>() && v.typeId() == qMetaTypeId<Currency>())
        return v.value<Currency>().toString();
    if (v.typeId() == QMetaType::QDate) {
        const QDate d = v.toDate();
        return QStringLiteral("%1-%2-%3").arg(d.year()).arg(d.month()).arg(d.day());
    }
    if (v.typeId() == QMetaType::Double) return QString::number(v.toDouble(), 'g', 15);
    return v.toString();
}

QString Recordset::text(const QString& name) const {
    return text(fieldIndex(name));
}

bool Recordset::SetField(int index, const QVariant& value) {
    if (mode_ == Mode::None) {
        error_ = QStringLiteral("没有正在编辑的记录。");
        return false;
    }
    if (index < 0 || index >= buffer_.size()) {
        error_ = QStringLiteral("表“%1”中没有第 %2 个字段。").arg(table_).arg(index + 1);
        return false;
    }
    buffer_[index] = value;
    touched_[index] = true;
    return true;
}

bool Recordset::SetField(const QString& name, const QVariant& value) {
    const int index = fieldIndex(name);
    if (index < 0 && mode_ != Mode::None) {
        error_ = QStringLiteral("表“%1”中没有字段“%2”。").arg(table_, name);
        return false;
    }
    return SetField(index, value);
}

void Recordset::AddNew() {
    mode_ = Mode::Add;
    buffer_ = QList<QVariant>(fields_.size());
    touched_ = QList<bool>(fields_.size(), false);
}

bool Recordset::Edit() {
    CancelUpdate();
    const Cell* c = currentCells();
    if (!c) {
        error_ = QStringLiteral("没有当前记录。");
        return false;
    }
    buffer_.clear();
    buffer_.reserve(fields_.size());
    for (int i = 0; i < fields_.size(); ++i)
        buffer_.append(toVariant(c[i]));
    touched_ = QList<bool>(fields_.size(), false);
    mode_ = Mode::Edit;
    return true;
}

void Recordset::CancelUpdate() {
    mode_ = Mode::None;
    buffer_.clear();
    touched_.clear();
}

namespace {
// Characters as a reader counts them: a surrogate pair (an emoji, a rare
// Han character) is one.
qsizetype characterCount(const QString& s) {
    qsizetype n = 0;
    for (qsizetype i = 0; i < s.size(); ++i, ++n)
        if (s[i].isHighSurrogate() && i + 1 < s.size() && s[i + 1].isLowSurrogate()) ++i;
    return n;
}
} // namespace

std::optional<QVariant> Recordset::convertForStore(const FieldDef& def, const QVariant& value, QString* why) {
    auto fail = [&](const QString& s) -> std::optional<QVariant> {
        if (why) *why = s;
        return std::nullopt;
    };
    if (value.isNull() || !value.isValid()) return QVariant();
    const bool isCurrency = value.typeId() == qMetaTypeId<Currency>();
    switch (def.kind) {
    case FieldKind::Text:
    case FieldKind::Memo: {
        QString s = isCurrency ? value.value<Currency>().toString() : value.toString();
        if (def.kind == FieldKind::Text && characterCount(s) > def.size)
            return fail(QStringLiteral("字段“%1”最多只能保存 %2 个字符。").arg(def.name).arg(def.size));
        return QVariant(s);
    }
    case FieldKind::Currency: {
        std::optional<Currency> c;
        if (isCurrency)
            c = value.value<Currency>();
        else if (value.typeId() == QMetaType::QString)
            c = Currency::parse(value.toString());
        else if (value.typeId() == QMetaType::Double || value.typeId() == QMetaType::Float)
            c = Currency::fromDouble(value.toDouble());
        else if (value.typeId() == QMetaType::Int || value.typeId() == QMetaType::LongLong ||
                 value.typeId() == QMetaType::UInt || value.typeId() == QMetaType::Short ||
                 value.typeId() == QMetaType::ULongLong) {
            // Whole numbers beyond the count's range would wrap in fromInt.
            constexpr qint64 limit = std::numeric_limits<qint64>::max() / Currency::Scale;
            const bool unsignedValue = value.typeId() == QMetaType::ULongLong;
            const qint64 whole = unsignedValue
                                     ? qint64(qMin<qulonglong>(value.toULongLong(), quint64(limit) + 1))
                                     : value.toLongLong();
            if (whole >= -limit && whole <= limit) c = Currency::fromInt(whole);
        }
        if (!c) return fail(QStringLiteral("字段“%1”只能保存数字。").arg(def.name));
        return QVariant(qlonglong(c->raw()));
    }
    case FieldKind::Number: {
        if (isCurrency) return QVariant(value.value<Currency>().toDouble());
        if (value.typeId() == QMetaType::Int || value.typeId() == QMetaType::LongLong ||
            value.typeId() == QMetaType::Short || value.typeId() == QMetaType::UInt)
            return QVariant(value.toLongLong());
        if (value.typeId() == QMetaType::Double || value.typeId() == QMetaType::Float) {
            const double d = value.toDouble();
            if (!std::isfinite(d)) return fail(QStringLiteral("字段“%1”只能保存数字。").arg(def.name));
            return QVariant(d);
        }
        const QString s = value.toString().trimmed();
        bool ok = false;
        const qlonglong n = s.toLongLong(&ok);
        if (ok) return QVariant(n);
        const double d = s.toDouble(&ok);
        if (ok && std::isfinite(d)) return QVariant(d);
        return fail(QStringLiteral("字段“%1”只能保存数字。").arg(def.name));
    }
    case FieldKind::Date: {
        QDate d;
        if (value.typeId() == QMetaType::QDate)
            d = value.toDate();
        else if (value.typeId() == QMetaType::QDateTime)
            d = value.toDateTime().date();
        else {
            const QString s = value.toString().trimmed();
            d = QDate::fromString(s, QStringLiteral("yyyy-M-d"));
            if (!d.isValid()) d = QDate::fromString(s, Qt::ISODate);
        }
        if (!d.isValid()) return fail(QStringLiteral("字段“%1”只能保存日期。").arg(def.name));
        return QVariant(d.toString(Qt::ISODate));
    }
    }
    return fail(QStringLiteral("未知的字段类型。"));
}

bool Recordset::same(const QVariant& a, const QVariant& b) {
    if (a.isNull() || b.isNull()) return false;
    return a == b;
}

bool Recordset::Update() {
    if (mode_ == Mode::None) {
        error_ = QStringLiteral("没有正在编辑的记录。");
        return false;
    }
    const bool ok = writeBuffer();
    CancelUpdate();
    return ok;
}

bool Recordset::writeBuffer() {
    if (db_.isReadOnly()) {
        error_ = db_.connection()->writeRefusal();
        return false;
    }
    // Check every written field first: a refused value writes nothing.
    QStringList cols;
    QList<QVariant> stored;
    QList<int> indexes;
    for (int i = 0; i < fields_.size(); ++i) {
        if (!touched_[i]) continue;
        QString why;
        auto v = convertForStore(fields_[i], buffer_[i], &why);
        if (!v) {
            error_ = why;
            return false;
        }
        cols << quoteIdentifier(fields_[i].name);
        stored << *v;
        indexes << i;
    }
    QSqlQuery q(db_.connection()->db());
    if (mode_ == Mode::Add) {
        QString sql;
        if (cols.isEmpty()) {
            sql = QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(quoteIdentifier(table_));
        } else {
            QStringList marks;
            for (qsizetype i = 0; i < cols.size(); ++i)
                marks << QStringLiteral("?");
            sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                      .arg(quoteIdentifier(table_), cols.join(u','), marks.join(u','));
        }
        // Appends in a row (a batch of students) reuse one prepared statement.
        if (!insertQuery_ || insertSql_ != sql) {
            insertQuery_ = std::make_unique<QSqlQuery>(db_.connection()->db());
            insertSql_.clear();
            if (!insertQuery_->prepare(sql)) {
                error_ = sqlError(*insertQuery_, db_.path());
                insertQuery_.reset();
                return false;
            }
            insertSql_ = sql;
        }
        QSqlQuery& ins = *insertQuery_;
        for (int k = 0; k < stored.size(); ++k)
            ins.bindValue(k, stored[k]);
        if (!ins.exec()) {
            error_ = sqlError(ins, db_.path());
            return false;
        }
        Row r;
        r.rowid = ins.lastInsertId().toLongLong();
        rows_.append(r);
        cells_.resize(cells_.size() + fields_.size());
        Cell* cells = rowCells(int(rows_.size()) - 1);
        for (int k = 0; k < indexes.size(); ++k)
            cells[indexes[k]] = toCell(fromStore(indexes[k], stored[k]));
        ++liveCount_;
        db_.connection()->afterCommit();
        return true;
    }
    // Edit
    if (pos_ >= rows_.size() || rows_[pos_].deleted) {
        error_ = QStringLiteral("没有当前记录。");
        return false;
    }
    if (cols.isEmpty()) return true;
    QStringList sets;
    for (const QString& c : cols)
        sets << c + QStringLiteral("=?");
    if (!q.prepare(
            QStringLiteral("UPDATE %1 SET %2 WHERE rowid=?").arg(quoteIdentifier(table_), sets.join(u',')))) {
        error_ = sqlError(q, db_.path());
        return false;
    }
    for (const QVariant& v : stored)
        q.addBindValue(v);
    q.addBindValue(rows_[pos_].rowid);
    if (!q.exec()) {
        error_ = sqlError(q, db_.path());
        return false;
    }
    if (q.numRowsAffected() == 0) {
        error_ = QStringLiteral("记录已被删除。");
        return false;
    }
    Cell* cells = rowCells(pos_);
    for (int k = 0; k < indexes.size(); ++k)
        cells[indexes[k]] = toCell(fromStore(indexes[k], stored[k]));
    db_.connection()->afterCommit();
    return true;
}

bool Recordset::Delete() {
    CancelUpdate();
    if (db_.isReadOnly()) {
        error_ = db_.connection()->writeRefusal();
        return false;
    }
    if (pos_ >= rows_.size() || rows_[pos_].deleted) {
        error_ = QStringLiteral("没有当前记录。");
        return false;
    }
    QSqlQuery q(db_.connection()->db());
    if (!q.prepare(QStringLiteral("DELETE FROM %1 WHERE rowid=?").arg(quoteIdentifier(table_)))) {
        error_ = sqlError(q, db_.path());
        return false;
    }
    q.addBindValue(rows_[pos_].rowid);
    if (!q.exec()) {
        error_ = sqlError(q, db_.path());
        return false;
    }
    rows_[pos_].deleted = true;
    --liveCount_;
    db_.connection()->afterCommit();
    return true;
}

} // namespace store
