#pragma once

// The fields of a class table, by name: every reader and writer of a class
// addresses them through these, so a row is read the same way everywhere.

#include "classes/model/ClassFiles.h"
#include "store/Store.h"

#include <QString>
#include <array>

namespace scores::classtable {

inline const QString kContent = QStringLiteral("内容"); // a comment, or a settings row's title
inline const QString kName = QStringLiteral("姓名");
inline const QString kNumber = QStringLiteral("编号"); // "listKM0".."listKM12" on settings rows
// The name of a subject slot or the title of a level row not in use.
inline const QString kFree = QStringLiteral("000");

// Where the fields stand in a cursor on a class table.
struct Columns {
    int content = 0, name = 1, number = 2;
    std::array<int, 13> js{}; // "js0".."js12"
    explicit Columns(const store::Recordset& rs) {
        content = rs.fieldIndex(kContent);
        name = rs.fieldIndex(kName);
        number = rs.fieldIndex(kNumber);
        for (int k = 0; k < int(js.size()); ++k)
            js[k] = rs.fieldIndex(QStringLiteral("js%1").arg(k));
    }
};

// Calls each(number) with the cursor on every student row in stored order,
// from the first record; settings rows are never students. Returns how many
// there were.
template <typename Each> int forEachStudent(store::Recordset& rs, const Columns& col, Each each) {
    int students = 0;
    for (rs.MoveFirst(); !rs.isEOF(); rs.MoveNext()) {
        const QString number = rs.text(col.number);
        if (isSettingsRow(number)) continue;
        each(number);
        ++students;
    }
    return students;
}

} // namespace scores::classtable
