#include "Calendar.h"

#include <QDate>
#include <QLocale>

namespace shell {

namespace {
constexpr const char16_t* kMonths[12] = {u"一月", u"二月", u"三月", u"四月", u"五月",   u"六月",
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

QString clockFormat(const QLocale& locale) {
    const QString f = locale.timeFormat(QLocale::LongFormat);
    QString out;
    bool quoted = false; // text in quotes is shown as it is
    for (qsizetype i = 0; i < f.size(); ++i) {
        const QChar c = f[i];
        if (c == u'\'') quoted = !quoted;
        if (quoted || c != u't') {
            out += c;
            continue;
        }
        // The zone name, with the brackets some locales put round it.
        while (i + 1 < f.size() && f[i + 1] == u't')
            ++i;
        if (!out.isEmpty() && (out.back() == u'(' || out.back() == u'[')) {
            out.chop(1);
            if (i + 1 < f.size() && (f[i + 1] == u')' || f[i + 1] == u']')) ++i;
        }
    }
    return out.simplified();
}

} // namespace shell
