#pragma once

// The fields of a class table, by name: every reader and writer of a class
// addresses them through these, so a row is read the same way everywhere.

#include <QString>

namespace scores::classtable {

inline const QString kContent = QStringLiteral("内容"); // a comment, or a settings row's title
inline const QString kName = QStringLiteral("姓名");
inline const QString kNumber = QStringLiteral("编号"); // "listKM0".."listKM12" on settings rows

} // namespace scores::classtable
