#include "PhraseEditor.h"

#include "PhraseLibrary.h"
#include "shell/core/StatementTable.h"
#include "shell/core/TextRules.h"

namespace comments {

using shell::Outcome;
using shell::Reason;

namespace {
// The title field's size when the library cannot tell (it is made so).
constexpr int kDefaultTitleSize = 50;

Outcome openFailed(const QString& error) {
    return Outcome::fail(Reason::Failed, error);
}
} // namespace

PhraseEditor::PhraseEditor(QString dbPath) : dbPath_(std::move(dbPath)) {
    reset();
}

QString PhraseEditor::path() const {
    return dbPath_.isEmpty() ? libraryPath() : dbPath_;
}

void PhraseEditor::reset() {
    grid_ = shell::numberedGrid({});
    selected_ = QStringLiteral("0");
}

int PhraseEditor::titleLimit() const {
    auto table = shell::StatementTable::open(path(), kPhraseTable);
    const int size = table ? table->fieldSize(QStringLiteral("标题")) : 0;
    return size > 0 ? size : kDefaultTitleSize;
}

Outcome PhraseEditor::chooseCategory(const QString& categoryText) {
    const int n = categoryNumber(categoryText.trimmed());
    if (n == 0) return Outcome::fail(Reason::Invalid, QStringLiteral("输入名称错误，请重选！"));
    PhraseLibrary library;
    const Outcome loaded = library.load(path());
    if (!loaded) return loaded;
    category_ = n;
    titles_ = library.ListTitles(n);
    return Outcome::done();
}

Outcome PhraseEditor::checkBoxes(const QString& categoryText, const QString& titleText, int* number) const {
    if (categoryText.trimmed().isEmpty() || titleText.trimmed().isEmpty())
        return Outcome::fail(Reason::Invalid, QStringLiteral("请输入项目名称！"));
    *number = categoryNumber(categoryText.trimmed());
    if (*number == 0) return Outcome::fail(Reason::Invalid, QStringLiteral("输入名称错误，请重选！"));
    return Outcome::done();
}

Outcome PhraseEditor::openTitle(const QString& categoryText, const QString& titleText) {
    int n = 0;
    const Outcome checked = checkBoxes(categoryText, titleText, &n);
    if (!checked) return checked;
    // A phrase selected under another category or title is not one the grid
    // shows any more: 更新 must not reach it from here.
    if (n != category_ || titleText != title_) selected_ = QStringLiteral("0");
    category_ = n;
    title_ = titleText;
    return fillGrid();
}

Outcome PhraseEditor::fillGrid() {
    QString error;
    auto table = shell::StatementTable::open(path(), kPhraseTable, &error);
    if (!table) return openFailed(error);
    QStringList numbers;
    for (const shell::Statement& s : table->rows())
        if (s.title == title_ && shell::wholeNumber(s.category) == category_) numbers << s.numberText;
    grid_ = shell::numberedGrid(numbers);
    return Outcome::done();
}

Outcome PhraseEditor::add(const QString& categoryText, const QString& titleText, const QString& phraseText) {
    int n = 0;
    const Outcome checked = checkBoxes(categoryText, titleText, &n);
    if (!checked) return checked;
    const QString title = titleText.trimmed();
    QString error;
    auto table = shell::StatementTable::open(path(), kPhraseTable, &error);
    if (!table) return openFailed(error);
    const int limit = table->fieldSize(QStringLiteral("标题"));
    if (limit > 0 && shell::characters(title) > limit)
        return Outcome::fail(Reason::Invalid, QStringLiteral("项目名称太长，不要超过%1个字！").arg(limit));
    const qint64 number = table->nextNumber();
    const Outcome written = table->append(QString::number(n), title, phraseText);
    if (!written) return written;
    category_ = n;
    title_ = title;
    // The phrase just added is the one the editor now shows, so that 更新
    // changes it and not one picked before.
    selected_ = QString::number(number);
    table.reset();
    const Outcome filled = fillGrid();
    Outcome out = Outcome::done(QStringLiteral("该条评语已经成功添加！"));
    // The phrase is in; a grid that could not be read again is said after.
    if (!filled) out.messages << filled.messages;
    return out;
}

Outcome PhraseEditor::update(const QString& phraseText) {
    const QString failed = QStringLiteral("该条评语更新失败！");
    const auto number = shell::wholeNumber(selected_);
    if (!number || selected_ == u"0") return Outcome::fail(Reason::NotChosen, failed);
    QString error;
    auto table = shell::StatementTable::open(path(), kPhraseTable, &error);
    if (!table) return openFailed(error);
    const int row = table->findNumber(*number);
    if (row < 0) return Outcome::fail(Reason::NotFound, failed);
    const Outcome written = table->update(row, phraseText);
    if (!written) return written;
    return Outcome::done(QStringLiteral("该条评语已经成功更新！"));
}

std::optional<QString> PhraseEditor::selectRow(int row) {
    if (row < 1 || row >= grid_.rows()) return std::nullopt;
    selected_ = grid_.text(row, 1);
    const auto number = shell::wholeNumber(selected_);
    if (!number) return std::nullopt;
    auto table = shell::StatementTable::open(path(), kPhraseTable);
    if (!table) return std::nullopt;
    std::optional<QString> text;
    for (const shell::Statement& s : table->rows())
        if (s.number == number) text = s.text;
    return text;
}

} // namespace comments
