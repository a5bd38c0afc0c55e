#pragma once

// What the comment writer takes out of the program: the class's comments as
// one text (the rich-text export and its listing) and as a spreadsheet
// layout. Settings rows are no students and are never listed, whatever
// their "姓名" holds.

#include "shell/core/Outcome.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

namespace comments {

struct CommentEntry {
    QString name;
    QString comment;
};

// The students of class `cls` that have a name, in stored order, with their
// comments. Reason::Failed (with the reason) when the table cannot be read.
shell::Outcome commentListing(const QString& cls, QList<CommentEntry>& out);

// The export's text: for each student the name, ":", a line break, the
// comment and a line break (line breaks as CR LF).
QString exportText(const QList<CommentEntry>& entries);

// A printed comment: the student's name, the class and the date it was
// printed, a line each, an empty line, then the comment, so that a stack of
// printed comments can be told apart.
QString printedComment(const QString& cls, const QString& name, const QDate& date, const QString& comment);
// The whole class for printing: each student with a comment on a page of
// its own (pages separated by form feeds, as the printing service takes
// them); students whose comment is blank have nothing to print.
QString printedClass(const QString& cls, const QList<CommentEntry>& entries, const QDate& date);

// The comments as a spreadsheet at `path`, from row 1: for each student the
// name (turquoise fill, red letters: palette 8 and 3), below it the comment
// in a wrapped cell with a pink border (palette 7), then an empty row;
// column A is 40 wide. Names and comments are always text cells. A comment
// longer than a cell holds is cut there, and the outcome's message names
// those students (kMsgShortened).
shell::Outcome writeCommentWorkbook(const QList<CommentEntry>& entries, const QString& path);
inline const QString kMsgShortened =
    QStringLiteral("以下学生的评语超过了电子表格一格能容纳的%1个字符，表格中只保留了前%1个字符：%2");

} // namespace comments
