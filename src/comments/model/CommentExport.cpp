#include "CommentExport.h"

#include "scores/model/ClassFiles.h"
#include "scores/model/ClassTable.h"
#include "store/Store.h"

namespace comments {

namespace ct = scores::classtable;

shell::Outcome commentListing(const QString& cls, QList<CommentEntry>& out) {
    out.clear();
    QString why;
    auto rs = store::Recordset::OpenTable(scores::ClassFiles::databasePath(), cls, &why);
    if (!rs)
        return shell::Outcome::fail(shell::Reason::Failed, scores::ClassFiles::unreadableMessage(cls, why));
    const ct::Columns col(*rs);
    out.reserve(rs->RecordCount());
    ct::forEachStudent(*rs, col, [&](const QString&) {
        QString name = rs->text(col.name);
        if (!name.isEmpty()) out.append(CommentEntry{std::move(name), rs->text(col.content)});
    });
    return shell::Outcome::done();
}

QString exportText(const QList<CommentEntry>& entries) {
    QString text;
    qsizetype size = 0;
    for (const CommentEntry& e : entries)
        size += e.name.size() + e.comment.size() + 5;
    text.reserve(size);
    for (const CommentEntry& e : entries) {
        text += e.name;
        text += u':';
        text += u"\r\n";
        text += e.comment;
        text += u"\r\n";
    }
    return text;
}

} // namespace comments
