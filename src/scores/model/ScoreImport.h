#pragma once

// Bringing a class list into the open class: rows of texts read from a
// table file (shell/core/TableFile.h), each column mapped to 学号, 姓名, a
// subject of the class or nothing. Students are matched by 学号 ("编号"):
// a number the class does not have yet is a new student, one it has gets
// the mapped values. Rows that cannot be taken are listed with their row
// numbers before anything is written; the import itself is one
// transaction.

#include "ScoreModel.h"

#include "shell/core/TableFile.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace scores {

// What a column of the file goes into, as the column's combo lists it:
// 0 "不导入", 1 "学号", 2 "姓名", 3 + k subject k of the class.
enum : int { kImportSkip = 0, kImportNumber = 1, kImportName = 2, kImportFirstSubject = 3 };

// The combo's entries for the class: "不导入", "学号", "姓名", then the subjects.
QStringList importChoices(const ClassData& data);

// The choice for each column guessed from a heading row: "学号"/"编号"
// (and "考号"), "姓名", a subject's name (blanks ignored); each choice is
// given to its first column only, the rest are "不导入".
QList<int> guessImportColumns(const QStringList& heading, const ClassData& data);

// Whether the first row looks like a heading: it holds a cell the guess
// recognises.
bool looksLikeHeading(const QStringList& firstRow, const ClassData& data);

struct ImportRequest {
    shell::TableRows rows;
    QList<int> columns;      // one choice per column; missing columns are "不导入"
    bool headingRow = true;  // the first row is a heading, not a student
    bool skipFaulty = false; // the teacher has seen the problems and goes on without those rows
};

struct ImportProblem {
    int row = 0; // the file's row number, as the spreadsheet numbers it
    QString text;
};

// What an import would do: the problems found, and how many students it
// would add and update.
struct ImportCheck {
    QList<ImportProblem> problems;
    int added = 0;
    int updated = 0;
    // "第3行：……" lines for the teacher, at most `limit` of them and a
    // closing "……" line naming how many more.
    QStringList lines(int limit = 15) const;
};

// Checks the request against the open class; nothing is written.
// Refusals: NotOpen (no class), NotChosen (no column is 学号), Invalid (two
// columns for one choice).
Outcome checkImport(ScoreModel& model, const ImportRequest& request, ImportCheck* check);

// Imports the request into the open class in one transaction and shows the
// score table afterwards. With problems and !skipFaulty it is refused
// (Reason::Invalid, the problem lines as messages) and nothing is written;
// a write that fails leaves the class as it was ("保存失败：" and the store's
// reason).
Outcome importStudents(ScoreModel& model, const ImportRequest& request);

} // namespace scores
