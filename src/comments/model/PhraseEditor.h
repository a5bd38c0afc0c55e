#pragma once

#include "shell/core/Grid.h"
#include "shell/core/Outcome.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace comments {

// The library editor of the comment writer: the titles of a category, the
// phrases of a category and title as a "序号"/"编号" grid, and adding and
// changing phrases. Every operation reads the library afresh, so what
// another window wrote meanwhile is seen; every write is committed before
// the operation says it is done.
class PhraseEditor {
public:
    // The library at `dbPath`; the data folder's when empty.
    explicit PhraseEditor(QString dbPath = {});

    // Entering the editor view: no phrase selected, an empty grid.
    void reset();

    // The category box chose a category: the titles of it, in the order of
    // their first appearance, become titles(). A text that is not one of
    // the twelve categories is refused ("输入名称错误，请重选！").
    shell::Outcome chooseCategory(const QString& categoryText);
    // The title box chose a title (or "打开"): the grid lists the phrases of
    // that category and title; a phrase selected under another one is
    // selected no more. Empty boxes: "请输入项目名称！".
    shell::Outcome openTitle(const QString& categoryText, const QString& titleText);
    // "添加": appends a phrase with 序号 = the largest + 1 and refills the grid;
    // the new phrase becomes the selected one. The texts are checked before
    // anything is read or written.
    shell::Outcome add(const QString& categoryText, const QString& titleText, const QString& phraseText);
    // "更新": the first phrase with the selected 序号 gets the new text.
    shell::Outcome update(const QString& phraseText);
    // A grid row was picked: its 编号 becomes the selected number. Returns
    // the text to show, the last phrase's with that number; none when no
    // phrase has it (the text box keeps what it holds).
    std::optional<QString> selectRow(int row);

    int category() const { return category_; } // 0 until one is chosen
    const QString& title() const { return title_; }
    const QStringList& titles() const { return titles_; }
    const shell::Grid& grid() const { return grid_; }
    // The selected 序号 as text; "0" when nothing is selected.
    const QString& selectedNumber() const { return selected_; }

    // The characters a title may have (the field's size in the library).
    int titleLimit() const;

private:
    shell::Outcome checkBoxes(const QString& categoryText, const QString& titleText, int* number) const;
    shell::Outcome fillGrid();
    QString path() const;

    QString dbPath_;
    int category_ = 0;
    QString title_;
    QStringList titles_;
    shell::Grid grid_;
    QString selected_ = QStringLiteral("0");
};

} // namespace comments
