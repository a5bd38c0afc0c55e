#include "ClassFiles.h"

#include "ClassTable.h"

#include "shell/core/AppPaths.h"
#include "shell/core/TextRules.h"
#include "store/Schema.h"
#include "store/Store.h"

#include <algorithm>

namespace scores {

void ClassState::handBack(Taker taker, const QString& name) {
    open(taker, name);
    Q_EMIT classHandedBack(taker, name);
}

void ClassState::open(Taker taker, const QString& name) {
    switch (taker) {
    case Taker::Scores:
        scoresOpen_ = true;
        workingClass_ = name;
        break;
    case Taker::CommentWorking:
        commentWorkingOpen_ = true;
        workingClass_ = name;
        break;
    case Taker::CommentReference:
        commentReferenceOpen_ = true;
        referenceClass_ = name;
        break;
    }
}

void ClassState::close(Taker taker) {
    switch (taker) {
    case Taker::Scores:
        scoresOpen_ = false;
        break;
    case Taker::CommentWorking:
        commentWorkingOpen_ = false;
        break;
    case Taker::CommentReference:
        commentReferenceOpen_ = false;
        break;
    }
}

QString studentNameProblem(const QString& name) {
    return shell::nameProblem(name, QStringLiteral("学生姓名"), kNameChars);
}

QString studentNumberProblem(const QString& number) {
    return shell::nameProblem(number, QStringLiteral("学生学号"), kNumberChars);
}

QString classNameProblem(const QString& name) {
    return shell::nameProblem(name, QStringLiteral("文件名"), kClassNameChars);
}

namespace ClassFiles {

namespace {
constexpr int kListRows = 6;
constexpr int kListRowHeight = 320;
constexpr int kTemplateRows = 13;
} // namespace

namespace {
Opener& opener() {
    static Opener o;
    return o;
}
} // namespace

void setWindowOpener(Opener o) {
    opener() = std::move(o);
}

bool openWindow(Use use) {
    if (!opener()) return false;
    opener()(use);
    return true;
}

QString databasePath() {
    return shell::AppPaths::file(store::kClassDb);
}

QStringList list() {
    QStringList out;
    auto rs = store::Recordset::OpenTable(databasePath(), QStringLiteral("files"));
    if (!rs) return out;
    for (rs->MoveFirst(); !rs->isEOF(); rs->MoveNext())
        out << rs->text(0);
    return out;
}

void ensureListRows(shell::Grid& grid) {
    if (grid.rows() < kListRows) grid.ensureRows(kListRows, kListRowHeight);
}

shell::Grid listGrid() {
    shell::Grid g;
    g.reset(kListRows, 2);
    g.setText(0, 0, QStringLiteral("序号"));
    g.setText(0, 1, QStringLiteral("文件名"));
    g.setColWidth(0, 500);
    g.setColWidth(1, 6000);
    g.setColAlign(1, shell::Grid::Align::Left);
    for (int r = 1; r < g.rows(); ++r)
        g.setRowHeight(r, kListRowHeight);
    const QStringList names = list();
    for (int i = 1; i <= names.size(); ++i) {
        g.ensureRows(i + 1, kListRowHeight);
        g.setText(i, 0, QString::number(i));
        g.setText(i, 1, names[i - 1]);
    }
    return g;
}

QString pickedName(const shell::Grid& grid, int row) {
    // The heading row holds the column title, never a class.
    if (row < 1) return {};
    return grid.text(row, 1);
}

bool isReservedName(const QString& name) {
    const QString n = name.trimmed();
    return n.compare(u"files", Qt::CaseInsensitive) == 0 || n.compare(u"dataBak", Qt::CaseInsensitive) == 0 ||
           n.startsWith(u"sqlite_", Qt::CaseInsensitive);
}

bool exists(const QString& name) {
    if (name.trimmed().isEmpty() || isReservedName(name)) return false;
    store::Database db = store::Database::OpenDatabase(databasePath());
    return db.isValid() && db.hasTable(name.trimmed());
}

QString fieldsProblem(const QList<store::FieldDef>& fields) {
    for (const store::FieldDef& want : store::classTableFields()) {
        const auto have = std::find_if(fields.begin(), fields.end(), [&](const store::FieldDef& f) {
            return f.name.compare(want.name, Qt::CaseInsensitive) == 0;
        });
        if (have == fields.end()) return QStringLiteral("表中缺少字段“%1”。").arg(want.name);
        // Scores are counted and summed: a field of another kind would read
        // as empty and take in text. Names and numbers must be text.
        const bool text = have->kind == store::FieldKind::Text || have->kind == store::FieldKind::Memo;
        if (want.kind == store::FieldKind::Currency && have->kind != store::FieldKind::Currency)
            return QStringLiteral("字段“%1”不是数字字段。").arg(want.name);
        if (want.kind != store::FieldKind::Currency && !text)
            return QStringLiteral("字段“%1”不是文本字段。").arg(want.name);
    }
    return {};
}

QString classProblem(const QString& name) {
    if (isReservedName(name)) return kMsgNotAClass;
    QString error;
    store::Database db = store::Database::OpenDatabase(databasePath(), &error);
    if (!db.isValid()) return error;
    const QString stored = db.findTable(name.trimmed());
    if (stored.isEmpty()) return QStringLiteral("数据库中没有这个班级的表。");
    return fieldsProblem(db.fields(stored));
}

QString unreadableMessage(const QString& name, const QString& why) {
    return QStringLiteral("班级“%1”无法读取：%2")
        .arg(name, why.isEmpty() ? QStringLiteral("数据库没有说明原因。") : why);
}

QString tableName(const QString& typedName) {
    return typedName.trimmed();
}

shell::Outcome create(const QString& typedName, bool withSampleStudent) {
    using shell::Outcome;
    using shell::Reason;
    const QString name = tableName(typedName);
    if (name.isEmpty()) return Outcome::fail(Reason::Invalid, kMsgNoName);
    if (const QString why = classNameProblem(name); !why.isEmpty())
        return Outcome::fail(Reason::Invalid, why);
    if (isReservedName(name)) return Outcome::fail(Reason::Invalid, kMsgReservedName);
    // Every failure names the class and the store's reason.
    auto failed = [&](const QString& why) {
        return Outcome::fail(Reason::Failed,
                             QStringLiteral("无法建立班级“%1”：%2")
                                 .arg(name, why.isEmpty() ? QStringLiteral("数据库拒绝了这次修改。") : why));
    };
    QString error;
    store::Database db = store::Database::OpenDatabase(databasePath(), &error);
    if (!db.isValid()) return failed(error);
    if (db.hasTable(name)) return Outcome::fail(Reason::Exists, kMsgExists);
    // Every failure ends the transaction, also a failed BEGIN: a transaction
    // left open would take in every later write without committing it.
    auto fail = [&](const QString& why) {
        db.rollback();
        return failed(why);
    };
    if (!db.beginTransaction()) return fail(db.lastError());
    if (!db.CreateTable(name, store::classTableFields())) return fail(db.lastError());

    auto files = store::Recordset::OpenTable(db, QStringLiteral("files"), &error);
    if (!files) return fail(error);
    files->AddNew();
    files->SetField(QStringLiteral("文件名"), name);
    if (!files->Update()) return fail(files->lastError());

    auto table = store::Recordset::OpenTable(db, name, &error);
    auto bak = store::Recordset::OpenTable(db, QStringLiteral("dataBak"), &error);
    if (!table || !bak) return fail(error);
    const int fieldCount = qMin(table->fieldCount(), bak->fieldCount());
    int copied = 0;
    for (bak->MoveFirst(); !bak->isEOF() && copied < kTemplateRows; bak->MoveNext(), ++copied) {
        table->AddNew();
        for (int i = 0; i < fieldCount; ++i)
            table->SetField(i, bak->Fields(i));
        if (!table->Update()) return fail(table->lastError());
    }
    if (withSampleStudent) {
        table->AddNew();
        table->SetField(classtable::kContent, QStringLiteral("评语："));
        table->SetField(classtable::kName, QStringLiteral("学生姓名"));
        table->SetField(classtable::kNumber, QStringLiteral("10001"));
        for (int k = 0; k < 13; ++k)
            table->SetField(QStringLiteral("js%1").arg(k), QStringLiteral("0"));
        if (!table->Update()) return fail(table->lastError());
    }
    if (!db.commit()) return fail(db.lastError());
    return Outcome::done();
}

} // namespace ClassFiles
} // namespace scores
