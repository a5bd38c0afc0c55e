#pragma once

// Pieces shared by the score reports, the band report, the filters and find:
// reading numbers the way the number boxes are read, the students of the open
// class in one pass, the level lines of a subject and the weighted total.

#include "ScoreModel.h"

#include <optional>
#include <vector>

namespace scores {

// Messages of the formula, level, band, sort, filter and find frames.
namespace msg {
inline const QString kLevelNotChosen = QStringLiteral("没有选中更改的等级，请重做！");
inline const QString kLevelWrongType = QStringLiteral("更改的等级类型不对，请重做！");
inline const QString kNoSortKey = QStringLiteral("没有选中排序关键列，请重做！");
inline const QString kFilterTooMany = QStringLiteral("输入的数字大于学生总数了，请重做！");
} // namespace msg

// The leading number of a text, as a number box is read: blanks before it
// are skipped and reading stops at the first character that cannot continue
// the number ("85abc" is 85, "abc" and "" are 0).
double numberValue(const QString& text);

// Whether a text is a number as a cell compares it: the whole trimmed text.
std::optional<double> cellNumber(const QString& text);

// A weight, count, level start or interval typed by the teacher, as the
// fixed-point fields store it. Negative values are refused as well: the
// number boxes only let digits, "." and "/" through silently.
std::optional<store::Currency> parseAmount(const QString& text);

// One student row of the class table, in stored order.
struct StudentRow {
    QString name;
    QString number;
    std::array<store::Currency, kSlots> score{};
    std::array<QString, kSlots> scoreText; // as the grid shows it ("" when never written)
};

// The students of the open class (settings rows skipped), subjects 0..n-1
// read from "js0".."js(n-1)". Empty when no class is open.
std::vector<StudentRow> loadStudents(ScoreModel& model);

// The line of level p for subject k: the level's start (percent) times the
// subject's full marks / 100. A level outside 0..levelCount-1 is clamped to
// the nearest one in use; without levels the line is 0.
double levelLine(const ClassData& s, int p, int k);

// The weighted total of a student, rounded to four places after each step
// as the score table computes it, and the average shown beside it.
WideAmount weightedTotal(const ClassData& s, const StudentRow& row);

// Widens the columns whose texts, from row `from` down, would be cut off at
// their width: long unrounded rates and averages ("95.2380952380952"), a
// weighted total with four decimals, a row number of a big class do not fit
// the narrow standard columns. Widths are estimated from the characters
// (textTwips), so the model needs no fonts.
void widenToFit(shell::Grid& g, int from);

} // namespace scores
