#pragma once

#include <QString>

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

// Identifier quoting for SQLite: every identifier the program uses goes
// through here ("a""b").
QString quoteIdentifier(const QString& name);

} // namespace store
