#include "StatementTable.h"

#include "store/Recordset.h"

#include <cmath>

namespace shell {

std::optional<qint64> wholeNumber(const QString& text) {
    const QString t = text.trimmed();
    bool ok = false;
    const qint64 n = t.toLongLong(&ok);
    if (ok) return n;
    const double d = t.toDouble(&ok);
    if (ok && std::isfinite(d) && d == std::floor(d) && std::fabs(d) < 9.0e15) return qint64(d);
    return std::nullopt;
}

StatementTable::~StatementTable() = default;

std::unique_ptr<StatementTable> StatementTable::open(const QString& dbPath, const QString& table,
                                                     QString* error) {
    std::unique_ptr<StatementTable> t(new StatementTable);
    t->rs_ = store::Recordset::OpenTable(dbPath, table, error);
    if (!t->rs_) return nullptr;
    store::Recordset& rs = *t->rs_;
    struct Need {
        const char16_t* name;
        int* index;
    };
    const Need needed[] = {
        {u"类别", &t->category_}, {u"标题", &t->title_}, {u"内容", &t->text_}, {u"序号", &t->number_}};
    for (const Need& n : needed) {
        *n.index = rs.fieldIndex(QString::fromUtf16(n.name));
        if (*n.index < 0) {
            if (error)
                *error = QStringLiteral("数据库“%1”的表“%2”缺少字段“%3”，无法作为语库使用。")
                             .arg(dbPath, rs.tableName(), QString::fromUtf16(n.name));
            return nullptr;
        }
    }
    t->month_ = rs.fieldIndex(QStringLiteral("月份"));
    t->week_ = rs.fieldIndex(QStringLiteral("周别"));
    t->rows_.reserve(rs.RecordCount());
    for (rs.MoveFirst(); !rs.isEOF(); rs.MoveNext()) {
        t->rows_.append(t->readCurrent());
        if (const auto& n = t->rows_.last().number) t->largest_ = qMax(t->largest_, *n);
    }
    return t;
}

QString StatementTable::tableName() const {
    return rs_->tableName();
}

int StatementTable::fieldSize(const QString& field) const {
    const int i = rs_->fieldIndex(field);
    if (i < 0) return 0;
    const store::FieldDef& f = rs_->fieldDefs()[i];
    return f.kind == store::FieldKind::Text ? f.size : 0;
}

Statement StatementTable::readCurrent() const {
    const store::Recordset& rs = *rs_;
    Statement s;
    s.category = rs.text(category_);
    s.title = rs.text(title_);
    s.text = rs.text(text_);
    s.numberText = rs.text(number_);
    const QVariant n = rs.Fields(number_);
    if (n.typeId() == QMetaType::LongLong || n.typeId() == QMetaType::Int)
        s.number = n.toLongLong();
    else if (!n.isNull())
        s.number = wholeNumber(s.numberText);
    if (month_ >= 0) s.month = rs.Fields(month_);
    if (week_ >= 0) s.week = rs.Fields(week_);
    return s;
}

qint64 StatementTable::nextNumber() const {
    return largest_ + 1;
}

int StatementTable::findNumber(qint64 number, int from) const {
    for (int i = qMax(0, from); i < rows_.size(); ++i)
        if (rows_[i].number == number) return i;
    return -1;
}

bool StatementTable::moveTo(int row) {
    if (row < 0 || row >= rows_.size()) return false;
    rs_->MoveFirst();
    for (int i = 0; i < row && !rs_->isEOF(); ++i)
        rs_->MoveNext();
    return !rs_->isEOF();
}

Outcome StatementTable::append(const QString& category, const QString& title, const QString& text,
                               const QVariant& month, const QVariant& week) {
    store::Recordset& rs = *rs_;
    const qint64 number = nextNumber();
    rs.AddNew();
    rs.SetField(category_, category);
    rs.SetField(title_, title);
    rs.SetField(text_, text);
    rs.SetField(number_, number);
    if (month_ >= 0 && !month.isNull()) rs.SetField(month_, month);
    if (week_ >= 0 && !week.isNull()) rs.SetField(week_, week);
    if (!rs.Update()) return Outcome::storeFailed(rs.lastError());
    // The new record is the last one; read it back as stored.
    const int current = rs.position();
    rs.MoveFirst();
    for (int i = 0; i < rows_.size(); ++i)
        rs.MoveNext();
    if (!rs.isEOF()) rows_.append(readCurrent());
    largest_ = qMax(largest_, number);
    if (current >= 0) moveTo(current);
    return Outcome::done();
}

Outcome StatementTable::update(int row, const QString& text, const std::optional<QString>& title) {
    if (!moveTo(row)) return Outcome::fail(Reason::NotFound);
    store::Recordset& rs = *rs_;
    if (!rs.Edit()) return Outcome::storeFailed(rs.lastError());
    rs.SetField(text_, text);
    if (title) rs.SetField(title_, *title);
    if (!rs.Update()) return Outcome::storeFailed(rs.lastError());
    rows_[row] = readCurrent();
    return Outcome::done();
}

Grid numberedGrid(const QStringList& numbers) {
    constexpr int kRowHeight = 320;
    Grid g(qMax(16, int(numbers.size()) + 1), 2);
    for (int r = 0; r < g.rows(); ++r)
        g.setRowHeight(r, kRowHeight);
    g.setColWidth(0, 500);
    g.setColWidth(1, 700);
    g.setColAlign(1, Grid::Align::Left);
    g.setText(0, 0, QStringLiteral("序号"));
    g.setText(0, 1, QStringLiteral("编号"));
    for (int n = 1; n <= numbers.size(); ++n) {
        g.setText(n, 0, QString::number(n));
        g.setText(n, 1, numbers[n - 1]);
    }
    return g;
}

} // namespace shell
