#pragma once

#include "comments/model/CommentWriter.h"
#include "comments/model/PhraseLibrary.h"
#include "scores/model/ClassFiles.h"
#include "shell/ui/MenuTable.h"

#include <QMainWindow>

class QAbstractButton;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QToolButton;

namespace shell {
class TreeView;
}

namespace comments {

class PhraseEditorPanel;

// "学生评语快手": one end-of-term comment per student of a class, typed by
// hand or put together from the phrase library, beside the same student's
// comment of an earlier term. The class comes from the class-file window
// through the shared class state; every read and write goes through
// CommentWriter. A second view holds the phrase-library editor.
class frmStudenPY : public QMainWindow {
    Q_OBJECT
public:
    explicit frmStudenPY(scores::ClassState& classes, QWidget* parent = nullptr);

    QAction* entry(const QString& name) const { return menus_.action(name); }
    // The random source of automatic generation (tests give their own).
    void setRandomSource(RandomSource random) { random_ = std::move(random); }
    bool editorView() const;

    // The selection as the window holds it.
    int studenNumber() const { return studenNumber_; }
    const QString& studenName() const { return studenName_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenus();
    void buildWritingView(QWidget* page);

    // The hand-back of the class-file window (or of the score manager,
    // whose working class this window shares).
    void classHandedBack(scores::ClassState::Taker taker, const QString& name);
    void workingClassChanged(const QString& name);
    void updateOutputEntries();

    void LoadStudentNames();
    void ShowStudentComment();
    void ShowReferenceComment();
    void setNavigationButtons();

    void pickStudent(int index);
    void enterStudent();
    void stepStudent(int delta);

    void phraseNodeDoubleClicked(const QString& key, const QString& text);
    void AppendRandomPhrase();
    void appendPhrase(const QString& phrase);
    void showPhraseList(bool on);
    void previewPhrase(const QString& phrase);
    void closePreview();

    void saveComment();
    void cancelEdit();
    void renameStudent();
    void numberKey(QKeyEvent* key);

    void showWritingView();
    void showEditorView();

    void exportComments();
    void exportSpreadsheet();
    void printComment();

    void showOutcome(const shell::Outcome& o);

    scores::ClassState& classes_;
    CommentWriter writer_;
    PhraseLibrary library_;
    RandomSource random_;

    // The selected student: its name as it stood when it was selected, its
    // position in the name list (0 for a typed name) and its row.
    QString studenName_;
    int studenNumber_ = 0;
    qint64 studentKey_ = -1;
    // The student "学生改名" renames: the last one picked with the mouse.
    QString pickedName_;
    qint64 pickedKey_ = -1;
    // The teacher typed into the name box since the last choice from its
    // list: the text names students, not a list position.
    bool nameTyped_ = false;
    // The name list's students, by position.
    QList<Student> students_;
    // The text of the last export (ricOut).
    QString exportText_;

    shell::BuiltMenus menus_;
    QWidget* writing_ = nullptr;
    QWidget* studentRow_ = nullptr;
    QToolButton* imgNewPyFile_ = nullptr;
    QToolButton* imgOpenNewFile_ = nullptr;
    QToolButton* imgOpenOldFile_ = nullptr;
    QLabel* labNewClass_ = nullptr;
    QComboBox* cobNewStd_ = nullptr;
    QPushButton* cmdNamePage_[2] = {};
    QLineEdit* txtStdBH_ = nullptr;
    QPlainTextEdit* Text2_ = nullptr;
    QPlainTextEdit* Text1_ = nullptr;
    QPushButton* cmdYesNo_[6] = {};
    QLabel* labOldPy_ = nullptr;
    QLabel* labOldClass_ = nullptr;
    QRadioButton* optMakeSelect_[2] = {};
    shell::TreeView* tvwPyData_ = nullptr;
    QListWidget* ListStudens_ = nullptr;
    QPushButton* cmdBack_ = nullptr;
    PhraseEditorPanel* fraAddPy_ = nullptr;
};

} // namespace comments
