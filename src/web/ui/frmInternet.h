#pragma once

#include "web/model/BookmarkBrowser.h"
#include "web/model/LinkCheck.h"

#include <QMap>
#include <QWidget>

class QComboBox;
class QLineEdit;
class QMenu;
class QProgressBar;
class QPushButton;

namespace shell {
class GridView;
class TreeView;
} // namespace shell

namespace web {

// "网上资源--教育网站": the stored pages by time and by category (tree), the
// pages of the node clicked (grid); a double click opens a page through the
// safe opener, the popup menu deletes the chosen rows after asking.
class frmInternet : public QWidget {
    Q_OBJECT
public:
    explicit frmInternet(QWidget* parent = nullptr);
    ~frmInternet() override;

    // The date the groups count from (tests fix it); rebuilds nothing.
    void setToday(const QDate& d) { model_.setToday(d); }
    const BookmarkBrowser& model() const { return model_; }

    // A click on a tree node, by key (ListBookmarks).
    void listNode(const QString& key);
    // The rows the mouse went down and came up on, and the row right-clicked.
    void setDragRows(int down, int up) {
        downRow_ = down;
        upRow_ = up;
    }
    void setMouseRow(int row) { mouseRow_ = row; }
    // "删除单条记录".
    void deleteChosenRows();
    // A double click on a cell.
    void openCell(int row, int col);
    // The mouse over a cell: tooltip and status boxes.
    void hoverCell(int row, int col);

    // The search box's text changed: the matching pages, as the teacher types.
    void search(const QString& text);
    // "导入书签…": a bookmark file chosen, its preview shown (frmImportBookmarks);
    // the pages are written when the preview is confirmed.
    void importBookmarks();
    void importFile(const QString& path);
    // "导出书签…": every page to a bookmark file a browser imports.
    void exportBookmarks();
    // "查找重复网址".
    void showDuplicates();
    // "修改记录…": the page of a grid row in an edit dialog (frmEditBookmark).
    void editRow(int row);
    // A category node renamed (asked in a box) or, to a name in use, merged
    // after a question.
    void renameCategoryTo(const QString& from, const QString& to);
    // "检查网址": the rows chosen in the grid (two or more), else every page
    // it lists, checked in the background; "停止" ends it. Results are
    // stored as they come, a batch at a time, and shown in the grid's
    // 链接状态 column.
    void checkLinks();
    void stopCheck();
    LinkChecker& linkChecker() { return *checker_; }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void rebuildTree();
    // The tree and the grid again after pages changed elsewhere.
    void refreshAll();
    void askCategoryName(const QString& from);
    void relist();
    void checkEnded(bool stopped);
    // Stores the results not yet stored; false (after saying why) on failure.
    bool storeResults();
    void showGrid();
    void say(const QStringList& texts);

    BookmarkBrowser model_;
    shell::TreeView* tvwExplorer_ = nullptr;
    shell::GridView* MSFlexGrid1_ = nullptr;
    QLineEdit* txtFileName_ = nullptr;
    QLineEdit* txtFile_ = nullptr;
    QLineEdit* txtFiles_ = nullptr;
    QMenu* mnuDelete_ = nullptr;
    QMenu* mnuCategory_ = nullptr;
    QLineEdit* txtSearch_ = nullptr;
    QString lastNode_;     // the node the grid lists, when not a search
    QString menuCategory_; // the category node right-clicked
    LinkChecker* checker_ = nullptr;
    QList<LinkResult> unsaved_;
    QMap<LinkStatus, int> tally_; // of the check running
    QPushButton* cmdCheckLinks_ = nullptr;
    QPushButton* cmdStopCheck_ = nullptr;
    QProgressBar* prgCheck_ = nullptr;
    QComboBox* cobLinkFilter_ = nullptr;
    int downRow_ = 0;
    int upRow_ = 0;
    int mouseRow_ = 0;
};

} // namespace web
