#pragma once

#include "lessons/model/LessonStore.h"
#include "shell/ui/MenuTable.h"

#include <QWidget>
#include <memory>

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QTextEdit;
class QTimer;
class QToolBar;

namespace shell {
class Article;
class EditMenu;
class TreeView;
} // namespace shell

namespace lessons {

class LessonEditorPanel;

// "教案设计能手": the reference library of one subject as a tree of volumes
// and topics, the reference plan of the topic double-clicked with its
// analysis and courseware, and the teacher's own plan, kept in a plain text
// file. "修改教案库" swaps the reference for the library editor.
class frmJiaoAn : public QWidget {
    Q_OBJECT
public:
    explicit frmJiaoAn(QWidget* parent = nullptr);
    ~frmJiaoAn() override;

    // The teacher's plan.
    QString fileName() const { return fileName_; }
    bool isModified() const { return modified_; }

    // The window's operations, as the menus and the toolbar run them.
    void BuildLessonTree();
    void newFile();
    void openFile();
    // Save and Save As: true when the plan is in its file.
    bool saveFile();
    bool saveFileAs();
    void exportFile();
    void printFile();
    void openCourseware();
    void referenceMode();
    void libraryMode();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenus(QWidget* menuHost);
    void nodeClicked(const QString& text);
    void nodeDoubleClicked();
    void subjectTextChanged(const QString& text);
    void tick();
    void replacePlan(const QString& text);
    void say(const shell::Outcome& o);
    // The name the save dialogs suggest for the teacher's plan.
    QString planTitle() const;

    LessonLibrary library_;
    std::unique_ptr<shell::Article> article_;
    QString fileName_;
    bool modified_ = false;
    bool loading_ = false;
    QString clickedText_;
    quint16 step_ = 0;

    QPushButton* cmdReference_ = nullptr;
    QPushButton* cmdLibrary_ = nullptr;
    QComboBox* cobOpenText_ = nullptr;
    QLabel* labOpenText_ = nullptr;
    QFrame* fraTree_ = nullptr;
    QFrame* fraView_ = nullptr;
    LessonEditorPanel* fraEditor_ = nullptr;
    shell::TreeView* tvwClass_ = nullptr;
    QLabel* labKT_[2] = {};
    QTextEdit* ricJAoldText_[2] = {};
    QLineEdit* Text1_ = nullptr;
    QLabel* labViewKj_ = nullptr;
    QTimer* Timer1_ = nullptr;
    QTextEdit* ricJAnewText_ = nullptr;
    QToolBar* toolEdit_ = nullptr;
    shell::EditMenu* edit_ = nullptr;
    shell::BuiltMenus menus_;
};

} // namespace lessons
