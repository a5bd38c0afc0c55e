#include "ScoreAnalysis.h"

#include "classes/model/ClassTable.h"

#include "shell/core/Units.h"

#include <cmath>

namespace scores {

double numberValue(const QString& text) {
    int i = 0;
    const int size = int(text.size());
    while (i < size && text[i].isSpace())
        ++i;
    const int start = i;
    if (i < size && (text[i] == u'-' || text[i] == u'+')) ++i;
    bool digits = false;
    while (i < size && text[i] >= u'0' && text[i] <= u'9')
        ++i, digits = true;
    if (i < size && text[i] == u'.') {
        ++i;
        while (i < size && text[i] >= u'0' && text[i] <= u'9')
            ++i, digits = true;
    }
    if (!digits) return 0;
    bool ok = false;
    const double v = QStringView(text).mid(start, i - start).toDouble(&ok);
    return ok && std::isfinite(v) ? v : 0;
}

std::optional<double> cellNumber(const QString& text) {
    // Grid cells are nearly always plain decimals ("85", "84.3333"): read
    // those directly, as sorting reads thousands of them per click. Integer
    // mantissa over a power of ten is exact below 2^53, so the result is the
    // same as the general reading below.
    {
        const int size = int(text.size());
        int i = 0;
        const bool negative = size > 0 && text[0] == u'-';
        if (negative) ++i;
        int64_t mantissa = 0;
        int digits = 0, decimals = 0;
        bool point = false, plain = i < size;
        for (; i < size && plain; ++i) {
            const char16_t ch = text[i].unicode();
            if (ch >= u'0' && ch <= u'9') {
                // Past 15 digits the general reading below takes over; the
                // mantissa stops here so that it can never overflow.
                if (++digits > 15) break;
                mantissa = mantissa * 10 + (ch - u'0');
                if (point) ++decimals;
            } else if (ch == u'.' && !point) {
                point = true;
            } else {
                plain = false;
            }
        }
        if (plain && digits > 0 && digits <= 15) {
            static constexpr double powers[] = {1,   1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                                1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
            const double v = double(mantissa) / powers[decimals];
            return negative ? -v : v;
        }
    }
    const QString t = text.trimmed();
    if (t.isEmpty()) return std::nullopt;
    bool ok = false;
    const double v = t.toDouble(&ok);
    if (!ok || !std::isfinite(v)) return std::nullopt;
    return v;
}

std::optional<store::Currency> parseAmount(const QString& text) {
    const auto v = store::Currency::parse(text);
    if (!v || v->raw() < 0) return std::nullopt;
    return v;
}

std::vector<StudentRow> loadStudents(ScoreModel& model) {
    std::vector<StudentRow> out;
    store::Recordset* rs = model.readClass();
    if (!rs) return out;
    const int n = qBound(0, model.classData().subjectCount, kSlots);
    const classtable::Columns col(*rs);
    out.reserve(size_t(rs->RecordCount()));
    classtable::forEachStudent(*rs, col, [&](const QString& number) {
        StudentRow row;
        row.name = rs->text(col.name);
        row.number = number;
        for (int k = 0; k < n; ++k) {
            if (const auto c = rs->currency(col.js[k])) {
                row.score[k] = *c;
                row.scoreText[k] = c->toString();
            }
        }
        out.push_back(std::move(row));
    });
    return out;
}

double levelLine(const ClassData& s, int p, int k) {
    if (s.levelCount <= 0) return 0;
    p = qBound(0, p, s.levelCount - 1);
    return numberValue(s.levelStarts[p]) * s.fullMarks[k].toDouble() / 100.0;
}

WideAmount weightedTotal(const ClassData& s, const StudentRow& row) {
    return weightedTotal(s, row.score);
}

void widenToFit(shell::Grid& g, int from) {
    for (int c = 0; c < g.cols(); ++c) {
        int need = 0;
        for (int r = from; r < g.rows(); ++r)
            need = qMax(need, textTwips(g.text(r, c)));
        if (need > g.colWidth(c)) g.setColWidth(c, need);
    }
}

} // namespace scores
