#pragma once

#include "shell/core/Grid.h"
#include "shell/core/Outcome.h"
#include "shell/core/StatementTable.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace compose {

// The two statement libraries: the plan writer's "cJh218.mdb" (jhStartData,
// jhMidData, jhEndData) and the summary writer's "cZj218.mdb" (zjStartData,
// zjMidData, zjEndData). Their fields are read by name, since the two
// libraries store them in different orders.
enum class Writer { Plan, Summary };

enum class Stage { Start = 0, Middle = 1, End = 2 };

QString libraryFile(Writer w); // "cJh218.mdb" / "cZj218.mdb"
QString tableName(Writer w, Stage s);

// What the writers read, on the records of one table in stored order.
// The titles of the records whose 类别 is one of `categories` (all records
// when it is empty) and whose title is not empty; duplicates as often as
// they occur.
QStringList listTitles(const QList<shell::Statement>& rows, const QStringList& categories = {});
// The text of the last record with that title; none when there is no such
// record or its text is empty.
std::optional<QString> findText(const QList<shell::Statement>& rows, const QString& title);
// jhMidData: the texts of the titled records of a month, and of a week and
// its two neighbours, whatever their kind.
QStringList monthTexts(const QList<shell::Statement>& rows, int month);
QStringList weekTexts(const QList<shell::Statement>& rows, int week);

// A writer's library opened per read, so a statement the editor just added
// is there at the next read. A table that cannot be opened reads as empty
// and lastError() says why.
class StatementLibrary {
public:
    // The library file in `folder` (the data folder when empty).
    explicit StatementLibrary(Writer w, QString folder = {});

    Writer writer() const { return writer_; }
    QString path() const;
    QStringList titles(Stage s, const QStringList& categories = {}) const;
    std::optional<QString> find(Stage s, const QString& title) const;
    QStringList monthStatements(int month) const;
    QStringList weekStatements(int week) const;
    const QString& lastError() const { return error_; }

private:
    std::unique_ptr<shell::StatementTable> open(Stage s) const;
    Writer writer_;
    QString folder_;
    mutable QString error_;
};

// Plan: the kind code of "散文方式", "纲要型", "阐述型" ("1" to "3").
// Summary: the type code of a type name ("详述型" "1" … "综合型" "8",
// "学校工作总结" "11" … "教师个人总结" "13"). Empty for any other text.
QString planKindCode(const QString& kindName);
QString summaryTypeCode(const QString& typeName);
// The eight plan opening types and the summary type names in code order.
const QStringList& planOpeningTypes();
const QStringList& summaryTypeNames();

// The heading a middle statement gets in the article: its title without a
// section number in front ("三、", "3．", "（三）"; the article numbers its
// headings itself, in the order they stand) and without the type label our
// starter banks put in front of a title to tell statements apart in the
// lists ("综合·", "详述·"). A title that is nothing but those keeps its text.
QString statementHeading(const QString& title);

// The library editor of a writer window: choose a library and a type, list
// its records' numbers, pick one, add and update statements. Every write is
// committed before the operation reports success; a refused or failed one
// writes nothing and says why.
class LibraryEditor {
public:
    explicit LibraryEditor(Writer w, QString folder = {});

    static const QStringList& libraryNames(); // "开头语句", "中段语句", "结尾语句"

    // The library box chose a library; any other text is refused with
    // "输入名称错误，请重选！".
    shell::Outcome selectLibrary(const QString& name);
    // The types the type box offers for the chosen library, in order.
    QStringList types() const;
    // The type box chose a type: typeCode() and the grid follow it.
    void selectType(const QString& typeName);
    // Whether the month and week boxes belong with this type (plan, middle
    // library, outline or expository kind).
    bool usesMonthWeek(const QString& typeName) const;

    QString libTable() const;
    // The chosen library's name; empty until one is chosen.
    QString libraryName() const { return library_ < 0 ? QString() : libraryNames()[library_]; }
    const QString& typeCode() const { return typeCode_; }
    const QString& pickedNumber() const { return picked_; }
    // The 序号 of the listed records, and the "序号"/"编号" grid of them.
    const QStringList& numbers() const { return numbers_; }
    shell::Grid grid() const;

    // A grid row's 编号 was picked: the last record with that number.
    struct Picked {
        QString title, text;
        std::optional<int> month, week; // plan middle statements not in prose
    };
    std::optional<Picked> pick(const QString& number);

    // The month (1..12) or week (1..28) box: the leading number of its text;
    // out of range is refused with "输入数字错误，请重写！".
    static shell::Outcome checkMonth(const QString& text, int* month);
    static shell::Outcome checkWeek(const QString& text, int* week);

    // "添加" with the boxes' texts; the month and week boxes count only for
    // a plan middle statement that is not prose.
    shell::Outcome add(const QString& typeName, const QString& title, const QString& text,
                       const QString& monthText = {}, const QString& weekText = {});
    // "更新": the picked record gets the title and text.
    shell::Outcome update(const QString& title, const QString& text);
    // The summary writer checks the title's length before any of its
    // buttons acts; true when it fits.
    shell::Outcome checkTitleLength(const QString& title) const;

private:
    std::unique_ptr<shell::StatementTable> open(QString* error = nullptr) const;
    void refill();

    Writer writer_;
    QString folder_;
    int library_ = -1;
    QString typeName_;
    QString typeCode_;
    QString picked_;
    QStringList numbers_;
};

} // namespace compose
