#include "ScoreSortFilter.h"

#include "shell/core/Units.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace scores {

// ------------------------------------------------------------ sorting

namespace {

// A copy of one cell's colours and text into another grid's cell.
void copyCell(const shell::Grid& from, int fr, int fc, shell::Grid& to, int tr, int tc) {
    to.setText(tr, tc, from.text(fr, fc));
    if (from.hasForeColor(fr, fc)) to.setForeColor(tr, tc, from.foreColor(fr, fc));
    if (from.hasBackColor(fr, fc)) to.setBackColor(tr, tc, from.backColor(fr, fc));
}

} // namespace

void sortGrid(shell::Grid& g, int firstKey, bool descending) {
    const int rows = g.rows();
    const int cols = g.cols();
    if (rows <= 2) return;
    firstKey = qBound(0, firstKey, cols);
    const int keys = cols - firstKey;
    const int data = rows - 1;

    // Each key cell is read once, its number when it is one. A key column is
    // read only when a comparison first reaches it: most rows differ on the
    // first key already.
    struct Key {
        double value = 0;
        bool number = false;
    };
    std::vector<Key> key(size_t(data) * size_t(keys));
    std::vector<char> keyRead(static_cast<size_t>(keys), 0);
    auto keyOf = [&](int i, int j) -> const Key& {
        if (!keyRead[size_t(j)]) {
            keyRead[size_t(j)] = 1;
            for (int row = 0; row < data; ++row)
                if (const auto v = cellNumber(g.text(row + 1, firstKey + j)))
                    key[size_t(row) * keys + j] = Key{*v, true};
        }
        return key[size_t(i) * keys + j];
    };
    std::vector<char> empty(static_cast<size_t>(data), 1);
    for (int i = 0; i < data; ++i)
        for (int c = 1; c < cols && empty[i]; ++c)
            if (!g.text(i + 1, c).isEmpty()) empty[i] = 0;
    auto compare = [&](int a, int b) {
        for (int j = 0; j < keys; ++j) {
            const Key& ka = keyOf(a, j);
            const Key& kb = keyOf(b, j);
            int c;
            if (ka.number && kb.number)
                c = ka.value < kb.value ? -1 : (ka.value > kb.value ? 1 : 0);
            else
                c = g.text(a + 1, firstKey + j).compare(g.text(b + 1, firstKey + j));
            if (c != 0) return c;
        }
        return 0;
    };
    std::vector<int> order(static_cast<size_t>(data));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        if (empty[a] != empty[b]) return !empty[a];
        if (empty[a]) return false;
        const int c = compare(a, b);
        return descending ? c > 0 : c < 0;
    });
    bool moved = false;
    for (int i = 0; i < data && !moved; ++i)
        moved = order[size_t(i)] != i;
    if (!moved) return;

    shell::Grid out(rows, cols);
    out.setFixed(g.fixedRows(), g.fixedCols());
    out.setWordWrap(g.wordWrap());
    for (int c = 0; c < cols; ++c) {
        out.setColWidth(c, g.colWidth(c));
        out.setColAlign(c, g.colAlign(c));
        copyCell(g, 0, c, out, 0, c);
    }
    out.setRowHeight(0, g.rowHeight(0));
    for (int i = 0; i < data; ++i) {
        const int from = order[size_t(i)] + 1;
        out.setRowHeight(i + 1, g.rowHeight(from));
        for (int c = 0; c < cols; ++c)
            copyCell(g, from, c, out, i + 1, c);
    }
    g = std::move(out);
}

namespace {

void showSortedScores(ScoreModel& model) {
    model.ScoreTableHeading();
    model.FillScoreGrid();
    model.setPrintTitle(model.className() + QStringLiteral("成绩表"));
}

} // namespace

void SortScores(ScoreModel& model, bool descending) {
    showSortedScores(model);
    sortGrid(ScoreModelAccess::scoreGrid(model), model.classData().subjectCount + 3, descending);
    model.gridChanged();
}

void OpenAdvancedSort(ScoreModel& model) {
    showSortedScores(model);
}

