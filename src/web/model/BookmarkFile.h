#pragma once

#include "Bookmarks.h"
#include "shell/core/Outcome.h"

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>

namespace web {

// The bookmark file every browser exports and imports (the HTML file that
// starts with <!DOCTYPE NETSCAPE-Bookmark-file-1>): nested <DL> lists of
// folders (<DT><H3>) and pages (<DT><A HREF ADD_DATE>).

// One page as a bookmark file holds it. `category` is the path of folders
// below the file's root joined with "/" ("语文/古诗"); the browser's own
// toolbar and "other bookmarks" folders are left out of it, as a teacher
// never named them. `line` is where the page stands in the file (1-based).
struct FilePage {
    QString name;
    QString category;
    QDate date; // from ADD_DATE; invalid when the file gives none
    QString address;
    int line = 0;
};

// The pages of a bookmark file in the order it lists them. The bytes are
// UTF-8 unless the file names another charset (GBK, GB2312, GB18030, as
// older Chinese browsers write); a byte-order mark is dropped. Invalid with
// a sentence when the bytes are not a bookmark file.
shell::Outcome parseBookmarkFile(const QByteArray& bytes, QList<FilePage>* out);
// The same from a file; the messages name it.
shell::Outcome readBookmarkFile(const QString& path, QList<FilePage>* out);

// The pages as a bookmark file a browser reads back: one folder per
// category (a category with "/" as nested folders), folders in the order of
// their first page, pages without a category at the top level, ADD_DATE the
// recorded day's local midnight.
QByteArray bookmarkFileText(const QList<Bookmark>& pages);
// Writes it through a temporary file that replaces `path` only when it is
// complete. Failed with the reason when it cannot be written.
shell::Outcome writeBookmarkFile(const QString& path, const QList<Bookmark>& pages);

// The default category of pages that sit in no folder of their own.
inline const QString kImportCategory = QStringLiteral("浏览器书签");

} // namespace web
