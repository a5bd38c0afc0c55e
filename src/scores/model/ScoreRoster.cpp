// Roster editing: students are added one by one or as a numbered batch,
// renamed, renumbered and deleted. Every change is written at once and the
// roster view is loaded again.

#include "ScoreAnalysis.h"

#include "ScoreModel.h"
#include "classes/model/ClassTable.h"

#include <cmath>

namespace scores {

namespace {

using classtable::kName;
using classtable::kNumber;
constexpr int kMaxBatch = 1000;

void setNewStudent(store::Recordset& rs, const QString& name, const QString& number) {
    rs.AddNew();
    rs.SetField(classtable::kContent, QStringLiteral("你"));
    rs.SetField(kName, name);
    rs.SetField(kNumber, number);
    for (int k = 0; k < kSlots; ++k)
        rs.SetField(QStringLiteral("js%1").arg(k), QStringLiteral("0"));
}

// A number the roster can hold: at most ten characters and never mistaken
// for a settings row. Empty when it can, else the refusal.
QString numberProblem(const QString& number) {
    if (const QString why = studentNumberProblem(number); !why.isEmpty()) return why;
    if (isSettingsRow(number)) return QStringLiteral("学生学号不能以“listKM”开头，请另写！");
    return {};
}

QString writeFailed(const store::Recordset& rs) {
    return Outcome::saveFailedText(rs.lastError());
}

} // namespace

bool ScoreModel::findStudent(store::Recordset& rs, const QString& field, const QString& value) {
    const int f = rs.fieldIndex(field);
    const int number = rs.fieldIndex(kNumber);
    for (; !rs.isEOF(); rs.MoveNext()) {
        if (isSettingsRow(rs.text(number))) continue;
        if (rs.text(f) == value) return true;
    }
    return false;
}

Outcome ScoreModel::rosterChanged(const QString& message) {
    LoadRoster();
    return Outcome::done(message);
}

Outcome ScoreModel::addStudent(const QString& nameBox, const QString& numberBox) {
    if (nameBox.isEmpty() || numberBox.isEmpty())
        return Outcome::fail(Reason::Invalid, msg::kNameOrNumberEmpty);
    const QString key = numberBox.trimmed();
    const QString name = nameBox.trimmed();
    if (const QString why = numberProblem(key); !why.isEmpty()) return Outcome::fail(Reason::Invalid, why);
    if (const QString why = studentNameProblem(name); !why.isEmpty())
        return Outcome::fail(Reason::Invalid, why);
    const Outcome out = editClass([&](store::Recordset& table) {
        store::Recordset* rs = &table;
        viewState_.searchKey = key;
        if (findStudent(*rs, kNumber, key)) return Outcome::fail(Reason::Exists, msg::kNumberExists);
        setNewStudent(*rs, name, key);
        if (!rs->Update()) return Outcome::fail(Reason::Failed, writeFailed(*rs));
        return Outcome::done();
    });
    return out.ok ? rosterChanged(msg::kAdded) : out;
}

Outcome ScoreModel::addBatch(const QString& firstBox, const QString& countBox) {
    const double count = numberValue(countBox);
    if (firstBox.isEmpty() || count < 2) return Outcome::fail(Reason::Invalid, msg::kBatchBad);
    const QString first = firstBox.trimmed();
    const std::optional<store::Currency> start = store::Currency::parse(first);
    if (!start) return Outcome::fail(Reason::Invalid, msg::kBatchFirstNotNumber);
    const double rounded = std::nearbyint(count); // halves to the even one
    if (rounded > kMaxBatch) return Outcome::fail(Reason::Invalid, msg::kBatchTooLarge);

    // Every number is made and checked before the first row is written.
    QStringList numbers{first};
    store::Currency next = *start;
    for (int i = 1; i < int(rounded); ++i) {
        // Past the largest amount there is no next number (and it would be
        // far too long for the field anyway).
        const auto following = store::Currency::add(next, store::Currency::fromInt(1));
        if (!following) return Outcome::fail(Reason::Invalid, msg::kNumberTooLong);
        next = *following;
        numbers << next.toString();
    }
    for (const QString& n : numbers)
        if (const QString why = numberProblem(n); !why.isEmpty()) return Outcome::fail(Reason::Invalid, why);

    const Outcome written = writeTogether([&](store::Recordset& rs, QString& why) {
        for (const QString& n : numbers) {
            setNewStudent(rs, QStringLiteral("XXX"), n);
            if (!rs.Update()) {
                why = rs.lastError();
                return false;
            }
        }
        return true;
    });
    if (!written.ok) return written;
    viewState_.searchKey = numbers.last();
    return rosterChanged(msg::kBatchAdded);
}

Outcome ScoreModel::renameStudent(const QString& nameBox, const QString& numberBox) {
    if (nameBox.isEmpty() || numberBox.isEmpty())
        return Outcome::fail(Reason::Invalid, msg::kNameOrNumberEmpty);
    const QString name = nameBox.trimmed();
    if (const QString why = studentNameProblem(name); !why.isEmpty())
        return Outcome::fail(Reason::Invalid, why);
    const Outcome out = editClass([&](store::Recordset& table) {
        store::Recordset* rs = &table;
        viewState_.searchKey = numberBox.trimmed();
        if (!findStudent(*rs, kNumber, viewState_.searchKey))
            return Outcome::fail(Reason::NotFound, msg::kNoSuchNumber);
        rs->Edit();
        rs->SetField(kName, name);
        if (!rs->Update()) return Outcome::fail(Reason::Failed, writeFailed(*rs));
        return Outcome::done();
    });
    return out.ok ? rosterChanged(msg::kRenamed) : out;
}

Outcome ScoreModel::renumberStudent(const QString& nameBox, const QString& numberBox,
                                    const QString& pickedNumber) {
    if (nameBox.isEmpty() || numberBox.isEmpty())
        return Outcome::fail(Reason::Invalid, msg::kNameOrNumberEmpty);
    const QString key = numberBox.trimmed();
    const QString name = nameBox.trimmed();
    if (const QString why = numberProblem(key); !why.isEmpty()) return Outcome::fail(Reason::Invalid, why);
    const Outcome out = editClass([&](store::Recordset& table) {
        store::Recordset* rs = &table;
        if (findStudent(*rs, kNumber, key))
            return Outcome::fail(Reason::Exists, msg::numberOwned(rs->text(kName)));
        // Of two students with one name, the one picked in the grid; never
        // merely the first of them.
        const QList<NamedStudent> students = namedStudents(*rs);
        qsizetype target = -1;
        int holders = 0;
        for (qsizetype i = 0; i < students.size(); ++i) {
            if (students[i].name != name) continue;
            if (target < 0 || (students[i].number == pickedNumber && students[target].number != pickedNumber))
                target = i;
            ++holders;
        }
        if (target < 0) return Outcome::fail(Reason::NotFound, msg::kNoSuchName);
        if (holders > 1 && (pickedNumber.isEmpty() || students[target].number != pickedNumber))
            return Outcome::fail(Reason::Invalid, msg::sameNameInRoster(holders, name));
        moveToStudent(*rs, target);
        rs->Edit();
        rs->SetField(kNumber, key);
        if (!rs->Update()) return Outcome::fail(Reason::Failed, writeFailed(*rs));
        viewState_.searchKey = key;
        return Outcome::done();
    });
    return out.ok ? rosterChanged(msg::kRenumbered) : out;
}

Outcome ScoreModel::deleteStudent(const QString& numberBox) {
    const Outcome out = editClass([&](store::Recordset& table) {
        store::Recordset* rs = &table;
        viewState_.searchKey = numberBox.trimmed();
        if (!findStudent(*rs, kNumber, viewState_.searchKey))
            return Outcome::fail(Reason::NotFound, msg::kNoSuchNumber);
        if (!rs->Delete()) return Outcome::fail(Reason::Failed, writeFailed(*rs));
        return Outcome::done();
    });
    return out.ok ? rosterChanged(msg::kDeleted) : out;
}

} // namespace scores
