#include "Calendar.h"

#include <QDate>

namespace shell {

namespace {
constexpr const char16_t* kMonths[12] = {u"一月", u"二月", u"三月", u"四月",   u"五月",   u"六月",
                                         u"七月", u"八月", u"九月", u"十月", u"十一月", u"十二月"};
} // namespace

std::optional<MonthLayout> layoutMonth(int year, int month) {
    if (year < 1 || year > 9999 || month < 1 || month > 12) return std::nullopt;
    const QDate first(year, month, 1);
    if (!first.isValid()) return std::nullopt;
    MonthLayout m;
    m.firstWeekday = first.dayOfWeek() % 7 + 1; // Qt: Monday 1 … Sunday 7
    m.days = first.daysInMonth();
    return m;
}

QString monthName(int month) {
    return month >= 1 && month <= 12 ? QString::fromUtf16(kMonths[month - 1]) : QString();
}

int monthNumber(const QString& name) {
    for (int i = 0; i < 12; ++i)
        if (name == QStringView(kMonths[i])) return i + 1;
    return 0;
}

std::optional<int> parseYear(const QString& text) {
    bool ok = false;
    const int y = text.trimmed().toInt(&ok);
    if (!ok || y < 1 || y > 9999) return std::nullopt;
    return y;
}

} // namespace shell
