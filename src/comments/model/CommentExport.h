#pragma once

// What the comment writer takes out of the program: the class's comments as
// one text (the rich-text export and its listing) and as a spreadsheet
// layout. Settings rows are no students and are never listed, whatever
// their "姓名" holds.

#include "shell/core/Outcome.h"

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

} // namespace comments
