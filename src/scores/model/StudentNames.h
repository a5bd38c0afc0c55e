#pragma once

// How the by-name lists of the score manager (score entry, find) name a
// student. A class may hold two students of one name (two 王伟); the list
// then shows each with the 学号 in brackets, "王伟（2023301）", and an entry
// picks exactly the student it shows, never merely the first of that name.

#include <QList>
#include <QString>
#include <QStringList>

namespace scores {

struct NamedStudent {
    QString name;
    QString number; // "编号", shown as 学号
};

// "王伟（2023301）".
QString studentLabel(const QString& name, const QString& number);

// What the list shows for `students[i]`: the name alone when no other
// student has it, else the name with the 学号.
QString shownName(const QList<NamedStudent>& students, qsizetype i);

// The by-name list: one entry per student with a name, in stored order.
QStringList nameLabels(const QList<NamedStudent>& students);

struct NamePick {
    qsizetype index = -1; // the student picked; -1 when none or not one
    int holders = 0;      // students holding a bare name typed for several of them
};

// The student that the entry `text` (trimmed) picks: the one the list shows
// under that text, or the one whose name with 学号 it is; a bare name held
// by several students picks none of them (holders then says how many).
NamePick pickByName(const QList<NamedStudent>& students, const QString& text);

} // namespace scores