void ChooseKeyColumn(ScoreModel& model, int comboIndex) {
    if (comboIndex >= 0) model.setKeyColumn(comboIndex + 3);
}

Outcome ConfirmAdvancedSort(ScoreModel& model) {
    if (model.viewState().keyColumn <= 2) return Outcome::fail(Reason::Invalid, msg::kNoSortKey);
    sortGrid(ScoreModelAccess::scoreGrid(model), model.viewState().keyColumn,
             model.viewState().sortDescending);
    model.gridChanged();
    return Outcome::done();
}

// ------------------------------------------------------------ filters

QString filterCaption(int index) {
    static const QStringList captions{
        QStringLiteral("单科前N名"),    QStringLiteral("单科分数大于N分"),  QStringLiteral("各科都不及格"),
        QStringLiteral("各科全部及格"), QStringLiteral("一科或多科不及格"), QStringLiteral("各科都不是优秀"),
        QStringLiteral("各科全部优秀"), QStringLiteral("一科或多科优秀"),   QStringLiteral("一科或多科满分")};
    return captions.value(index);
}

QString filterUnit(int index) {
    if (index == 0) return QStringLiteral("前      名");
    if (index == 1) return QStringLiteral(">=      分");
    return {};
}

QString subjectFilterCaption(int index, const QString& subject, const QString& box) {
    if (index == 0) return subject + QStringLiteral("前") + box.trimmed() + QStringLiteral("名");
    if (index == 1) return subject + QStringLiteral("科>=") + box.trimmed() + QStringLiteral("分");
    return filterCaption(index);
}

void OpenFilter(ScoreModel& model) {
    model.FilterHeading();
    model.SpareGridHeading();
    model.FillSpareGrid();
}

Outcome CheckFilterNumber(const ScoreModel& model, int index, const QString& box) {
    if (index == 0 && numberValue(box.trimmed()) > model.classData().rowCount)
        return Outcome::fail(Reason::Invalid, msg::kFilterTooMany);
    return Outcome::done();
}

namespace {

// The visible grid with room for `results` result rows (rows added 320
// twips high), sized once: growing a grid row by row copies it every time.
void resultRows(shell::Grid& g, int results, int cols) {
    g.ensureRows(results + 1, kRowHeight);
    if (g.cols() < cols) g.setCols(cols);
}

// Filters 2 to 8: which test a score passes and which students are kept.
struct ScoreFilter {
    enum Line { Pass, Excellent, Full } line;
    enum Keep { All, None, Some, NotAll } keep; // c = n, c = 0, c > 0, c < n
    uint32_t fore = 0, back = 0;                // colours of the cells that pass (0: none)
    bool colourPassing = false;                 // colour the scores that pass the test, not fail it
    QString status;
};

const ScoreFilter& scoreFilter(int index) {
    static const ScoreFilter filters[] = {
        {ScoreFilter::Pass, ScoreFilter::All, 0, 0, false, QStringLiteral("各科都不及格学生 ")},
        {ScoreFilter::Pass, ScoreFilter::None, 0, 0, false, QStringLiteral("各科全部及格学生 ")},
        {ScoreFilter::Pass, ScoreFilter::Some, kFailColour, 0, true,
         QStringLiteral("有一科或多科不及格学生 ")},
        {ScoreFilter::Excellent, ScoreFilter::All, 0, 0, false, QStringLiteral("各科都不优秀学生 ")},
        {ScoreFilter::Excellent, ScoreFilter::None, 0, 0, false, QStringLiteral("各科都优秀学生 ")},
        {ScoreFilter::Excellent, ScoreFilter::NotAll, 0, kExcellentColour, false,
         QStringLiteral("有一科或多科优秀的学生 ")},
        {ScoreFilter::Full, ScoreFilter::Some, 0, kExcellentColour, true,
         QStringLiteral("有一科或多科满分的学生 ")},
    };
    return filters[index - 2];
}

void copyResult(const shell::Grid& spare, int from, shell::Grid& g, int r, int n) {
    g.setText(r, 0, QString::number(r));
    for (int c = 1; c <= n + 4; ++c)
        g.setText(r, c, spare.text(from, c));
}

} // namespace

