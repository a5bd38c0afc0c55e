#pragma once

#include "web/model/BookmarkBrowser.h"

#include <QWidget>

class QLineEdit;
class QMenu;

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

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void rebuildTree();
    void showGrid();
    void say(const QStringList& texts);

    BookmarkBrowser model_;
    shell::TreeView* tvwExplorer_ = nullptr;
    shell::GridView* MSFlexGrid1_ = nullptr;
    QLineEdit* txtFileName_ = nullptr;
    QLineEdit* txtFile_ = nullptr;
    QLineEdit* txtFiles_ = nullptr;
    QMenu* mnuDelete_ = nullptr;
    int downRow_ = 0;
    int upRow_ = 0;
    int mouseRow_ = 0;
};

} // namespace web
