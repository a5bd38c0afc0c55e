#pragma once

#include "scores/model/ScoreModel.h"
#include "shell/ui/MenuTable.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <array>
#include <functional>

class QAction;
class QLabel;
class QMenu;
class QPushButton;

namespace shell {
class GridView;
}

namespace classes {
class frmOpenDatabase;
}

namespace scores {

class TaskFrame;

// The score window "成绩管理助手": one class at a time in one grid, with the
// task frames its menus bring up. The state and every table shown belong to
// the ScoreModel; this window maps events to model calls and shows the rest.
class frmStudenCJ : public QMainWindow {
    Q_OBJECT
public:
    // `classes` is the class state the model works on, shared with the
    // comment writer.
    frmStudenCJ(ScoreModel& model, classes::ClassState& classes, QWidget* parent = nullptr);
    ~frmStudenCJ() override;

    ScoreModel& model() const { return model_; }
    shell::GridView* grid() const { return view_; }       // msfgCJView
    shell::GridView* spareGrid() const { return spare_; } // msfgCjBAK (hidden)
    TaskFrame* frame(int index) const;
    QAction* entry(const QString& objectName) const { return menus_.action(objectName); }
    QLabel* statusPanel(int index) const { return panels_[index]; }

    // Shows task frame `index` and hides the others.
    void ShowTask(int index);
    // cmdNamePage(index): 0/2 "上一个", 1/3 "下一个".
    void MoveCurrent(int index);
    // Score entry moves the grid 600 twips down under its frame.
    void setEntryLayout(bool entry);
    // Menus and pictures follow whether a class is open.
    void updateMenus();

    // "页面设置(&L)": this window is disabled while the page setup is open.
    void openPageSetup();
    // "打印(&P)" and imgFilePrint: the table shown, printed straight away.
    void PrintScoreTable();
    // imgViewPrint: the print preview of the table shown.
    void openPrintPreview();

    // The class-file window for this tool: creating or opening a class.
    void openClassFileWindow(bool create);
    // The class-file window handed a class back.
    void classHandedBack(const QString& name, bool created);

    // The grid's top in pixels (480 twips, 1080 while entering scores).
    int gridTop() const;

protected:
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenus();
    void buildPictures();
    void buildStatusBar();
    void closeClass();
    // "数据导出(&O)": the visible grid into a new spreadsheet, then opened.
    void exportGrid();
    void layoutGrid();
    void onGridClicked(int row, int col);
    void syncStatus();
    void syncPageButtons();

    ScoreModel& model_;
    classes::ClassState& classes_;
    QWidget* central_ = nullptr;
    shell::GridView* view_ = nullptr;
    shell::GridView* spare_ = nullptr;
    std::array<TaskFrame*, 10> frames_{};
    std::array<QLabel*, 3> panels_{};
    shell::BuiltMenus menus_;
    QList<QWidget*> pictures_;
    bool entryLayout_ = false;
    // The class-file window this window opened, closed with it.
    QPointer<classes::frmOpenDatabase> classWindow_;
    // The page setup this window opened; it is enabled again when that closes.
    QPointer<QWidget> pageSetup_;
};

} // namespace scores
