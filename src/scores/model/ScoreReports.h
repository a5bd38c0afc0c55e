#pragma once

// The two formulas (weighted total, single-subject points), the grade levels
// and the band interval, and the two reports built from them: the
// per-subject report ("各科报表") and the score bands ("各科分数段").
// Everything works on the score model's state, settings rows and visible grid.

#include "ScoreAnalysis.h"

namespace scores {

// One row of a formula frame: its check box and its weight box.
struct FormulaRow {
    bool checked = false;
    QString weight;
};

// ------------------------------------------------------------ weighted total

// What the weighted-total frame shows when opened: one row per subject.
struct CompositeForm {
    QStringList captions; // cekJMFS(k): name followed by "卷面分 X"
    QList<FormulaRow> rows;
    QString title; // cobZHF
};
CompositeForm compositeForm(const ClassData& s);
inline const QStringList kTotalTitles{QStringLiteral("总分"), QStringLiteral("期评"),
                                      QStringLiteral("综合分")};

// "确定" of the weighted-total frame: the total's title into settings row 8,
// each subject's weight (0 when unchecked) into "js2" of its row. A checked
// weight that is not a number refuses the whole save, nothing stored.
Outcome saveCompositeFormula(ScoreModel& model, const QString& titleText, const QList<FormulaRow>& rows);

// ------------------------------------------------------------ points

// What the points frame shows when opened: rows 0..levelCount (the level
// rates, then the average) and the participation row (index 9).
struct PointsForm {
    QStringList captions; // cekDKGL(p)
    QList<FormulaRow> rows;
    FormulaRow participation; // cekDKGL(9) "参考率", txtSubjectBFS(9) the expected candidates
};
PointsForm pointsForm(const ClassData& s);

// "确定" of the points frame: "js1" of the level rows, of row 8 (the
// average) and of row 9 (the expected candidates); "0" where unchecked.
Outcome savePointsFormula(ScoreModel& model, const QList<FormulaRow>& rows, const FormulaRow& participation);

// ------------------------------------------------------------ per-subject report

void ReportHeading(ScoreModel& model);
void SubjectReport(ScoreModel& model);
// "各科报表": heading, report and the print title.
void ShowSubjectReport(ScoreModel& model);

// ------------------------------------------------------------ grade levels and bands

// "更改": stores the level at combo position `chosenLevel` (title and start
// trimmed; an empty title takes the level out of use).
Outcome storeLevel(ScoreModel& model, int chosenLevel, const QString& titleText, const QString& startText);

// "确定" of the band frame. `box` is the interval box; a value below 1
// becomes "1" in the box before it is stored.
Outcome storeBandInterval(ScoreModel& model, QString& box);

void BandTableHeading(ScoreModel& model);
void BandReport(ScoreModel& model);
// "各科分数段": heading, report and the print title.
void ShowBandReport(ScoreModel& model);

} // namespace scores
