#include "CommentWriter.h"

#include "classes/model/ClassFiles.h"
#include "classes/model/ClassTable.h"
#include "store/Store.h"

#include <QDateTime>
#include <QRandomGenerator>
#include <memory>

namespace comments {

namespace ct = scores::classtable;
using shell::Outcome;
using shell::Reason;

namespace {

int characters(const QString& s) {
    return int(s.toUcs4().size());
}

// Every student row of a class (settings rows left out), unnamed ones too.
bool readRows(const QString& cls, QList<Student>& out, QString* error) {
    out.clear();
    QString why;
    auto rs = store::Recordset::OpenTable(scores::ClassFiles::databasePath(), cls, &why);
    if (!rs) {
        if (error) *error = scores::ClassFiles::unreadableMessage(cls, why);
        return false;
    }
    const ct::Columns col(*rs);
    ct::forEachStudent(*rs, col, [&](const QString& number) {
        out.append(Student{rs->storedKey(), rs->text(col.name), number, rs->text(col.content)});
    });
    return true;
}

// Moves the cursor onto the row of `key`; false when it is gone.
bool seek(store::Recordset& rs, qint64 key) {
    for (rs.MoveFirst(); !rs.isEOF(); rs.MoveNext())
        if (rs.storedKey() == key) return true;
    return false;
}

// The rows a target names: its own row while it still carries the name,
// else every student of that name.
QList<qint64> addressed(const QList<Student>& rows, const Target& t) {
    if (t.key >= 0)
        for (const Student& s : rows)
            if (s.key == t.key && s.name == t.name) return {s.key};
    QList<qint64> keys;
    for (const Student& s : rows)
        if (s.name == t.name) keys.append(s.key);
    return keys;
}

// Writes `value` into field `field` of each row of `keys`, all in one
// transaction: on any failure none of them changes.
Outcome writeRows(const QString& cls, const QList<qint64>& keys, const QString& field, const QString& value,
                  qint64* lastKey) {
    QString error;
    store::Database db = store::Database::OpenDatabase(scores::ClassFiles::databasePath(), &error);
    if (!db.isValid()) return Outcome::storeFailed(error);
    if (!db.beginTransaction()) return Outcome::storeFailed(db.lastError());
    auto fail = [&](const QString& why) {
        db.rollback();
        return Outcome::storeFailed(why);
    };
    auto rs = store::Recordset::OpenTable(db, cls, &error);
    if (!rs) return fail(error);
    for (qint64 key : keys) {
        if (!seek(*rs, key)) return fail(QStringLiteral("这位学生的记录已不在班级“%1”中。").arg(cls));
        if (!rs->Edit() || !rs->SetField(field, value) || !rs->Update()) return fail(rs->lastError());
        if (lastKey) *lastKey = key;
    }
    if (!db.commit()) return fail(db.lastError());
    return Outcome::done();
}

} // namespace

RandomSource systemRandom() {
    auto gen = std::make_shared<QRandomGenerator>(quint32(QDateTime::currentMSecsSinceEpoch()));
    return [gen](int n) { return n > 0 ? int(gen->bounded(n)) : 0; };
}

QString randomPhrase(const QStringList& phrases, const RandomSource& random) {
    if (phrases.isEmpty()) return {};
    const int i = random(int(phrases.size()));
    return phrases.value(qBound(0, i, int(phrases.size()) - 1));
}

QString phraseToAppend(const QString& comment, const QString& phrase) {
    const QChar you(u'你');
    if (comment.endsWith(you) && phrase.startsWith(you)) return phrase.mid(1);
    return phrase;
}

QString CommentWriter::workingClass() const {
    return pinned_.isEmpty() ? classes_.workingClass() : pinned_;
}

bool CommentWriter::workingOpen() const {
    return classes_.commentWorkingOpen();
}

bool CommentWriter::referenceOpen() const {
    return classes_.commentReferenceOpen();
}

Outcome CommentWriter::students(QList<Student>& out) const {
    out.clear();
    if (!workingOpen()) return Outcome::fail(Reason::NotOpen, kMsgNoClass);
    QString error;
    QList<Student> rows;
    if (!readRows(workingClass(), rows, &error)) return Outcome::fail(Reason::Failed, error);
    for (const Student& s : rows)
        if (!s.name.isEmpty()) out.append(s);
    return Outcome::done();
}

std::optional<Student> CommentWriter::find(const Target& t, QString* error) const {
    if (!workingOpen()) return std::nullopt;
    QList<Student> rows;
    if (!readRows(workingClass(), rows, error)) return std::nullopt;
    const QList<qint64> keys = addressed(rows, t);
    if (keys.isEmpty()) return std::nullopt;
    for (const Student& s : rows)
        if (s.key == keys.last()) return s;
    return std::nullopt;
}

Outcome CommentWriter::checkName(const QString& name) {
    if (name.isEmpty()) return Outcome::fail(Reason::Invalid, kMsgNoName);
    if (characters(name) > kMaxNameLength) return Outcome::fail(Reason::Invalid, kMsgNameTooLong);
    return Outcome::done();
}

Outcome CommentWriter::save(const Target& t, const QString& typedName, const QString& typedNumber,
                            const QString& text, qint64* savedKey) const {
    const QString name = typedName.trimmed();
    const QString number = typedNumber.trimmed();
    if (number.isEmpty()) return Outcome::fail(Reason::Invalid, kMsgNoName);
    if (Outcome named = checkName(name); !named) return named;
    if (text.trimmed().isEmpty()) return Outcome::fail(Reason::Invalid, kMsgNoComment);
    if (!workingOpen()) return Outcome::fail(Reason::NotOpen, kMsgNoClass);

    const QString cls = workingClass();
    QString error;
    QList<Student> rows;
    if (!readRows(cls, rows, &error)) return Outcome::fail(Reason::Failed, error);
    // The picked row only while the name box still shows its name; a name
    // typed over it means the students of that name.
    const QList<qint64> keys = addressed(rows, Target{name, t.name == name ? t.key : -1});
    if (!keys.isEmpty()) return writeRows(cls, keys, ct::kContent, text, savedKey);

    // A new student: the number must be a free student number.
    for (const Student& s : rows)
        if (s.number == number) return Outcome::fail(Reason::Exists, kMsgNumberExists);
    if (scores::isSettingsRow(number)) return Outcome::fail(Reason::Invalid, kMsgNumberReserved);
    auto rs = store::Recordset::OpenTable(scores::ClassFiles::databasePath(), cls, &error);
    if (!rs) return Outcome::fail(Reason::Failed, scores::ClassFiles::unreadableMessage(cls, error));
    const ct::Columns col(*rs);
    const int numberSize = rs->fieldDefs().value(col.number).size;
    if (numberSize > 0 && characters(number) > numberSize)
        return Outcome::fail(Reason::Invalid, kMsgNumberTooLong.arg(numberSize));
    rs->AddNew();
    rs->SetField(col.content, text);
    rs->SetField(col.name, name);
    rs->SetField(col.number, number);
    for (int js : col.js)
        rs->SetField(js, QStringLiteral("0"));
    if (!rs->Update()) return Outcome::storeFailed(rs->lastError());
    if (savedKey) {
        // The new row is the last one.
        qint64 last = -1;
        for (rs->MoveFirst(); !rs->isEOF(); rs->MoveNext())
            last = rs->storedKey();
        *savedKey = last;
    }
    return Outcome::done();
}

Outcome CommentWriter::rename(const Target& shown, const QString& typedName) const {
    const QString name = typedName.trimmed();
    if (Outcome named = checkName(name); !named) return named;
    if (!workingOpen()) return Outcome::fail(Reason::NotOpen, kMsgNoClass);
    const QString cls = workingClass();
    QString error;
    QList<Student> rows;
    if (!readRows(cls, rows, &error)) return Outcome::fail(Reason::Failed, error);
    for (const Student& s : rows)
        if (s.name == name) return Outcome::fail(Reason::Exists, kMsgNameExists);
    // One row and never a guess: a row renamed or removed meanwhile is not
    // stood in for by another student of its old name.
    QList<qint64> keys;
    for (const Student& s : rows)
        if (s.name == shown.name && (shown.key < 0 || s.key == shown.key)) keys.append(s.key);
    if (keys.isEmpty()) return Outcome::fail(Reason::NotFound, kMsgNoOldName);
    if (keys.size() > 1) return Outcome::fail(Reason::Invalid, kMsgSameNames);
    return writeRows(cls, keys, ct::kName, name, nullptr);
}

int CommentWriter::studentsWithNumber(const QString& number) const {
    if (!workingOpen()) return 0;
    QList<Student> rows;
    if (!readRows(workingClass(), rows, nullptr)) return 0;
    const QString n = number.trimmed();
    return int(std::count_if(rows.begin(), rows.end(), [&](const Student& s) { return s.number == n; }));
}

std::optional<QString> CommentWriter::referenceComment(const QString& name, QString* error) const {
    if (!referenceOpen()) return std::nullopt;
    QList<Student> rows;
    if (!readRows(classes_.referenceClass(), rows, error)) return std::nullopt;
    std::optional<QString> found;
    for (const Student& s : rows)
        if (s.name == name) found = s.comment;
    return found;
}

} // namespace comments
