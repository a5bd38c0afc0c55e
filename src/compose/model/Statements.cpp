#include "Statements.h"

#include "PlanText.h"
#include "shell/core/AppPaths.h"
#include "store/Schema.h"

#include <QDir>
#include <QRegularExpression>

namespace compose {

using shell::Outcome;
using shell::Reason;

QString libraryFile(Writer w) {
    return w == Writer::Plan ? store::kPlanDb : store::kSummaryDb;
}

QString tableName(Writer w, Stage s) {
    static const char* const plan[] = {"jhStartData", "jhMidData", "jhEndData"};
    static const char* const summary[] = {"zjStartData", "zjMidData", "zjEndData"};
    return QString::fromLatin1((w == Writer::Plan ? plan : summary)[int(s)]);
}

QStringList listTitles(const QList<shell::Statement>& rows, const QStringList& categories) {
    QStringList out;
    for (const shell::Statement& r : rows)
        if (!r.title.isEmpty() && (categories.isEmpty() || categories.contains(r.category))) out << r.title;
    return out;
}

std::optional<QString> findText(const QList<shell::Statement>& rows, const QString& title) {
    for (auto it = rows.crbegin(); it != rows.crend(); ++it)
        if (it->title == title) return it->text.isEmpty() ? std::nullopt : std::optional<QString>(it->text);
    return std::nullopt;
}

namespace {
std::optional<qint64> numberOf(const QVariant& v) {
    if (v.isNull()) return std::nullopt;
    return shell::wholeNumber(v.toString());
}
} // namespace

QStringList monthTexts(const QList<shell::Statement>& rows, int month) {
    QStringList out;
    for (const shell::Statement& r : rows)
        if (!r.title.isEmpty() && numberOf(r.month) == month) out << r.text;
    return out;
}

QStringList weekTexts(const QList<shell::Statement>& rows, int week) {
    QStringList out;
    for (const shell::Statement& r : rows) {
        const auto w = numberOf(r.week);
        if (!r.title.isEmpty() && w && *w > week - 2 && *w < week + 2) out << r.text;
    }
    return out;
}

// --- StatementLibrary ---

StatementLibrary::StatementLibrary(Writer w, QString folder) : writer_(w), folder_(std::move(folder)) {}

QString StatementLibrary::path() const {
    return folder_.isEmpty() ? shell::AppPaths::file(libraryFile(writer_))
                             : QDir(folder_).filePath(libraryFile(writer_));
}

std::unique_ptr<shell::StatementTable> StatementLibrary::open(Stage s) const {
    error_.clear();
    return shell::StatementTable::open(path(), tableName(writer_, s), &error_);
}

QStringList StatementLibrary::titles(Stage s, const QStringList& categories) const {
    const auto t = open(s);
    return t ? listTitles(t->rows(), categories) : QStringList{};
}

std::optional<QString> StatementLibrary::find(Stage s, const QString& title) const {
    const auto t = open(s);
    return t ? findText(t->rows(), title) : std::nullopt;
}

QStringList StatementLibrary::monthStatements(int month) const {
    const auto t = open(Stage::Middle);
    return t ? monthTexts(t->rows(), month) : QStringList{};
}

QStringList StatementLibrary::weekStatements(int week) const {
    const auto t = open(Stage::Middle);
    return t ? weekTexts(t->rows(), week) : QStringList{};
}

// --- types ---

namespace {
const QStringList& planKinds() {
    static const QStringList k{QStringLiteral("散文方式"), QStringLiteral("纲要型"),
                               QStringLiteral("阐述型")};
    return k;
}
// Type names and codes of the summary library, in code order.
const QList<std::pair<QString, QString>>& summaryTypes() {
    static const QList<std::pair<QString, QString>> t{
        {QStringLiteral("详述型"), QStringLiteral("1")},
        {QStringLiteral("简述型"), QStringLiteral("2")},
        {QStringLiteral("议论型"), QStringLiteral("3")},
        {QStringLiteral("承启型"), QStringLiteral("4")},
        {QStringLiteral("倡议型"), QStringLiteral("5")},
        {QStringLiteral("纲要型"), QStringLiteral("6")},
        {QStringLiteral("其它型"), QStringLiteral("7")},
        {QStringLiteral("综合型"), QStringLiteral("8")},
        {QStringLiteral("学校工作总结"), QStringLiteral("11")},
        {QStringLiteral("部门班组总结"), QStringLiteral("12")},
        {QStringLiteral("教师个人总结"), QStringLiteral("13")},
    };
    return t;
}
} // namespace

QString planKindCode(const QString& kindName) {
    const qsizetype i = planKinds().indexOf(kindName);
    return i < 0 ? QString() : QString::number(i + 1);
}

QString statementHeading(const QString& title) {
    // The labels are the short type names of both libraries; a teacher's
    // own "鲁迅·故乡" is a title, not a label.
    static const QRegularExpression label(
        QStringLiteral("^(?:详述|简述|议论|承启|倡议|纲要|阐述|其它|综合|范例)[·・•]\\s*"));
    static const QRegularExpression number(
        QStringLiteral("^(?:[零〇一二三四五六七八九十百]+[、．.]|[0-9０-９]+[、．.]|[（(]["
                       "零〇一二三四五六七八九十百0-9]+[)）]"
                       ")\\s*"));
    QString heading = title.trimmed();
    for (const QRegularExpression* re : {&number, &label, &number}) {
        const QString rest = heading.mid(re->match(heading).capturedLength());
        if (!rest.trimmed().isEmpty()) heading = rest;
    }
    return heading.trimmed();
}

QString summaryTypeCode(const QString& typeName) {
    for (const auto& [name, code] : summaryTypes())
        if (name == typeName) return code;
    return {};
}

const QStringList& planOpeningTypes() {
    static const QStringList t{QStringLiteral("详述型"), QStringLiteral("简述型"), QStringLiteral("议论型"),
                               QStringLiteral("承启型"), QStringLiteral("倡议型"), QStringLiteral("纲要型"),
                               QStringLiteral("阐述型"), QStringLiteral("其它型")};
    return t;
}

const QStringList& summaryTypeNames() {
    static const QStringList t = [] {
        QStringList n;
        for (const auto& p : summaryTypes())
            n << p.first;
        return n;
    }();
    return t;
}

// --- LibraryEditor ---

namespace {
const QString kNameMissing = QStringLiteral("请输入项目名称！");
const QString kUpdateFailed = QStringLiteral("该语句更新失败！");
} // namespace

LibraryEditor::LibraryEditor(Writer w, QString folder) : writer_(w), folder_(std::move(folder)) {}

const QStringList& LibraryEditor::libraryNames() {
    static const QStringList n{QStringLiteral("开头语句"), QStringLiteral("中段语句"),
                               QStringLiteral("结尾语句")};
    return n;
}

Outcome LibraryEditor::selectLibrary(const QString& name) {
    const qsizetype i = libraryNames().indexOf(name.trimmed());
    if (i < 0) return Outcome::fail(Reason::Invalid, QStringLiteral("输入名称错误，请重选！"));
    library_ = int(i);
    return Outcome::done();
}

QStringList LibraryEditor::types() const {
    if (library_ < 0) return {};
    if (writer_ == Writer::Plan) return library_ == 0 ? planOpeningTypes() : planKinds();
    return library_ == 0 ? summaryTypeNames() : summaryTypeNames().mid(0, 8);
}

QString LibraryEditor::libTable() const {
    return library_ < 0 ? QString() : tableName(writer_, Stage(library_));
}

bool LibraryEditor::usesMonthWeek(const QString& typeName) const {
    return writer_ == Writer::Plan && library_ == int(Stage::Middle) && typeName != planKinds()[0] &&
           planKinds().contains(typeName);
}

void LibraryEditor::selectType(const QString& typeName) {
    typeName_ = typeName;
    if (writer_ == Writer::Plan)
        typeCode_ = library_ == int(Stage::Start) ? typeName : planKindCode(typeName);
    else
        typeCode_ = summaryTypeCode(typeName);
    refill();
}

std::unique_ptr<shell::StatementTable> LibraryEditor::open(QString* error) const {
    if (library_ < 0) return nullptr;
    const QString path = StatementLibrary(writer_, folder_).path();
    return shell::StatementTable::open(path, libTable(), error);
}

void LibraryEditor::refill() {
    numbers_.clear();
    const auto t = open();
    if (!t) return;
    for (const shell::Statement& r : t->rows())
        if (r.category == typeCode_) numbers_ << r.numberText;
}

shell::Grid LibraryEditor::grid() const {
    return shell::numberedGrid(numbers_);
}

std::optional<LibraryEditor::Picked> LibraryEditor::pick(const QString& number) {
    picked_ = number;
    const auto t = open();
    if (!t || number.isEmpty()) return std::nullopt;
    std::optional<Picked> shown;
    const bool monthWeek = writer_ == Writer::Plan && library_ == int(Stage::Middle);
    for (const shell::Statement& r : t->rows()) {
        if (r.numberText != number) continue;
        Picked p{r.title, r.text, {}, {}};
        if (monthWeek && r.category != u"1") {
            if (const auto m = numberOf(r.month)) p.month = int(*m);
            if (const auto w = numberOf(r.week)) p.week = int(*w);
        }
        shown = p;
    }
    return shown;
}

namespace {
Outcome checkRange(const QString& text, int last, int* value) {
    const int n = leadingNumber(text);
    if (n < 1 || n > last) return Outcome::fail(Reason::Invalid, QStringLiteral("输入数字错误，请重写！"));
    if (value) *value = n;
    return Outcome::done();
}
} // namespace

Outcome LibraryEditor::checkMonth(const QString& text, int* month) {
    return checkRange(text, 12, month);
}

Outcome LibraryEditor::checkWeek(const QString& text, int* week) {
    return checkRange(text, 28, week);
}

Outcome LibraryEditor::checkTitleLength(const QString& title) const {
    // The summary library's opening and ending titles hold 30 characters;
    // every other title field has its own size, and a longer title would be
    // refused by the store, so say so before anything is written.
    QString why;
    const auto t = open(&why);
    if (!t) return library_ < 0 ? Outcome::done() : Outcome::fail(Reason::Failed, why);
    const int limit = t->fieldSize(QStringLiteral("标题"));
    if (limit > 0 && title.trimmed().size() > limit)
        return Outcome::fail(Reason::Invalid, QStringLiteral("标题太长，不要超过%1个字！").arg(limit));
    return Outcome::done();
}

Outcome LibraryEditor::add(const QString& typeName, const QString& title, const QString& text,
                           const QString& monthText, const QString& weekText) {
    if (writer_ == Writer::Summary)
        if (Outcome long_ = checkTitleLength(title); !long_) return long_;
    const QString name = title.trimmed();
    if (library_ < 0 || typeName.trimmed().isEmpty() || name.isEmpty())
        return Outcome::fail(Reason::Invalid, kNameMissing);
    if (writer_ == Writer::Plan)
        if (Outcome long_ = checkTitleLength(title); !long_) return long_;
    QString why;
    auto t = open(&why);
    if (!t) return Outcome::fail(Reason::Failed, why);

    QVariant month, week;
    if (usesMonthWeek(typeName)) {
        int m = 0, w = 0;
        if (Outcome o = checkMonth(monthText, &m); !o) return o;
        if (Outcome o = checkWeek(weekText, &w); !o) return o;
        month = m;
        week = w;
    }
    const QString category = writer_ == Writer::Plan
                                 ? (library_ == int(Stage::Start) ? typeName : planKindCode(typeName))
                                 : summaryTypeCode(typeName);
    if (category.isEmpty()) return Outcome::fail(Reason::Invalid, kNameMissing);
    if (writer_ == Writer::Summary)
        for (const shell::Statement& r : t->rows())
            if (r.title == name)
                return Outcome::fail(Reason::Exists, QStringLiteral("该段语句标题已经存在，请另写！"));

    if (Outcome o = t->append(category, name, text, month, week); !o) return o;
    t.reset();
    refill();
    return Outcome::done(QStringLiteral("该段语句已经成功添加！"));
}

Outcome LibraryEditor::update(const QString& title, const QString& text) {
    if (writer_ == Writer::Summary)
        if (Outcome long_ = checkTitleLength(title); !long_) return long_;
    const auto number = shell::wholeNumber(picked_);
    QString why;
    auto t = open(&why);
    const int row = t && number ? t->findNumber(*number) : -1;
    if (row < 0)
        return Outcome::fail(picked_.isEmpty() ? Reason::NotChosen : Reason::NotFound, kUpdateFailed);
    // A record without a title would drop out of every list.
    const QString name = title.trimmed();
    if (name.isEmpty()) return Outcome::fail(Reason::Invalid, kNameMissing);
    if (writer_ == Writer::Plan)
        if (Outcome long_ = checkTitleLength(title); !long_) return long_;
    if (writer_ == Writer::Summary)
        for (const shell::Statement& r : t->rows())
            if (r.title == name && r.number != number)
                return Outcome::fail(Reason::Exists,
                                     QStringLiteral("更新失败：该段语句标题已经存在，请另写标题！"));
    if (Outcome o = t->update(row, text, name); !o) return o;
    t.reset();
    refill();
    return Outcome::done(writer_ == Writer::Plan ? QStringLiteral("该段语句已经成功更新！")
                                                 : QStringLiteral("更新成功！！！"));
}

} // namespace compose
