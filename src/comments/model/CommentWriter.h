#pragma once

// The comment writer's work on a class table: its students, the comment of
// one of them, saving, renaming, the reference class's comment and the
// random choice of a phrase. Settings rows ("编号" beginning with "listKM")
// are never read or written here: they hold the score manager's subjects
// and levels, and a student named like a subject must not reach them.

#include "shell/core/Outcome.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace classes {
class ClassState;
}

namespace comments {

// One student row of a class table.
struct Student {
    qint64 key = -1; // the row's stored key: the same row however it is renamed
    QString name;
    QString number;
    QString comment;
};

// Which student an operation is about. A student picked from the list (or
// reached with 上一个/下一个) is that very row, so two students of one name
// keep their own comments; a typed name (key -1) means every student of
// that name.
struct Target {
    QString name;
    qint64 key = -1;
};

// A whole number from 0 to n - 1, each equally likely.
using RandomSource = std::function<int(int n)>;
// The program's random source (seeded from the clock).
RandomSource systemRandom();
// One of `phrases`, chosen by `random`; empty when there are none.
QString randomPhrase(const QStringList& phrases, const RandomSource& random);

// The text that goes after `comment` when `phrase` is appended. New students
// start with the comment "你" and nearly every phrase starts with "你" too:
// where both meet, the phrase's own "你" is dropped, so the comment never
// reads "你你".
QString phraseToAppend(const QString& comment, const QString& phrase);

// The longest student name, in characters.
constexpr int kMaxNameLength = 8;

// The comment writer's messages.
inline const QString kMsgNoName = QStringLiteral("请输入学生姓名！");
inline const QString kMsgNameTooLong = QStringLiteral("学生姓名不能多出8个字！");
inline const QString kMsgNoComment = QStringLiteral("学生评语还没填写！");
inline const QString kMsgNoClass = QStringLiteral("你还没有新建或打开学生班级评语文件！");
inline const QString kMsgNameExists = QStringLiteral("该学生姓名已存在，不能重名！");
inline const QString kMsgNoOldName = QStringLiteral("原学生姓名不存在，不必修改！");
inline const QString kMsgNumberExists = QStringLiteral("该学号已经存在，请修改！");
inline const QString kMsgNumberReserved = QStringLiteral("学号不能以“listKM”开头，请修改！");
inline const QString kMsgNumberTooLong = QStringLiteral("学号不能多于%1个字符，请修改！");
inline const QString kMsgNoReference = QStringLiteral("此学生没有旧评语参考！");
inline const QString kMsgSameNames =
    QStringLiteral("班里有几位学生叫这个名字，请从名单中选出要改名的那一位！");

// Reads and writes of the comment writer on the working class and the
// reference class of the shared class state. Nothing is cached: every call
// reads the table as it is now, as the score manager may have changed it.
class CommentWriter {
public:
    explicit CommentWriter(const classes::ClassState& classes) : classes_(classes) {}

    bool workingOpen() const;
    bool referenceOpen() const;

    // The class this writer reads and writes: the one pinned by the window
    // (the class its name list shows), else the shared working class. The
    // shared class can move on under an open window (the score manager opens
    // another class and closes the comment writer); a comment the teacher is
    // asked about then must still go to the class it was written for.
    QString workingClass() const;
    void pinClass(const QString& cls) { pinned_ = cls; }
    const QString& pinnedClass() const { return pinned_; }

    // The students of the working class with a name, in stored order (the
    // name list). Reason::NotOpen without a working class; Failed when the
    // table cannot be read.
    shell::Outcome students(QList<Student>& out) const;

    // The student an operation addresses: the row of `t.key` while it still
    // carries `t.name`, otherwise the last student named `t.name` (a comment
    // shown for a name is the one written last for it). Empty when there is
    // none; *error holds the reason when the class could not be read.
    std::optional<Student> find(const Target& t, QString* error = nullptr) const;

    // "确认保存": checks the typed name and number (trimmed) and the comment,
    // then writes `text` (as typed) into the addressed student's "内容". A
    // name no student has adds a student with the typed number (which must
    // be free, not a settings number and fit the field) and zero scores.
    // All rows of a typed name change together or none does. *savedKey is
    // the row written (the last of several).
    shell::Outcome save(const Target& t, const QString& typedName, const QString& typedNumber,
                        const QString& text, qint64* savedKey = nullptr) const;

    // "学生改名": the student shown takes the typed name (trimmed). Exactly
    // one row changes: the row of `shown.key` while it still carries
    // `shown.name` (NotFound once it does not), or, for a typed name, the one
    // student of that name (several of them: Reason::Invalid, kMsgSameNames,
    // as there is no telling which one is meant).
    shell::Outcome rename(const Target& shown, const QString& typedName) const;

    // How many students of the working class have the number (trimmed).
    int studentsWithNumber(const QString& number) const;

    // The comment `name` had in the reference class (the last row of that
    // name); empty when the student is not there. Settings rows are never
    // students.
    std::optional<QString> referenceComment(const QString& name, QString* error = nullptr) const;

    // Name checks shared by saving and renaming.
    static shell::Outcome checkName(const QString& trimmedName);

private:
    const classes::ClassState& classes_;
    QString pinned_;
};

} // namespace comments
