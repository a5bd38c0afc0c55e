#pragma once

#include "compose/model/Statements.h"
#include "shell/docs/Article.h"
#include "shell/ui/MenuTable.h"

#include <QMainWindow>
#include <functional>

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
class Tree;
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
    QTextEdit* articleBox() const { return articleBox_; }
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

    // A stage of composing: the list the teacher picks from and the two
    // buttons that lead back and on.
    struct StageControls {
        QListWidget* list = nullptr;
        QPushButton* back = nullptr;
        QPushButton* next = nullptr;
    };

    // Built by the subclass's constructor, in this order: the mode tree, the
    // stage lists and buttons (buildStages, then the subclass's own), the
    // picture of the finished step (doneMark_).
    void setModeTree(const shell::Tree& tree);
    // The opening, middle and ending lists (ListJHBT 0 to 2) with
    // `extraLists` more after them (returned), then the stage buttons
    // cmdBack 0 to 5 in pairs.
    QList<QListWidget*> buildStages(const QString& middleTip, int extraLists);
    QListWidget* addList(int index, const QString& tip = {});
    QPushButton* addStageButton(int index, const QString& caption);
    void connectList(QListWidget* list, std::function<void()> clicked, std::function<void()> doubleClicked);

    // --- what differs between the writers ---
    // Whether a double click on the node just clicked starts an opening.
    virtual bool nodeStartsOpening() = 0;
    // The 类别 values whose statements a stage lists (empty: every one).
    virtual QStringList categories(Stage s) const = 0;
    // How a chosen statement goes into the article.
    virtual void placeOpening(const QString& text) = 0;
    virtual void placeMiddle(const QString& heading, const QString& text) = 0;
    virtual void placeEnding(const QString& text) = 0;
    // Every middle stage, and the one of the mode chosen.
    virtual QList<StageControls> middleStages() const { return {middle_}; }
    virtual StageControls middleStage() const { return middle_; }
    // The plan's month or week panel beside the article, shown with the
    // middle stage of its mode.
    virtual void showTimePanel(bool) {}

    // The composing flow, stage by stage.
    void startOpening();
    void acceptOpening(const QString& text);
    void showMiddleStage(bool entering);
    void backToOpening();
    void goToEnding();
    void LoadMiddleList();
    void LoadEndingList();
    void enterEditStep();
    void stepClicked(int n);
    void showStage(const StageControls& s, bool entering);
    static void hideStage(const StageControls& s);

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
    QTextEdit* articleBox_ = nullptr;
    QLabel* modeLabel_ = nullptr;
    shell::TreeView* modeTree_ = nullptr;
    StageControls opening_, middle_, ending_;
    QWidget* doneMark_ = nullptr; // shown at the "修改文本" step
    QFrame* composePanel_ = nullptr;
    QVBoxLayout* composeLayout_ = nullptr; // tree, lists, button rows
    QHBoxLayout* body_ = nullptr;          // composition panel | (month/week panel) | article
    // The mode last clicked in the tree: its text, its key (the plan's mode
    // is its last character) and the statement kind its key gives ("sw",
    // "gy", "cs" → "1", "2", "3").
    QString modeText_, modeKey_, kindCode_;
    QString typeCode_; // set by the tree (summary) and the editor's type box

private:
    void buildStepStrip();
    void buildEditor();
    void buildMenus();
    void itemClicked(const StageControls& s, Stage stage);
    void itemDoubleClicked(const StageControls& s, Stage stage);
    void nodeClicked(const QString& key, const QString& text);
    QString currentParagraph() const;
    void setCurrentParagraph(const QString& t);
    void showMonthWeekBoxes(const QString& typeName);
    void SelectLibrary();
    void FillLibraryGrid();
    void LoadLibraryRow(const QString& number);
    void AddStatement();
    void UpdateStatement();
    void clearStatement();
    void tell(const shell::Outcome& o);

    QWidget* stepStrip_ = nullptr;
    QList<QLabel*> stepLabels_;
    QList<QLabel*> stepPictures_;
    // The statement the stage buttons and double clicks put into the
    // article (txtDL, hidden), and the heading of the middle statement
    // picked last (its title without number or label).
    QPlainTextEdit* paragraphBox_ = nullptr;
    QString currentHeading_;
    // Library editor.
    QStackedWidget* pages_ = nullptr;
    QFrame* editorPanel_ = nullptr;
    QComboBox* libraryBox_ = nullptr;
    QComboBox* typeBox_ = nullptr;
    QLabel* libraryLabel_ = nullptr;
    QLabel* typeLabel_ = nullptr;
    QLabel* pickCaption_ = nullptr;
    QLineEdit* monthBox_ = nullptr;
    QLineEdit* weekBox_ = nullptr;
    QLabel* monthLabel_ = nullptr;
    QLabel* weekLabel_ = nullptr;
    QLineEdit* titleBox_ = nullptr;
    QLabel* titleLabel_ = nullptr;
    QTextEdit* textBox_ = nullptr;
    shell::NumberGrid* numberGrid_ = nullptr;
    QLabel* pickedNumber_ = nullptr;
    QPushButton* clearButton_ = nullptr;
    QPushButton* addButton_ = nullptr;
    QPushButton* updateButton_ = nullptr;
    QPushButton* backButton_ = nullptr;
    shell::EditMenu* edit_ = nullptr;
    shell::BuiltMenus menus_;

    int step_ = -1;
    QString savedPath_;
};

} // namespace compose
