// Score entry: one score at a time into the chosen subject's field of the
// student chosen by number or by name; the score table is refilled at once.

#include "ScoreModel.h"

#include "ClassTable.h"

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
    return studentField(readClass(), kName);
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
        if (!findStudent(rs, byName ? kName : kNumber, key))
            return Outcome::fail(Reason::NotFound, msg::kNoSuchNumber);
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
