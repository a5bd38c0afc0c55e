// Subjects and full marks in the thirteen settings-row slots. Deleting only
// frees a slot (its name becomes "000"); its full marks and the students'
// scores stay and come back with the next subject put into the slot.

#include "ScoreModel.h"

#include "classes/model/ClassTable.h"

#include "shell/core/TextRules.h"

namespace scores {

namespace {

using classtable::kName;
using classtable::kNumber;
const QString kFullMarks = QStringLiteral("js3");
using classtable::kFree;

bool boxesEmpty(const QString& nameBox, const QString& fullMarksBox) {
    return nameBox.trimmed().isEmpty() || fullMarksBox.trimmed().isEmpty();
}

// Moves to the settings row of `slot`; false when the table has none.
bool findSlot(store::Recordset& rs, int slot) {
    const QString key = kSettingsPrefix + QString::number(slot);
    const int number = rs.fieldIndex(kNumber);
    for (; !rs.isEOF(); rs.MoveNext())
        if (rs.text(number) == key) return true;
    return false;
}

// A subject name and full marks the slot can hold; empty when fine.
QString subjectProblem(const QString& name, const QString& fullMarks) {
    if (const QString why = shell::nameProblem(name, QStringLiteral("科目名称"), kNameChars); !why.isEmpty())
        return why;
    if (!store::Currency::parse(fullMarks)) return msg::kNumberOnly;
    return {};
}

} // namespace

Outcome ScoreModel::missingSlot(int slot) const {
    return Outcome::fail(
        Reason::Failed,
        ClassFiles::unreadableMessage(
            cls_.workingClass(),
            QStringLiteral("表中没有设置行“%1”。").arg(kSettingsPrefix + QString::number(slot))));
}

Outcome ScoreModel::addSubject(const QString& nameBox, const QString& fullMarksBox) {
    if (boxesEmpty(nameBox, fullMarksBox)) return Outcome::fail(Reason::Invalid, msg::kSubjectEmpty);
    const QString name = nameBox.trimmed();
    const QString marks = fullMarksBox.trimmed();
    if (const QString why = subjectProblem(name, marks); !why.isEmpty())
        return Outcome::fail(Reason::Invalid, why);
    bool stored = false;
    const Outcome out = editClass([&](store::Recordset& rs) {
        const int number = rs.fieldIndex(kNumber);
        const int nameField = rs.fieldIndex(kName);
        // The first free slot in row order: a gap left by a deletion is
        // filled before any slot after the last subject.
        for (; !rs.isEOF(); rs.MoveNext()) {
            if (!isSettingsRow(rs.text(number)) || rs.text(nameField) != kFree) continue;
            rs.Edit();
            rs.SetField(kName, name);
            rs.SetField(kFullMarks, marks);
            if (!rs.Update()) return Outcome::storeFailed(rs.lastError());
            stored = true;
            break;
        }
        return Outcome::done();
    });
    if (!out.ok) return out;
    LoadSettings();
    // A full class (thirteen subjects) stores nothing, without a message.
    return stored ? Outcome::done() : Outcome::fail(Reason::Invalid);
}

Outcome ScoreModel::changeSubject(int slot, const QString& nameBox, const QString& fullMarksBox) {
    if (boxesEmpty(nameBox, fullMarksBox)) return Outcome::fail(Reason::Invalid, msg::kSubjectEmpty);
    if (slot < 0 || slot >= kSlots) return Outcome::fail(Reason::NotChosen, msg::kSubjectNotChosen);
    const QString name = nameBox.trimmed();
    const QString marks = fullMarksBox.trimmed();
    if (const QString why = subjectProblem(name, marks); !why.isEmpty())
        return Outcome::fail(Reason::Invalid, why);
    const Outcome out = editClass([&](store::Recordset& rs) {
        if (!findSlot(rs, slot)) return missingSlot(slot);
        rs.Edit();
        rs.SetField(kName, name);
        rs.SetField(kFullMarks, marks);
        if (!rs.Update()) return Outcome::storeFailed(rs.lastError());
        return Outcome::done();
    });
    if (out.ok) LoadSettings();
    return out;
}

Outcome ScoreModel::deleteSubject(int slot, const QString& nameBox, const QString& fullMarksBox) {
    if (boxesEmpty(nameBox, fullMarksBox)) return Outcome::fail(Reason::Invalid, msg::kSubjectEmpty);
    if (slot < 0 || slot >= kSlots) return Outcome::fail(Reason::NotChosen, msg::kSubjectNotChosen);
    const Outcome out = editClass([&](store::Recordset& rs) {
        if (!findSlot(rs, slot)) return missingSlot(slot);
        rs.Edit();
        rs.SetField(kName, kFree);
        if (!rs.Update()) return Outcome::storeFailed(rs.lastError());
        return Outcome::done();
    });
    if (out.ok) LoadSettings();
    return out;
}

QString ScoreModel::fullMarksText(int slot) {
    // The full marks kept in the slot's own row, also for a free slot: a
    // subject put back into it gets them (and its old scores) again.
    if (slot < 0 || slot >= kSlots) return {};
    store::Recordset* rs = readClass();
    if (!rs || !findSlot(*rs, slot)) return {};
    return rs->text(kFullMarks);
}

} // namespace scores
