#include "CommentExport.h"

#include "classes/model/ClassFiles.h"
#include "classes/model/ClassTable.h"
#include "shell/core/Units.h"
#include "shell/docs/SpreadsheetWriter.h"
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

QString printedComment(const QString& cls, const QString& name, const QDate& date, const QString& comment) {
    return QStringLiteral("姓名：%1\n班级：%2\n日期：%3\n\n%4")
        .arg(name, cls, shell::dateText(date), comment);
}

QString printedClass(const QString& cls, const QList<CommentEntry>& entries, const QDate& date) {
    QStringList pages;
    for (const CommentEntry& e : entries)
        if (!e.comment.trimmed().isEmpty()) pages << printedComment(cls, e.name, date, e.comment);
    return pages.join(u'\f');
}

shell::Outcome writeCommentWorkbook(const QList<CommentEntry>& entries, const QString& path) {
    using shell::SpreadsheetWriter;
    SpreadsheetWriter book(path, SpreadsheetWriter::Options{.rowsInOrder = true});
    const int nameStyle = book.addStyle({.fillColor = 8, .fontColor = 3, .wrap = true});
    const int commentStyle = book.addStyle({.borderColor = 7, .wrap = true});
    book.setColumnWidth(1, 40);
    QStringList shortened;
    int row = 1;
    for (const CommentEntry& e : entries) {
        book.setText(row, 1, e.name, nameStyle);
        // The writer cuts what a cell cannot hold; the teacher hears whose.
        if (e.comment.size() > SpreadsheetWriter::kMaxText) shortened << e.name;
        book.setText(row + 1, 1, e.comment, commentStyle);
        row += 3;
    }
    shell::Outcome saved = book.save();
    if (saved && !shortened.isEmpty())
        saved.messages << kMsgShortened.arg(SpreadsheetWriter::kMaxText).arg(shortened.join(u'、'));
    return saved;
}

} // namespace comments
