#include "FieldDef.h"

namespace store {

QString quoteIdentifier(const QString& name) {
    QString q = name;
    q.replace(u'"', QStringLiteral("\"\""));
    return u'"' + q + u'"';
}

} // namespace store
