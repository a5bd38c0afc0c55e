#pragma once

#include "Bookmarks.h"

#include <QList>
#include <QString>

namespace web {

// An address in the form two addresses of one page share: scheme and host
// in lower case, the scheme's default port left out, no fragment, no
// tracking parameters (utm_*), no slash at the end of the path, characters
// percent-encoded one way. An address without a scheme ("www.pep.com.cn")
// is taken as http. Text that is no address comes back trimmed and in
// lower case, so equal texts still match.
QString normalizedAddress(const QString& address);

// Pages that share a normalised address, each group in stored order, the
// groups in the order of their first page. Pages without an address are in
// no group.
QList<QList<Bookmark>> duplicateGroups(const QList<Bookmark>& pages);

} // namespace web
