#pragma once

#include "classes/model/ClassFiles.h"
#include "comments/model/CommentWriter.h"
#include "comments/model/PhraseLibrary.h"
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

    // Whether the comment box holds text that is not what is stored for the
    // student it shows.
    bool commentChanged() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

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
    void showStudentAt(int position);
    // Before the comment box is given to another student or class, or the
    // window closes: the unsaved question when the box changed. `owner` is
    // the name the comment is saved under (as "确认保存" would have). False
    // when the teacher chose to stay (取消, or a save that did not go
    // through).
    bool mayLeaveComment(const QString& owner);
    void putBackNameBox(const QString& text);
    void openClassFile(scores::ClassFiles::Use use);

    void phraseNodeDoubleClicked(const QString& key, const QString& text);
    void AppendRandomPhrase();
    void appendPhrase(const QString& phrase);
    void showPhraseList(bool on);
    void previewPhrase(const QString& phrase);
    void closePreview();

    bool saveComment(const QString& typedName);
    void cancelEdit();
    void renameStudent();
    void numberKey(QKeyEvent* key);

    void showWritingView();
    void showEditorView();

    void exportComments();
    void exportSpreadsheet();
    void printComment();
    void printClassComments();

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
    // The comment as it stands stored for the student shown (or as it was
    // last saved): the box differs from it when there is something unsaved.
    QString storedComment_;
    // The name box's text as the teacher left it: a pick from the list has
    // replaced it by the time the window hears of the pick, and an unsaved
    // comment is saved under the name that was there.
    QString boxName_;
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
