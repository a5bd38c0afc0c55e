#pragma once

#include <QString>
#include <ostream>

// Lets failed checks show Qt strings as text (lists of them too) instead of
// their bytes.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}
