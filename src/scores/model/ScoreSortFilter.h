#pragma once

// Sorting the score table, the nine filters and finding one student.

#include "ScoreAnalysis.h"

namespace scores {

// ------------------------------------------------------------ sorting

// Reorders the data rows of `g` (every row below the heading) on the key
// columns `firstKey` to the last column, left to right: two cells that both
// read as numbers compare as numbers, otherwise as text. Rows equal on every
// key keep their order, and empty rows (nothing right of column 0) go last
// in either direction. Column 0 moves with its row.
void sortGrid(shell::Grid& g, int firstKey, bool descending);

// "升序" / "降序": the score table sorted on the total and the average.
void SortScores(ScoreModel& model, bool descending);
// "高级排序" opened: the score table, unsorted.
void OpenAdvancedSort(ScoreModel& model);
// An entry of the sort or filter combo chosen: keyColumn = its grid column.
void ChooseKeyColumn(ScoreModel& model, int comboIndex);
// "确定" of the sort frame: on keyColumn onwards, "递减" or "递增" as the
// state says. Refused when no key has been chosen.
Outcome ConfirmAdvancedSort(ScoreModel& model);

// ------------------------------------------------------------ filters

constexpr int kFilterCount = 9;
// optSetFilter(i)'s design caption.
QString filterCaption(int index);
// labSetFilter's text when filter `index` is chosen; empty for the filters
// that leave it as it is.
QString filterUnit(int index);
// Filters 0 and 1 name their subject and number: "语文前10名", "语文科>=90分".
QString subjectFilterCaption(int index, const QString& subject, const QString& box);
// "筛选": an empty filter heading on the visible grid, the spare grid filled.
void OpenFilter(ScoreModel& model);
// The number box changed: filter 0 refuses more than the class's students
// (the window then empties the box).
Outcome CheckFilterNumber(const ScoreModel& model, int index, const QString& box);
// "确定": runs filter `index` into the visible grid. `subject` is the filter
// combo's text (filter 1's status names it).
Outcome RunFilter(ScoreModel& model, int index, const QString& box, const QString& subject);

inline constexpr uint32_t kFailColour = 0xFF0000;      // red text: the failing scores
inline constexpr uint32_t kExcellentColour = 0xC0FFC0; // light green background

// ------------------------------------------------------------ find

struct FindOptions {
    bool grade = false;   // cekViewStd(0) "评级"
    bool total = false;   // cekViewStd(1) "总分"
    bool average = false; // cekViewStd(2) "平均分"
};

// The find combo's list: the students' numbers (or names), stored order,
// empty ones left out. The combo then shows the last.
QStringList ListNumbersForFind(ScoreModel& model);
QStringList ListNamesForFind(ScoreModel& model);

struct FindResult {
    Outcome outcome;
    QStringList list; // the combo's new list (unchanged when empty)
};
// "按学号查" / "按姓名查" with the combo's text.
FindResult FindStudent(ScoreModel& model, bool byName, const QString& comboText, const FindOptions& options);

// Row 1 of the visible grid: the student whose number is searchKey, with
// grades instead of scores when asked, the plain total and its average.
void ShowFoundStudent(ScoreModel& model, const FindOptions& options);
// The title of the highest level whose start, as a plain number, the score
// reaches; empty below every start.
QString gradeOf(const ClassData& s, double score);

} // namespace scores
