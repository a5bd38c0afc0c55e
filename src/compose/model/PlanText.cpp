#include "PlanText.h"

#include "shell/core/Units.h"

namespace compose {

namespace {
constexpr int kMaxWeeks = 28;

bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}
bool isBlank(QStringView paragraph) {
    return paragraph.trimmed().isEmpty();
}
} // namespace

QString monthHeading(int month) {
    return QStringLiteral("月份：") + QString::number(month);
}

QString weekHeading(int week) {
    return QStringLiteral("第%1周").arg(week);
}

int findHeading(const QString& article, const QString& heading) {
    if (heading.isEmpty()) return -1;
    for (qsizetype at = article.indexOf(heading); at >= 0; at = article.indexOf(heading, at + 1)) {
        const bool startsParagraph = at == 0 || article[at - 1] == u'\n';
        const qsizetype after = at + heading.size();
        const bool whole = after >= article.size() || !isDigit(article[after]);
        if (startsParagraph && whole) return int(at);
    }
    return -1;
}

namespace {
Insertion appendHeading(const QString& article, const QString& heading, const QString& item) {
    return {int(article.size()), u'\n' + heading + QStringLiteral("\n*") + item};
}
} // namespace

Insertion monthItem(const QString& article, int headingNumber, const QString& item) {
    const QString h = monthHeading(headingNumber);
    const int at = findHeading(article, h);
    if (at < 0) return appendHeading(article, h, item);
    // Below the heading's own line, whatever the teacher wrote after it.
    qsizetype end = article.indexOf(u'\n', at);
    if (end < 0) end = article.size();
    return {int(end), QStringLiteral("\n*") + item};
}

Insertion weekItem(const QString& article, int headingNumber, const QString& item) {
    const QString h = weekHeading(headingNumber);
    const int at = findHeading(article, h);
    if (at <= 0) return appendHeading(article, h, item);
    // Walk back over the blank paragraphs between the picked week's block
    // and the next heading.
    qsizetype end = at - 1; // the break before the heading
    while (end > 0) {
        const qsizetype start = article.lastIndexOf(u'\n', end - 1) + 1;
        if (!isBlank(QStringView(article).mid(start, end - start))) break;
        end = start - 1;
    }
    if (end <= 0) return appendHeading(article, h, item);
    return {int(end), QStringLiteral("\n*") + item};
}

WeekSchedule weekSchedule(const QDate& start, const QDate& end) {
    WeekSchedule s;
    s.text = QStringLiteral("\n具体工作安排如下：");
    // Sunday on or before the start (Qt counts Monday 1 … Sunday 7).
    QDate sunday = start.addDays(-(start.dayOfWeek() % 7));
    for (int n = 1; n <= kMaxWeeks && sunday <= end; ++n) {
        s.text += QStringLiteral("\n第%1周:%2----%3\n")
                      .arg(n)
                      .arg(shell::dateText(sunday), shell::dateText(sunday.addDays(6)));
        s.weeks = n;
        sunday = sunday.addDays(7);
    }
    return s;
}

shell::Outcome weekSchedule(const QString& startText, const QString& endText, WeekSchedule* out) {
    const QDate start = shell::parseDateText(startText);
    if (!start.isValid())
        return shell::Outcome::fail(
            shell::Reason::Invalid,
            QStringLiteral("开学时间“%1”不是日期，请重写！").arg(startText.trimmed()));
    const QDate end = shell::parseDateText(endText);
    if (!end.isValid())
        return shell::Outcome::fail(shell::Reason::Invalid,
                                    QStringLiteral("期末时间“%1”不是日期，请重写！").arg(endText.trimmed()));
    if (out) *out = weekSchedule(start, end);
    return shell::Outcome::done();
}

int leadingNumber(const QString& text) {
    const QString t = text.trimmed();
    qsizetype n = 0;
    while (n < t.size() && isDigit(t[n]) && n < 9)
        ++n;
    return n == 0 ? 0 : t.left(n).toInt();
}

} // namespace compose
