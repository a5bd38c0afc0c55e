#include "ScoreReports.h"

#include "classes/model/ClassTable.h"

#include "shell/core/Units.h"

#include <QPair>
#include <cmath>
#include <functional>

namespace scores {

namespace {

using classtable::kContent;
using classtable::kFree;
using classtable::kName;
using classtable::kNumber;
constexpr int kBandRows = 31; // heading, "参考人数" and 29 bands
constexpr int kReportCols = 18;
constexpr int kMaxInterval = 32767;  // the interval is kept as a 16-bit count of points
constexpr int64_t kMaxBands = 10000; // rows of one band table: full marks 10000 at interval 1

using FieldValues = QList<QPair<QString, QVariant>>;

// Rewrites settings rows of the open class in one transaction: `edit` gets
// each settings row's number (the digits after "listKM") and the cursor, and
// returns the fields to write (none: the row is left alone). Either every
// row is written or none, and a failure says why.
Outcome editSettingsRows(ScoreModel& model,
                         const std::function<FieldValues(int, const store::Recordset&)>& edit) {
    return model.writeTogether([&](store::Recordset& rs, QString& why) {
        const int number = rs.fieldIndex(kNumber);
        for (; !rs.isEOF(); rs.MoveNext()) {
            const QString key = rs.text(number);
            if (!isSettingsRow(key)) continue;
            bool ok = false;
            const int r = QStringView(key).mid(kSettingsPrefix.size()).toInt(&ok);
            if (!ok) continue;
            const FieldValues values = edit(r, rs);
            if (values.isEmpty()) continue;
            rs.Edit();
            for (const auto& [field, value] : values)
                rs.SetField(field, value);
            if (!rs.Update()) {
                why = rs.lastError();
                return false;
            }
        }
        return true;
    });
}

QVariant amount(store::Currency c) {
    return QVariant::fromValue(c);
}

bool selected(const QString& weight) {
    return numberValue(weight) > 0;
}

} // namespace

// ------------------------------------------------------------ weighted total

CompositeForm compositeForm(const ClassData& s) {
    CompositeForm f;
    for (int k = 0; k < qBound(0, s.subjectCount, kSlots); ++k) {
        f.captions << s.subjectNames[k] + QStringLiteral("卷面分 X");
        f.rows << FormulaRow{s.subjectWeights[k].raw() > 0, s.subjectWeights[k].toString()};
    }
    f.title = s.totalTitle;
    return f;
}

Outcome saveCompositeFormula(ScoreModel& model, const QString& titleText, const QList<FormulaRow>& rows) {
    const int n = qBound(0, model.classData().subjectCount, kSlots);
    std::array<store::Currency, kSlots> weights{};
    for (int k = 0; k < n && k < rows.size(); ++k) {
        if (!rows[k].checked) continue;
        const auto w = parseAmount(rows[k].weight);
        if (!w) return Outcome::fail(Reason::Invalid, msg::kNumberOnly);
        weights[k] = *w;
    }
    const QString title = titleText.trimmed();
    // Subject k is the k-th slot in use; its weight goes to that slot's row,
    // so a free slot between subjects never takes another subject's weight.
    int subject = 0;
    const Outcome out = editSettingsRows(model, [&](int r, const store::Recordset& rs) {
        FieldValues v;
        if (r == 8) v << qMakePair(kContent, QVariant(title));
        if (r < kSlots && rs.text(kName).trimmed() != kFree) {
            if (subject < n) v << qMakePair(QStringLiteral("js2"), amount(weights[subject]));
            ++subject;
        }
        return v;
    });
    model.LoadSettings();
    return out;
}

// ------------------------------------------------------------ points

PointsForm pointsForm(const ClassData& s) {
    PointsForm f;
    const int levels = qBound(0, s.levelCount, kLevelRows);
    for (int p = 0; p <= levels; ++p) {
        f.captions << (p < levels ? s.levelTitles[p].trimmed() + QStringLiteral("率 X")
                                  : QStringLiteral("平均分 X"));
        f.rows << FormulaRow{selected(s.pointWeights[p]), s.pointWeights[p]};
    }
    f.participation = FormulaRow{selected(s.pointWeights[9]), s.pointWeights[9]};
    return f;
}

Outcome savePointsFormula(ScoreModel& model, const QList<FormulaRow>& rows, const FormulaRow& participation) {
    const int levels = qBound(0, model.classData().levelCount, kLevelRows);
    // Rows 0..levels-1 are the level rates, row `levels` the average.
    std::array<store::Currency, kLevelRows + 1> weights{};
    for (int p = 0; p <= levels && p < rows.size(); ++p) {
        if (!rows[p].checked) continue;
        const auto w = parseAmount(rows[p].weight);
        if (!w) return Outcome::fail(Reason::Invalid, msg::kNumberOnly);
        weights[p] = *w;
    }
    store::Currency expected;
    if (participation.checked) {
        const auto a = parseAmount(participation.weight);
        if (!a) return Outcome::fail(Reason::Invalid, msg::kNumberOnly);
        expected = *a;
    }
    // Level p is the p-th level row in use, as LoadSettings numbers them.
    int level = 0;
    const Outcome out = editSettingsRows(model, [&](int r, const store::Recordset& rs) {
        FieldValues v;
        const QString js1 = QStringLiteral("js1");
        if (r < kLevelRows && rs.text(kContent).trimmed() != kFree) {
            if (level < levels) v << qMakePair(js1, amount(weights[level]));
            ++level;
        } else if (r == 8) {
            v << qMakePair(js1, amount(weights[levels]));
        } else if (r == 9) {
            v << qMakePair(js1, amount(expected));
        }
        return v;
    });
    model.LoadSettings();
    return out;
}

// ------------------------------------------------------------ per-subject report

namespace {

// The levels whose rate enters the points, in level order.
QList<int> selectedLevels(const ClassData& s) {
    QList<int> out;
    for (int p = 0; p < qBound(0, s.levelCount, kLevelRows); ++p)
        if (selected(s.pointWeights[p])) out << p;
    return out;
}

int averageSlot(const ClassData& s) {
    return qBound(0, s.levelCount, kLevelRows);
}

} // namespace

void ReportHeading(ScoreModel& model) {
    const ClassData& s = model.classData();
    shell::Grid& g = ScoreModelAccess::scoreGrid(model);
    const QList<int> levels = selectedLevels(s);
    const int pointsCol = 2 * int(levels.size()) + 7;
    // Six or more selected levels need columns past the usual eighteen, and
    // thirteen subjects fit the usual 25 rows: grow rather than cut off.
    g.reset(qMax(kTableRows, s.subjectCount + 1), qMax(kReportCols, pointsCol + 1));
    g.setRowHeight(0, 600);
    g.setWordWrap(true);
    g.setText(0, 1, QStringLiteral("科目"));
    if (selected(s.pointWeights[9])) {
        g.setText(0, 2, QStringLiteral("应考人数"));
        g.setText(0, 3, QStringLiteral("参考人数"));
        g.setText(0, 4, QStringLiteral("参考率%"));
    }
    if (selected(s.pointWeights[averageSlot(s)])) {
        g.setText(0, 5, QStringLiteral("总分"));
        g.setText(0, 6, QStringLiteral("平均分"));
    }
    int j = 0;
    for (int p : levels) {
        const QString title = s.levelTitles[p].trimmed();
        g.setText(0, 2 * j + 7, title + QStringLiteral("人数"));
        g.setText(0, 2 * j + 8, title + QStringLiteral("率%"));
        ++j;
    }
    g.setText(0, pointsCol, QStringLiteral("单科积分"));
    g.setColWidth(0, 420);
    g.setColWidth(1, 950);
    for (int c = 2; c < g.cols(); ++c)
        g.setColWidth(c, 680);
    g.setColWidth(pointsCol, 1000);
    g.setColAlign(1, shell::Grid::Align::Left);
    for (int r = 1; r < g.rows(); ++r)
        g.setRowHeight(r, kRowHeight);
    model.gridChanged();
}

void SubjectReport(ScoreModel& model) {
    const std::vector<StudentRow> students = loadStudents(model);
    const ClassData& s = model.classData();
    shell::Grid& g = ScoreModelAccess::scoreGrid(model);
    const int n = qBound(0, s.subjectCount, kSlots);
    const int levels = qBound(0, s.levelCount, kLevelRows);
    const QList<int> chosen = selectedLevels(s);
    const int pointsCol = 2 * int(chosen.size()) + 7;
    g.ensureRows(n + 1, kRowHeight);
    if (g.cols() <= pointsCol) g.setCols(pointsCol + 1);

    const bool participation = selected(s.pointWeights[9]);
    const double expected = numberValue(s.pointWeights[9]);
    const bool average = selected(s.pointWeights[averageSlot(s)]);
    const int N = int(students.size());

    for (int k = 0; k < n; ++k) {
        const int row = k + 1;
        WideAmount sum; // a grade's scores can sum past a stored amount's range
        std::array<int, kLevelRows> c{};
        std::array<double, kLevelRows> line{};
        for (int p = 0; p < levels; ++p)
            line[p] = levelLine(s, p, k);
        for (const StudentRow& st : students) {
            const store::Currency score = st.score[k];
            sum += WideAmount(score);
            const double v = score.toDouble();
            // Below the pass line a student counts for the failing level only;
            // at or above it for every level whose line the score reaches, so
            // the pass rate includes the good and the excellent students.
            if (levels < 2 || v < line[1]) {
                if (levels > 0) ++c[0];
            } else {
                for (int p = 1; p < levels; ++p)
                    if (v >= line[p]) ++c[p];
            }
        }
        g.setText(row, 1, s.subjectNames[k]);
        if (participation) {
            g.setText(row, 2, s.pointWeights[9]);
            g.setText(row, 3, QString::number(N));
            g.setText(row, 4, shell::numberText(double(N) / expected * 100.0));
        }
        if (average) {
            g.setText(row, 5, sum.toString());
            g.setText(row, 6, N > 0 ? shell::numberText(sum.toDouble() / N) : QString());
        }
        WideAmount h;
        int j = 0;
        for (int p : chosen) {
            g.setText(row, 2 * j + 7, QString::number(c[p]));
            if (N > 0) {
                const double rate = double(c[p]) / N * 100.0;
                g.setText(row, 2 * j + 8, shell::numberText(rate));
                h += WideAmount::fromDouble(numberValue(s.pointWeights[p]) * rate / 100.0)
                         .value_or(WideAmount());
            } else {
                g.setText(row, 2 * j + 8, QString());
            }
            ++j;
        }
        // 单科积分 = (average + the weighted rates) x candidates / expected
        // candidates. Without students or without an expected count there is
        // nothing to divide by: the cell stays empty.
        QString points;
        if (N > 0 && expected > 0) {
            points = shell::numberText((sum.dividedBy(N) + h).times(N).toDouble() / expected);
        }
        g.setText(row, pointsCol, points);
    }
    widenToFit(g, 1);
    model.gridChanged();
}

void ShowSubjectReport(ScoreModel& model) {
    ReportHeading(model);
    SubjectReport(model);
    model.setPrintTitle(model.className() + QStringLiteral("各科单科积分表"));
}

// ------------------------------------------------------------ grade levels and bands

Outcome storeLevel(ScoreModel& model, int chosenLevel, const QString& titleText, const QString& startText) {
    // The combo holds one entry per level row and one more "---"; that last
    // position is row 8, the total's title, which is not a level.
    if (chosenLevel < 0 || chosenLevel >= kLevelRows)
        return Outcome::fail(Reason::NotChosen, msg::kLevelNotChosen);
    QString title = titleText.trimmed();
    QString start = startText.trimmed();
    store::Currency startValue;
    if (title.isEmpty()) {
        title = start = kFree; // the level is taken out of use
    } else {
        const auto v = parseAmount(start);
        if (!v) return Outcome::fail(Reason::Invalid, msg::kLevelWrongType);
        startValue = *v;
    }
    const Outcome out = editSettingsRows(model, [&](int r, const store::Recordset&) {
        FieldValues v;
        if (r == chosenLevel)
            v << qMakePair(kContent, QVariant(title)) << qMakePair(QStringLiteral("js0"), amount(startValue));
        return v;
    });
    model.LoadSettings();
    return out;
}

Outcome storeBandInterval(ScoreModel& model, QString& box) {
    if (box.trimmed().isEmpty()) return Outcome::fail(Reason::NotChosen, msg::kLevelNotChosen);
    auto v = parseAmount(box);
    if (!v || v->toDouble() > kMaxInterval) return Outcome::fail(Reason::Invalid, msg::kLevelWrongType);
    if (v->raw() < store::Currency::Scale) {
        box = QStringLiteral("1");
        v = store::Currency::fromInt(1);
    }
    const store::Currency interval = *v;
    const Outcome out = editSettingsRows(model, [&](int r, const store::Recordset&) {
        FieldValues f;
        if (r == 9) f << qMakePair(QStringLiteral("js0"), amount(interval));
        return f;
    });
    model.LoadSettings();
    return out;
}

void BandTableHeading(ScoreModel& model) {
    const int n = qBound(0, model.classData().subjectCount, kSlots);
    shell::Grid& g = ScoreModelAccess::scoreGrid(model);
    g.reset(kBandRows, n > 0 ? 2 * n + 1 : kReportCols);
    g.setWordWrap(false);
    g.setColWidth(0, 1200);
    g.setText(0, 0, QStringLiteral("分数段"));
    for (int c = 1; c < g.cols(); ++c)
        g.setColWidth(c, 400);
    for (int k = 0; k < n; ++k) {
        g.setText(0, 2 * k + 1, model.classData().subjectNames[k]);
        g.setColWidth(2 * k + 1, 600);
        g.setText(0, 2 * k + 2, QStringLiteral("占百分比"));
        g.setColWidth(2 * k + 2, 1000);
    }
    g.setColAlign(1, shell::Grid::Align::Left);
    for (int r = 1; r < g.rows(); ++r)
        g.setRowHeight(r, kRowHeight);
    model.gridChanged();
}

void BandReport(ScoreModel& model) {
    const ClassData& s = model.classData();
    const int interval = s.bandInterval;
    // An interval below 1 never comes from the band frame; there are no bands
    // to count then (and nothing to divide by).
    if (interval < 1) return;
    const std::vector<StudentRow> students = loadStudents(model);
    shell::Grid& g = ScoreModelAccess::scoreGrid(model);
    const int n = qBound(0, s.subjectCount, kSlots);
    if (g.cols() < 2 * n + 1) g.setCols(2 * n + 1);
    const int N = int(students.size());
    const int64_t width = int64_t(interval) * store::Currency::Scale;
    QStringList tooMany;
    for (int k = 0; k < n; ++k) {
        const int64_t full = s.fullMarks[k].raw();
        const int64_t wanted = full < 0 ? 0 : full / width + 1;
        // Full marks far beyond any paper would make millions of rows: such
        // a subject is left out, and the status bar says so.
        if (wanted > kMaxBands) {
            tooMany << s.subjectNames[k];
            continue;
        }
        const int bands = int(wanted);
        if (N < 1 || bands < 1) continue;
        std::vector<int> b(size_t(bands), 0);
        for (const StudentRow& st : students) {
            const int64_t raw = st.score[k].raw();
            if (raw < 0) continue;
            const int64_t e = raw / width;
            if (e < bands) ++b[size_t(e)];
        }
        // More bands than the table's 29 rows: the table grows.
        g.ensureRows(bands + 2, kRowHeight);
        g.setText(1, 0, QStringLiteral("参考人数"));
        g.setText(1, 2 * k + 1, QString::number(N));
        for (int e = 0; e < bands; ++e) {
            const double low = double(e) * interval;
            g.setText(e + 2, 0, shell::numberText(low) + u'-' + shell::numberText(low + interval - 0.1));
            if (b[e] > 0) {
                g.setText(e + 2, 2 * k + 1, QString::number(b[e]));
                g.setText(e + 2, 2 * k + 2, shell::numberText(double(b[e]) / N * 100.0) + u'%');
            } else {
                g.setText(e + 2, 2 * k + 1, QString());
                g.setText(e + 2, 2 * k + 2, QString());
            }
        }
    }
    if (!tooMany.isEmpty())
        model.setStatusPanel(0, QStringLiteral("%1的卷面总分按这个间隔要分成%2段以上，没有统计分数段。")
                                    .arg(tooMany.join(u'、'))
                                    .arg(kMaxBands));
    widenToFit(g, 1);
    model.gridChanged();
}

void ShowBandReport(ScoreModel& model) {
    BandTableHeading(model);
    BandReport(model);
    model.setPrintTitle(model.className() + QStringLiteral("成绩分数段"));
}

} // namespace scores
