#pragma once

#include "BookmarkSearch.h"
#include "Bookmarks.h"
#include "shell/core/Grid.h"
#include "shell/core/Tree.h"
#include "store/ChangeWatch.h"

#include <memory>

namespace store {
class Recordset;
}

namespace web {

// What the bookmark window shows, without widgets: the tree by time and by
// category, and the grid of the pages of the node last clicked. Every grid
// row keeps the identity of its record, so deleting a row removes that
// record and no other of the same name.
class BookmarkBrowser {
public:
    static constexpr int kGridRows = 16;
    static constexpr int kRowHeight = 320; // twips

    explicit BookmarkBrowser(QString dbPath);
    ~BookmarkBrowser();

    // The date the groups are counted from; today's by default.
    void setToday(const QDate& today) { today_ = today; }
    QDate today() const { return today_.isValid() ? today_ : QDate::currentDate(); }

    // SetupBookmarkGrid: 16 rows, 5 columns, the headings, the widths.
    static shell::Grid emptyGrid();
    // BuildBookmarkTree: the ten fixed nodes, then one node under "类别"
    // for every distinct category in the order of its first record (all of
    // them). The fixed nodes are there even when the table cannot be read.
    shell::Outcome BuildBookmarkTree();
    // ListBookmarks: the pages of a node (a date group by its rule against
    // today(), any other node by its text as a category), in stored order.
    shell::Outcome ListBookmarks(const QString& nodeKey);

    // The pages whose name, category or address hold every word of the
    // query, in stored order, listed as a tree click lists them; at most
    // kSearchShown rows, foundCount() tells how many matched. An empty
    // query lists nothing.
    static constexpr int kSearchShown = 1000;
    shell::Outcome search(const QString& query);
    int foundCount() const { return found_; }

    // Lists only the pages whose last link check found `status` ("正常",
    // "失效", …; "未检查" for pages never checked); empty lists all. Applies
    // from the next listing or search.
    void setStatusFilter(const QString& status) { statusFilter_ = status; }
    // Opens the table afresh at the next read (after fields were added).
    void reopen();

    const shell::Tree& tree() const { return tree_; }
    const shell::Grid& grid() const { return grid_; }
    // The pages the grid lists now ("共列 N 个文件"): the rows of the last
    // listing less those deleted since.
    int listedCount() const { return listed_; }
    // The record behind a grid row, or nullopt for the heading row, a row
    // beyond the listing or a row whose record was deleted.
    std::optional<Bookmark> rowRecord(int row) const;
    // Deletes the record behind the row (ask first); the row's texts are
    // emptied (its number stays) and the tree is built again. NotChosen
    // for a row without a record.
    shell::Outcome deleteRow(int row);

private:
    // The table as last read: opened on first use and read again only when
    // the file changed since (whoever wrote it), so that a click on the
    // tree does not read eighty thousand records that are already here.
    shell::Outcome freshTable();

    QString dbPath_;
    std::unique_ptr<store::Recordset> table_;
    std::optional<BookmarkColumns> col_; // found when table_ was opened
    store::ChangeWatch watch_;
    qint64 version_ = -1;
    QDate today_;
    shell::Tree tree_;
    shell::Grid grid_ = emptyGrid();
    void showRows();
    bool passesFilter() const;
    void take(); // the page under the cursor becomes the next row

    QList<Bookmark> rows_;  // rows_[r - 1] is grid row r; key -1 once deleted
    QStringList rowStates_; // the last link check of each row's page
    BookmarkSearch index_;
    quint64 reads_ = 0;       // the table's snapshots so far (a read, a deletion)
    quint64 indexed_ = ~0ULL; // the snapshot index_ was built from
    int found_ = 0;
    QString statusFilter_;
    int listed_ = 0;
};

} // namespace web
