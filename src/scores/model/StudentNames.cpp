#include "StudentNames.h"

#include <QHash>

namespace scores {

namespace {

QHash<QString, int> nameCounts(const QList<NamedStudent>& students) {
    QHash<QString, int> counts;
    for (const NamedStudent& s : students)
        ++counts[s.name];
    return counts;
}

QString shown(const NamedStudent& s, const QHash<QString, int>& counts) {
    return counts.value(s.name) > 1 ? studentLabel(s.name, s.number) : s.name;
}

} // namespace

QString studentLabel(const QString& name, const QString& number) {
    return name + u'（' + number + u'）';
}

QString shownName(const QList<NamedStudent>& students, qsizetype i) {
    if (i < 0 || i >= students.size()) return {};
    return shown(students[i], nameCounts(students));
}

QStringList nameLabels(const QList<NamedStudent>& students) {
    const QHash<QString, int> counts = nameCounts(students);
    QStringList out;
    for (const NamedStudent& s : students)
        if (!s.name.isEmpty()) out << shown(s, counts);
    return out;
}

NamePick pickByName(const QList<NamedStudent>& students, const QString& text) {
    const QHash<QString, int> counts = nameCounts(students);
    // As the list shows it. Two entries can only look alike when the
    // students share name and 学号 as well; the first of them is meant, as
    // everywhere a 学号 is held twice.
    for (qsizetype i = 0; i < students.size(); ++i)
        if (!students[i].name.isEmpty() && shown(students[i], counts) == text) return {i, 1};
    // A unique name typed with its 学号.
    for (qsizetype i = 0; i < students.size(); ++i)
        if (studentLabel(students[i].name, students[i].number) == text) return {i, 1};
    NamePick none;
    none.holders = counts.value(text);
    return none;
}

} // namespace scores
