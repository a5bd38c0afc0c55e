// Score entry: one score at a time into the chosen subject's field of the
// student chosen by number or by name; the score table is refilled at once.

#include "ScoreModel.h"

#include "StudentNames.h"
#include "classes/model/ClassTable.h"

namespace scores {

namespace {
using classtable::kName;
using classtable::kNumber;

QStringList studentField(store::Recordset* rs, const QString& field) {
    QStringList out;
    if (!rs) return out;
    const int number = rs->fieldIndex(kNumber);
    const int f = rs->fieldIndex(field);
    for (; !rs->isEOF(); rs->MoveNext()) {
        if (isSettingsRow(rs->text(number))) continue;
        const QString v = rs->text(f);
        if (!v.isEmpty()) out << v;
    }
    return out;
}
} // namespace

QStringList ScoreModel::studentNumbers() {
    return studentField(readClass(), kNumber);
}
QStringList ScoreModel::studentNames() {
    store::Recordset* rs = readClass();
    return rs ? nameLabels(namedStudents(*rs)) : QStringList();
}

QList<NamedStudent> ScoreModel::namedStudents(store::Recordset& rs) {
    QList<NamedStudent> out;
    const classtable::Columns col(rs);
    classtable::forEachStudent(rs, col, [&](const QString& number) {
        out.append({rs.text(col.name), number});
    });
    return out;
}

bool ScoreModel::moveToStudent(store::Recordset& rs, qsizetype index) {
    const int number = rs.fieldIndex(kNumber);
    qsizetype i = 0;
    for (rs.MoveFirst(); !rs.isEOF(); rs.MoveNext()) {
        if (isSettingsRow(rs.text(number))) continue;
        if (i++ == index) return true;
    }
    return false;
}

bool ScoreModel::findByName(store::Recordset& rs, const QString& text, Outcome& refusal) {
    const NamePick pick = pickByName(namedStudents(rs), text);
    if (pick.index >= 0 && moveToStudent(rs, pick.index)) return true;
    refusal = pick.holders > 1 && !text.isEmpty()
                  ? Outcome::fail(Reason::Invalid, msg::sameNameInList(pick.holders, text))
                  : Outcome::fail(Reason::NotFound, msg::kNoSuchNumber);
    return false;
}

QString ScoreModel::studentText(int row, bool byName) {
    const QString number = view_.text(row, 2);
    if (!byName) return number;
    const QString name = view_.text(row, 1);
    // The name as the by-name list shows it, so that the entry picks this
    // student and not another of the same name.
    store::Recordset* rs = readClass();
    if (!rs || name.isEmpty()) return name;
    int holders = 0;
    const classtable::Columns col(*rs);
    classtable::forEachStudent(*rs, col, [&](const QString&) {
        if (rs->text(col.name) == name) ++holders;
    });
    return holders > 1 ? studentLabel(name, number) : name;
}

void ScoreModel::chooseEntrySubject(int index) {
    if (index >= 0) viewState_.entrySubject = index;
}

Outcome ScoreModel::storeScore(const QString& subjectText, bool byName, const QString& studentText,
                               const QString& scoreBox) {
    const QString subject = subjectText.trimmed();
    if (subject.isEmpty()) return Outcome::fail(Reason::Invalid, msg::kNoEntrySubject);
    // The subject chosen last stays while the combo shows its name; a name
    // typed into the combo chooses that subject; any other text is refused.
    const int n = classData_.subjectCount;
    int k = viewState_.entrySubject;
    if (k < 0 || k >= n || classData_.subjectNames[k].trimmed() != subject) {
        k = -1;
        for (int i = 0; i < n; ++i)
            if (classData_.subjectNames[i].trimmed() == subject) {
                k = i;
                break;
            }
        if (k < 0) return Outcome::fail(Reason::Invalid, msg::kUnknownSubject);
        viewState_.entrySubject = k;
    }

    Outcome out;
    QString score = scoreBox.trimmed();
    if (score.isEmpty()) {
        out.messages << msg::kEmptyScore;
        score = QStringLiteral("0");
    }
    if (!store::Currency::parse(score)) {
        out.messages << msg::kNumberOnly;
        out.reason = Reason::Invalid;
        return out;
    }
    const QString key = studentText.trimmed();
    const Outcome written = editClass([&](store::Recordset& rs) {
        viewState_.searchKey = key;
        if (byName) {
            Outcome refused;
            if (!findByName(rs, key, refused)) return refused;
        } else if (!findStudent(rs, kNumber, key)) {
            return Outcome::fail(Reason::NotFound, msg::kNoSuchNumber);
        }
        rs.Edit();
        rs.SetField(QStringLiteral("js%1").arg(k), score);
        if (!rs.Update()) return Outcome::storeFailed(rs.lastError());
        return Outcome::done(msg::kScoreStored);
    });
    // A zero put in for an empty box is said first, then what became of it.
    out.ok = written.ok;
    out.reason = written.reason;
    out.messages << written.messages;
    if (!out.ok) return out;
    FillScoreGrid();
    return out;
}

} // namespace scores
