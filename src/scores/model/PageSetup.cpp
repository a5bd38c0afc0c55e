#include "PageSetup.h"

#include "ScorePrint.h"
#include "classes/model/ClassTable.h"

#include "shell/core/Units.h"

namespace scores {

namespace {

struct Paper {
    const char* name;
    int width, height;
};
// The blank after "8" and the trailing blank of that entry are part of its text.
constexpr Paper kPapers[] = {
    {"A3 297 x 420 毫米", 297, 420},    {"A4 210 x 297 毫米", 210, 297},
    {"A5 148 x 210 毫米", 148, 210},    {"B5 182 x 257 毫米", 182, 257},
    {"8 开 260 x 368 毫米 ", 260, 368}, {"16开 184 x 260 毫米", 184, 260},
    {"32开 130 x 184 毫米", 130, 184},  {"自定义", 210, 297},
};
constexpr int kPaperCount = int(sizeof(kPapers) / sizeof(kPapers[0]));

// Twips as a whole number of ten-thousandths of a twip: millimetres held
// in ten-thousandths times 56.7 is exact this way, so the width that just
// fits is never refused by a rounding error.
__int128 twipsTimes1e5(store::Currency mm) {
    return __int128(mm.raw()) * 567;
}

} // namespace

const QStringList& paperNames() {
    static const QStringList names = [] {
        QStringList out;
        for (const Paper& p : kPapers)
            out << QString::fromUtf8(p.name);
        return out;
    }();
    return names;
}

QSize paperSizeMm(int index) {
    if (index < 0 || index >= kPaperCount) index = kCustomPaper;
    return {kPapers[index].width, kPapers[index].height};
}

PageSetupForm pageSetupForm(const ClassData& data) {
    PageSetupForm f;
    const int paper = data.pageInts[7];
    f.paperIndex = paper >= 0 && paper < kPaperCount ? paper : kCustomPaper;
    f.orientation = data.pageInts[8] == 1 ? Orientation::Landscape : Orientation::Portrait;
    for (int i = 1; i <= 6; ++i)
        f.boxes[size_t(i)] = data.pageValues[size_t(i)].toString();
    f.boxes[7] = data.pageValues[9].toString();
    return f;
}

Outcome storePageSetup(ScoreModel& model, const PageSetupInput& input) {
    if (!model.classOpen()) return Outcome::fail(Reason::NotOpen, msg::kNoClassOpen);

    // Every box a plain number: the key filter lets "/" and a second "."
    // through, and an empty box would otherwise be stored as 0.
    std::array<store::Currency, 8> v{};
    for (int i = 1; i <= 7; ++i) {
        const QString text = input.boxes[size_t(i)].trimmed();
        const bool plain = !text.isEmpty() && !text.startsWith(u'+') && !text.startsWith(u'-');
        const auto value = plain ? store::Currency::parse(text) : std::nullopt;
        if (!value) return Outcome::fail(Reason::Invalid, msg::kPageNotNumber);
        v[size_t(i)] = *value;
    }
    for (int i = 1; i <= 6; ++i)
        if (v[size_t(i)].raw() > store::Currency::fromInt(printing::kMaxPaperMm).raw())
            return Outcome::fail(Reason::Invalid, msg::kPageTooLarge);
    // Rows per page: a whole number from 1. None would never end a page.
    const store::Currency rows = v[7];
    if (rows.raw() < store::Currency::Scale || rows.raw() % store::Currency::Scale != 0)
        return Outcome::fail(Reason::Invalid, msg::kPageRowsWhole);

    const store::Currency top = v[1], bottom = v[2], left = v[3], right = v[4], width = v[5], height = v[6];
    const shell::Grid& grid = model.scoreGrid();
    __int128 content = 0;
    for (int c = 0; c < grid.cols(); ++c)
        content += qMax(0, grid.colWidth(c));
    const __int128 scale = __int128(store::Currency::Scale) * 10; // see twipsTimes1e5
    if (content * scale > twipsTimes1e5(width) - twipsTimes1e5(left) - twipsTimes1e5(right))
        return Outcome::fail(Reason::Invalid, msg::kContentTooWide);
    const __int128 contentHeight =
        printing::kHeadingGap + __int128(printing::kRowHeight) * (rows.raw() / store::Currency::Scale);
    if (contentHeight * scale > twipsTimes1e5(height) - twipsTimes1e5(top) - twipsTimes1e5(bottom))
        return Outcome::fail(Reason::Invalid, msg::kContentTooHigh);

    std::array<QVariant, kSlots> values;
    for (int i = 1; i <= 6; ++i)
        values[size_t(i)] = QVariant::fromValue(v[size_t(i)]);
    values[7] = QVariant::fromValue(store::Currency::fromInt(qBound(0, input.paperIndex, kPaperCount - 1)));
    values[8] = QVariant::fromValue(store::Currency::fromInt(int(input.orientation)));
    values[9] = QVariant::fromValue(rows);

    const Outcome out = model.writeTogether([&](store::Recordset& rs, QString& why) {
        const int number = rs.fieldIndex(classtable::kNumber);
        const int page = rs.fieldIndex(QStringLiteral("js4"));
        // The settings rows are the first thirteen records; a record whose
        // "编号" is not its own position keeps what it holds. Values 0 and
        // 10 to 12 are not the page setup's and are left alone.
        for (int i = 0; i < kSlots && !rs.isEOF(); ++i, rs.MoveNext()) {
            if (!values[size_t(i)].isValid() || rs.text(number) != kSettingsPrefix + QString::number(i))
                continue;
            rs.Edit();
            rs.SetField(page, values[size_t(i)]);
            if (!rs.Update()) {
                why = rs.lastError();
                return false;
            }
        }
        return true;
    });
    model.LoadSettings();
    return out;
}

} // namespace scores