Outcome RunFilter(ScoreModel& model, int index, const QString& box, const QString& subject) {
    const ClassData& s = model.classData();
    const int n = qBound(0, s.subjectCount, kSlots);
    if (index < 0 || index >= kFilterCount) return Outcome::fail(Reason::NotChosen);

    if (index <= 1) {
        if (index == 0) {
            if (const Outcome check = CheckFilterNumber(model, 0, box); !check.ok) return check;
        }
        model.FilterHeading();
        shell::Grid& spare = ScoreModelAccess::spareGrid(model);
        sortGrid(spare, model.viewState().keyColumn, true);
        Q_EMIT model.spareGridChanged();
        shell::Grid& g = ScoreModelAccess::scoreGrid(model);
        QList<int> rows; // the spare rows to show, in order
        if (index == 0) {
            const int wanted = qBound(0, boundedInt(std::round(numberValue(box.trimmed()))), s.rowCount);
            for (int i = 1; i <= wanted; ++i)
                rows << i;
        } else {
            const double least = numberValue(box.trimmed());
            for (int i = 1; i <= s.rowCount && i < spare.rows(); ++i)
                if (numberValue(spare.text(i, model.viewState().keyColumn)) >= least) rows << i;
        }
        const int results = int(rows.size());
        resultRows(g, results, n + 5);
        for (int r = 1; r <= results; ++r)
            copyResult(spare, rows[r - 1], g, r, n);
        if (index == 1) {
            model.setStatusPanel(0, subject + QStringLiteral("分数大于或等于") + box +
                                        QStringLiteral("分学生 ") + QString::number(results) +
                                        QStringLiteral(" 位"));
        }
        widenToFit(g, 0);
        model.gridChanged();
        return Outcome::done();
    }

    const ScoreFilter& f = scoreFilter(index);
    const std::vector<StudentRow> students = loadStudents(model);
    model.FilterHeading();
    shell::Grid& g = ScoreModelAccess::scoreGrid(model);
    // The line of each subject this filter tests against.
    std::array<double, kSlots> line{};
    for (int k = 0; k < n; ++k) {
        const int p = f.line == ScoreFilter::Pass
                          ? 1
                          : (f.line == ScoreFilter::Excellent ? s.levelCount - 2 : s.levelCount - 1);
        line[k] = levelLine(s, p, k);
    }
    // Filters 2 to 7 test the scores below their line, filter 8 the scores
    // on the full line.
    auto passes = [&](const StudentRow& st, int k) {
        const double v = st.score[k].toDouble();
        return f.line == ScoreFilter::Full ? v == line[k] : v < line[k];
    };
    QList<const StudentRow*> kept;
    for (const StudentRow& st : students) {
        int c = 0;
        for (int k = 0; k < n; ++k)
            if (passes(st, k)) ++c;
        const bool keep = (f.keep == ScoreFilter::All && c == n) || (f.keep == ScoreFilter::None && c == 0) ||
                          (f.keep == ScoreFilter::Some && c > 0) || (f.keep == ScoreFilter::NotAll && c < n);
        if (keep) kept << &st;
    }
    const int results = int(kept.size());
    resultRows(g, results, n + 5);
    for (int r = 1; r <= results; ++r) {
        const StudentRow& st = *kept[r - 1];
        g.setText(r, 0, QString::number(r));
        g.setText(r, 1, st.name);
        g.setText(r, 2, st.number);
        for (int k = 0; k < n; ++k) {
            g.setText(r, 3 + k, st.scoreText[k]);
            // Filter 4 marks the failing scores, 8 the full ones (the scores
            // that pass its test), 7 the excellent ones (those that do not).
            if ((f.fore || f.back) && passes(st, k) == f.colourPassing) {
                if (f.fore) g.setForeColor(r, 3 + k, f.fore);
                if (f.back) g.setBackColor(r, 3 + k, f.back);
            }
        }
        const WideAmount t = weightedTotal(s, st);
        g.setText(r, n + 3, t.toString());
        g.setText(r, n + 4, model.averageText(t));
    }
    model.setStatusPanel(0, f.status + QString::number(results) + QStringLiteral(" 位"));
    widenToFit(g, 0);
    model.gridChanged();
    return Outcome::done();
}

