#pragma once

// Class files: one table per school class in the class database, listed in
// "files" and created from the template "dataBak". The score manager and the
// comment writer both work through these headers (no widgets here).

#include "shell/core/Grid.h"
#include "shell/core/Outcome.h"
#include "store/Store.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

namespace scores {

// The class handed from the class-file window to the tool that asked for it.
// The program owns one and hands it to the score manager and the comment
// writer, which share the working class name; tests and benches make their
// own.
class ClassState : public QObject {
    Q_OBJECT
public:
    enum class Taker { Scores, CommentWorking, CommentReference };

    explicit ClassState(QObject* parent = nullptr) : QObject(parent) {}

    // The working class (score manager and comment writer) and the comment
    // writer's reference class.
    const QString& workingClass() const { return workingClass_; }
    const QString& referenceClass() const { return referenceClass_; }
    // Whether the score manager, the comment writer's working class and
    // its reference class are open.
    bool scoresOpen() const { return scoresOpen_; }
    bool commentWorkingOpen() const { return commentWorkingOpen_; }
    bool commentReferenceOpen() const { return commentReferenceOpen_; }

    // The class-file window hands `name` to a tool: the tool's flag goes up,
    // the name becomes its working (or reference) class, and
    // classHandedBack() says so.
    void handBack(Taker taker, const QString& name);
    // The tool opens `name` itself (the same as a hand-back, unannounced).
    void open(Taker taker, const QString& name);
    // The tool no longer has its class open; the names stay.
    void close(Taker taker);

Q_SIGNALS:
    void classHandedBack(scores::ClassState::Taker taker, const QString& name);

private:
    QString workingClass_;
    QString referenceClass_;
    bool scoresOpen_ = false;
    bool commentWorkingOpen_ = false;
    bool commentReferenceOpen_ = false;
};

// The widths of the "姓名" and "编号" fields of a class table, in characters.
constexpr int kNameChars = 50;
constexpr int kNumberChars = 10;
// Class names are bounded as student names are: they head lists, sheets and
// printed titles.
constexpr int kClassNameChars = 50;

// Why `name` (already trimmed) cannot be set as a student's name, a
// student's number, a class name: line breaks, control characters,
// bidirectional marks, invalid characters or too many characters, in a
// "…，请重做！" message; empty when it can. Every path that sets one of them
// (the roster, the class-file window, the comment writer, the import) asks
// these first and writes nothing after a refusal.
QString studentNameProblem(const QString& name);
QString studentNumberProblem(const QString& number);
QString classNameProblem(const QString& name);

// The "编号" of a settings row starts with this; such rows are never students.
inline const QString kSettingsPrefix = QStringLiteral("listKM");
inline bool isSettingsRow(const QString& number) {
    return number.startsWith(kSettingsPrefix);
}

namespace ClassFiles {

// The class database in the data folder.
QString databasePath();

// The class names in "files", in creation order (first field of each row).
QStringList list();

// The list grid of the class-file window: heading "序号"/"文件名", one row per
// class, at least six rows (heading and five empty rows).
shell::Grid listGrid();
// Adds empty rows until the list grid has six again (the window's resize rule).
void ensureListRows(shell::Grid& grid);
// The class name a pick of row `row` copies into the name box: the
// "文件名" cell of a data row; the heading row and empty rows give "".
QString pickedName(const shell::Grid& grid, int row);

// Whether `name` (trimmed, any case) is one of the file's own tables,
// "files" and "dataBak", or one of SQLite's ("sqlite_..."): never a class,
// neither to create nor to open, so that no student or subject is ever
// written into the class list or the template.
bool isReservedName(const QString& name);

// The table name a typed class name becomes: the name without its
// surrounding blanks. create() makes the class under this name, so the
// caller hands back the same text the table was made with.
QString tableName(const QString& typedName);

// Creates the class table tableName(typedName) with the sixteen class fields,
// lists it in "files" and copies at most thirteen template rows of "dataBak".
// `withSampleStudent` adds the comment writer's sample row. All of it is one
// transaction: on any refusal or failure nothing is left behind. The shared
// class state is not touched here (the caller hands the class back).
// Refusals: Reason::Invalid for an empty or reserved name (kMsgNoName,
// kMsgReservedName), Reason::Exists (kMsgExists); Reason::Failed when the
// file did not take it, with the store's reason in the message.
shell::Outcome create(const QString& typedName, bool withSampleStudent);

// Whether a class table of that name (any case) exists. The file's own
// tables are no class tables.
bool exists(const QString& name);

// Why the class table `name` cannot be used as a class; empty when it can.
// A table that is missing (while "files" lists it), has lost any of the
// sixteen class fields, or keeps names or scores in fields of another kind
// is damaged: the class is not opened and nothing is written to it.
QString classProblem(const QString& name);
// The field check alone, on a table's fields as the store reads them.
QString fieldsProblem(const QList<store::FieldDef>& fields);
// What the teacher is told about a class that cannot be read.
QString unreadableMessage(const QString& name, const QString& why);

// The class-file window as the comment writer asks for it. The window
// belongs to the score tool's window layer, which no other tool includes:
// it registers how to open the window at start-up, and the comment writer
// opens it through here and hears the chosen class from the ClassState.
enum class Use { CommentNew, CommentOpenWorking, CommentOpenReference };
using Opener = std::function<void(Use)>;
void setWindowOpener(Opener opener);
// Opens the class-file window for `use`; false when no opener is registered.
bool openWindow(Use use);

// The messages of the class-file window.
inline const QString kMsgNoName = QStringLiteral("请输入课题名称！");
inline const QString kMsgExists = QStringLiteral("该文件名已经存在，请另输入文件名！");
inline const QString kMsgNoSuchClass = QStringLiteral("该文件不存在，请从列表中重新选择！");
inline const QString kMsgReservedName = QStringLiteral("该文件名是系统保留的名称，请另输入文件名！");
inline const QString kMsgNotAClass = QStringLiteral("该文件不是班级文件，请从列表中重新选择！");

} // namespace ClassFiles
} // namespace scores
