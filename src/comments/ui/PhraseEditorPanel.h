#pragma once

#include "comments/model/PhraseEditor.h"

#include <QWidget>

class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace shell {
class NumberGrid;
}

namespace comments {

// The library editor frame `fraAddPy` of the comment writer: category box
// and title box (cobAddText(0), cobAddText(1)), "打开", "添加", "更新"
// (cmdAddText(0..2)), the phrase grid msGridPy, the selected number Label1,
// the phrase text txtAddPy and "返回" (cmdAddBack). The comment writer
// places it in its window, calls enter() when it shows the editor view and
// goes back to the writing view on backRequested().
class PhraseEditorPanel : public QWidget {
    Q_OBJECT
public:
    // The library at `dbPath`; the data folder's when empty.
    explicit PhraseEditorPanel(QWidget* parent = nullptr, const QString& dbPath = {});

    // Entering the editor view: no phrase selected, an empty grid, an empty
    // number and text.
    void enter();

    // The actions of the controls, for the window's menu and for tests.
    void chooseCategory(); // a choice or Enter in the category box
    void chooseTitle();    // a choice or Enter in the title box
    void openTitle();      // "打开"
    void addPhrase();      // "添加"
    void updatePhrase();   // "更新"
    void pickRow(int row); // the left button released over a grid row

    const PhraseEditor& editor() const { return editor_; }

Q_SIGNALS:
    void backRequested();
    // A phrase was added or changed (the writer may rebuild its tree).
    void libraryChanged();

private:
    bool showOutcome(const shell::Outcome& o);
    void showGrid();
    // Label1: the selected 序号, empty when none is.
    void showSelection();
    bool fillGrid();
    bool firstInThisEvent(int box);

    PhraseEditor editor_;
    QComboBox* category_;
    QComboBox* title_;
    shell::NumberGrid* grid_;
    QLabel* number_;
    QPlainTextEdit* text_;
    bool busy_[2] = {false, false};
};

} // namespace comments