// ------------------------------------------------------------ find

namespace {

QStringList studentField(const std::vector<StudentRow>& students, bool names) {
    QStringList out;
    for (const StudentRow& st : students) {
        const QString& v = names ? st.name : st.number;
        if (!v.isEmpty()) out << v;
    }
    return out;
}

void showFound(ScoreModel& model, const std::vector<StudentRow>& students, const FindOptions& options);

QList<NamedStudent> named(const std::vector<StudentRow>& students) {
    QList<NamedStudent> out;
    out.reserve(qsizetype(students.size()));
    for (const StudentRow& st : students)
        out.append({st.name, st.number});
    return out;
}

} // namespace

QStringList ListNumbersForFind(ScoreModel& model) {
    return studentField(loadStudents(model), false);
}
QStringList ListNamesForFind(ScoreModel& model) {
    return nameLabels(named(loadStudents(model)));
}

FindResult FindStudent(ScoreModel& model, bool byName, const QString& comboText, const FindOptions& options) {
    FindResult out;
    model.ScoreTableHeading();
    const QString wanted = comboText.trimmed();
    if (wanted.isEmpty()) {
        out.outcome = Outcome::fail(Reason::Invalid, msg::kNameOrNumberEmpty);
        return out;
    }
    const std::vector<StudentRow> students = loadStudents(model);
    auto it = students.end();
    if (byName) {
        // The student the list entry shows, never merely the first of a name.
        const NamePick pick = pickByName(named(students), wanted);
        if (pick.holders > 1) {
            out.outcome = Outcome::fail(Reason::Invalid, msg::sameNameInList(pick.holders, wanted));
            return out;
        }
        if (pick.index >= 0) it = students.begin() + pick.index;
    } else {
        it = std::find_if(students.begin(), students.end(),
                          [&](const StudentRow& st) { return st.number == wanted; });
    }
    if (it == students.end()) {
        out.outcome = Outcome::fail(Reason::NotFound, msg::kNoSuchNumber);
        return out;
    }
    model.setSearchKey(it->number);
    showFound(model, students, options);
    out.list = byName ? nameLabels(named(students)) : studentField(students, false);
    out.outcome = Outcome::done();
    return out;
}

QString gradeOf(const ClassData& s, double score) {
    QString title;
    for (int p = 0; p < qBound(0, s.levelCount, kLevelRows); ++p)
        if (numberValue(s.levelStarts[p]) <= score) title = s.levelTitles[p].trimmed();
    return title;
}

void ShowFoundStudent(ScoreModel& model, const FindOptions& options) {
    if (model.viewState().searchKey.isEmpty()) return;
    showFound(model, loadStudents(model), options);
}

namespace {

void showFound(ScoreModel& model, const std::vector<StudentRow>& students, const FindOptions& options) {
    const ClassData& s = model.classData();
    if (model.viewState().searchKey.isEmpty()) return;
    const auto it = std::find_if(students.begin(), students.end(), [&](const StudentRow& st) {
        return st.number == model.viewState().searchKey;
    });
    if (it == students.end()) return;
    const int n = qBound(0, s.subjectCount, kSlots);
    shell::Grid& g = ScoreModelAccess::scoreGrid(model);
    g.ensureRows(2, kRowHeight);
    if (g.cols() < n + 5) g.setCols(n + 5);
    g.setText(1, 1, it->name);
    g.setText(1, 2, it->number);
    WideAmount total;
    for (int k = 0; k < n; ++k) {
        // The grade compares the score with the level's start directly, not
        // with the start's share of the subject's full marks.
        g.setText(1, 3 + k, options.grade ? gradeOf(s, it->score[k].toDouble()) : it->scoreText[k]);
        total += WideAmount(it->score[k]);
    }
    g.setText(1, n + 3, options.total ? total.toString() : QString());
    // Without subjects there is no average: the cell stays empty.
    g.setText(1, n + 4, options.average && n > 0 ? shell::numberText(total.toDouble() / n) : QString());
    widenToFit(g, 0);
    model.gridChanged();
}

} // namespace

} // namespace scores
