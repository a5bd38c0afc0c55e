#pragma once

#include "compose/model/Statements.h"
#include "shell/docs/Article.h"
#include "shell/ui/MenuTable.h"

#include <QMainWindow>

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;
class QTextEdit;
class QVBoxLayout;
class QHBoxLayout;

namespace shell {
class EditMenu;
class NumberGrid;
class TreeView;
} // namespace shell

namespace compose {

// What the plan writer and the summary writer share: the article box, the
// six-step strip, the composition panel (tree, statement lists, stage
// buttons), the statement preview, the library editor panel, the menus and
// the question on closing with unsaved changes.
class WriterWindow : public QMainWindow {
    Q_OBJECT
public:
    struct Names {
        QString window;        // "frmKaiXueJiHua"
        QString article;       // "ricJiHua"
        QString composePanel;  // "fraJHShengCheng"
        QString editorPanel;   // "fraAddJH"
        QString editorText;    // "txtAddJH"
        QString editorGrid;    // "msGridJH"
        QString exportCaption; // "导出计划(&O)"
        QString printCaption;  // "打印计划(&P)"
        QString writeCaption;  // "编写计划(&E)"
        QString windowMenu;    // "mnuWindow"
        QString firstTool;     // "mToobHt"
    };
    WriterWindow(Writer writer, Names names, QWidget* parent = nullptr);
    ~WriterWindow() override;

    shell::Article& article() { return article_; }
    QTextEdit* articleBox() const { return ric_; }
    const StatementLibrary& library() const { return library_; }
    LibraryEditor& editor() { return editor_; }

    // "导出…": the article as RTF through the save dialog. True when written
    // (the article then counts as saved).
    bool ExportArticle();
    // The save of the closing question: plain text to the file last saved
    // to, or one chosen in the dialog. True when written.
    bool saveArticle();
    // The name the save dialogs suggest: "开学计划" or "期末总结".
    QString documentName() const;
    void HighlightStep(int n);
    int highlightedStep() const { return step_; }
    // Library editor or composing view.
    void showEditor(bool on);

protected:
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

    // Built by the subclass, then finish() puts the window together.
    void finish();
    virtual void stepClicked(int n) = 0;
    // The composing view comes back (after the editor).
    virtual void composingShown() {}
    // Month and week boxes of the plan editor; the summary has none.
    virtual void editorTypeChosen(const QString& typeName);

    QListWidget* addList(int index, const QString& tip = {});
    QPushButton* addStageButton(int index, const QString& caption);
    void showPreview(const QString& text);
    void closePreview();
    // Replaces the article by `text` (one undoable step) and puts the caret
    // at its end.
    void replaceArticle(const QString& text);

    Writer writer_;
    Names names_;
    shell::Article article_;
    StatementLibrary library_;
    LibraryEditor editor_;
    QTextEdit* ric_ = nullptr;
    QLabel* Label1_ = nullptr;
    shell::TreeView* tvwMode_ = nullptr;
    QList<QListWidget*> lists_;
    QList<QPushButton*> buttons_;
    QFrame* composePanel_ = nullptr;
    QVBoxLayout* composeLayout_ = nullptr; // tree, lists, button rows
    QHBoxLayout* body_ = nullptr;          // composition panel | (month/week panel) | article
    QWidget* stepStrip_ = nullptr;
    QList<QLabel*> stepLabels_;
    QList<QLabel*> stepPictures_;
    QPlainTextEdit* txtDL_ = nullptr; // currentParagraph
    // The heading of the middle statement picked last (its title without
    // number or label); currentParagraph holds its text.
    QString currentHeading_;
    QString currentParagraph() const;
    void setCurrentParagraph(const QString& t);
    // A tree node picked: its key gives the statement kind ("sw", "gy",
    // "cs" → "1", "2", "3") and the mode; the first step is highlighted.
    void nodeClicked(const QString& key, const QString& text);
    QString modeText_, modeKey_, kindCode_;
    // Library editor.
    QStackedWidget* pages_ = nullptr;
    QFrame* editorPanel_ = nullptr;
    QComboBox* cobAddText_[2] = {};
    QLineEdit* txtMW_[3] = {};
    QLabel* labAddText_[6] = {};
    QTextEdit* txtAdd_ = nullptr;
    shell::NumberGrid* grid_ = nullptr;
    QLabel* labNumber_ = nullptr;
    QPushButton* cmdAddText_[3] = {};
    QPushButton* cmdAddBack_ = nullptr;
    shell::EditMenu* edit_ = nullptr;
    shell::BuiltMenus menus_;
    QString typeCode_; // set by the tree (summary) and the editor's type box

private:
    void buildStepStrip();
    void buildEditor();
    void buildMenus();
    void SelectLibrary();
    void FillLibraryGrid();
    void LoadLibraryRow(const QString& number);
    void AddStatement();
    void UpdateStatement();
    void clearStatement();
    void tell(const shell::Outcome& o);

    int step_ = -1;
    QString savedPath_;
};

} // namespace compose
