#include "BookmarkBrowser.h"

#include "store/Store.h"

#include <QSet>

namespace web {

using shell::Grid;
using shell::Outcome;
using shell::Reason;

BookmarkBrowser::BookmarkBrowser(QString dbPath) : dbPath_(std::move(dbPath)) {}

BookmarkBrowser::~BookmarkBrowser() = default;

Outcome BookmarkBrowser::freshTable() {
    const qint64 version = watch_.version(dbPath_);
    if (table_ && version >= 0 && version == version_) return Outcome::done();
    ++reads_;
    if (table_ && table_->Refresh()) {
        version_ = version;
        return Outcome::done();
    }
    QString why;
    table_ = store::Recordset::OpenTable(dbPath_, kBookmarkTable, &why);
    if (!table_) return Outcome::fail(Reason::NotOpen, why);
    // A table without one of the four fields is not one of ours.
    col_.emplace(*table_);
    if (!col_->missing().isEmpty()) {
        const QString why = col_->missingSentence(dbPath_);
        table_.reset();
        col_.reset();
        return Outcome::fail(Reason::NotOpen, why);
    }
    version_ = version;
    return Outcome::done();
}

Grid BookmarkBrowser::emptyGrid() {
    Grid g(kGridRows, 5);
    const QStringList heads{{},
                            QStringLiteral("网页名称"),
                            QStringLiteral("类别"),
                            QStringLiteral("记录时间"),
                            QStringLiteral("网页地址")};
    const int widths[] = {500, 4000, 1500, 1500, 7000};
    for (int c = 0; c < 5; ++c) {
        g.setText(0, c, heads[c]);
        g.setColWidth(c, widths[c]);
    }
    // Texts read from the left, as a grid shows text by default; an address
    // aligned right would lose its beginning when it is cut.
    g.setColAlign(1, Grid::Align::Left);
    g.setColAlign(2, Grid::Align::Left);
    g.setColAlign(4, Grid::Align::Left);
    for (int r = 1; r < kGridRows; ++r)
        g.setRowHeight(r, kRowHeight);
    return g;
}

Outcome BookmarkBrowser::BuildBookmarkTree() {
    tree_.clear();
    const QString root = QStringLiteral("explor"), date = QStringLiteral("date"),
                  sort = QStringLiteral("leiBie");
    tree_.add({}, root, QStringLiteral("网址文件夹"), QStringLiteral("explorer"), {}, QStringLiteral("root"));
    tree_.add(root, date, QStringLiteral("时间"), QStringLiteral("dateOff"), QStringLiteral("dateOn"));
    for (const DateGroupNode& n : dateGroupNodes())
        tree_.add(date, QLatin1String(n.key), n.text, QStringLiteral("fileOff"), QStringLiteral("fileOn"));
    tree_.add(root, sort, QStringLiteral("类别"), QStringLiteral("sortOff"), QStringLiteral("sortOn"));
    tree_.setExpanded(root);

    const Outcome read = freshTable();
    if (!read) return read;
    // Only the category of each record is read here.
    QSet<QString> seen;
    for (table_->MoveFirst(); !table_->isEOF(); table_->MoveNext()) {
        const QString category = table_->text(col_->category);
        if (category.isEmpty() || seen.contains(category)) continue;
        seen.insert(category);
        tree_.add(sort, sort + QString::number(tree_.count()), category, QStringLiteral("fileOff"),
                  QStringLiteral("fileOn"));
    }
    return Outcome::done();
}

Outcome BookmarkBrowser::ListBookmarks(const QString& nodeKey) {
    grid_ = emptyGrid();
    rows_.clear();
    rowStates_.clear();
    listed_ = 0;
    const int at = tree_.indexOf(nodeKey);
    if (at < 0) return Outcome::fail(Reason::NotFound);
    const std::optional<DateGroup> group = dateGroupOfKey(nodeKey);
    // The date folder selects nothing: no need to read the table.
    if (group == DateGroup::Folder) return Outcome::done();

    const Outcome read = freshTable();
    if (!read) return read;
    const QString category = tree_.node(at).text;
    const QDate day = today();
    // The test reads one field; a page is taken whole only when it belongs.
    for (table_->MoveFirst(); !table_->isEOF(); table_->MoveNext()) {
        if (group ? !inDateGroup(table_->Fields(col_->date).toDate(), *group, day)
                  : table_->text(col_->category) != category)
            continue;
        if (!passesFilter()) continue;
        take();
    }
    showRows();
    found_ = listed_;
    return Outcome::done();
}

void BookmarkBrowser::take() {
    rows_.append(readBookmark(*table_, *col_));
    rowStates_.append(col_->linkStatus >= 0 ? table_->text(col_->linkStatus) : QString());
}

bool BookmarkBrowser::passesFilter() const {
    if (statusFilter_.isEmpty()) return true;
    const QString status = col_->linkStatus >= 0 ? table_->text(col_->linkStatus) : QString();
    return statusFilter_ == QStringLiteral("未检查") ? status.isEmpty() : status == statusFilter_;
}

void BookmarkBrowser::showRows() {
    listed_ = int(rows_.size());
    // Once links were checked, their state is the grid's last column.
    const bool checked = col_ && col_->linkStatus >= 0;
    if (checked) {
        grid_.setCols(6);
        grid_.setText(0, 5, QStringLiteral("链接状态"));
        grid_.setColWidth(5, 1100);
        grid_.setColAlign(5, Grid::Align::Left);
    }
    grid_.ensureRows(qMax(kGridRows, listed_ + 1), kRowHeight);
    for (int i = 0; i < listed_; ++i) {
        const Bookmark& b = rows_[i];
        grid_.setText(i + 1, 0, QString::number(i + 1));
        grid_.setText(i + 1, 1, b.name);
        grid_.setText(i + 1, 2, b.category);
        grid_.setText(i + 1, 3, b.dateText);
        grid_.setText(i + 1, 4, b.address);
        if (checked) grid_.setText(i + 1, 5, rowStates_.value(i));
    }
}

Outcome BookmarkBrowser::search(const QString& query) {
    grid_ = emptyGrid();
    rows_.clear();
    rowStates_.clear();
    listed_ = 0;
    found_ = 0;
    if (BookmarkSearch::words(query).isEmpty()) return Outcome::done();
    const Outcome read = freshTable();
    if (!read) return read;
    if (indexed_ != reads_) {
        index_.clear();
        for (table_->MoveFirst(); !table_->isEOF(); table_->MoveNext())
            index_.add(table_->text(col_->name), table_->text(col_->category), table_->text(col_->address));
        indexed_ = reads_;
    }
    const std::vector<int>& hits = index_.find(query);
    // The hits count the pages in stored order, as the index was built.
    size_t next = 0;
    int page = 0;
    for (table_->MoveFirst(); !table_->isEOF() && next < hits.size() && rows_.size() < kSearchShown;
         table_->MoveNext(), ++page) {
        if (page != hits[next]) continue;
        ++next;
        if (!passesFilter()) continue;
        ++found_;
        take();
    }
    // The hits past the rows shown, by the same filter.
    for (; !table_->isEOF() && next < hits.size(); table_->MoveNext(), ++page) {
        if (page != hits[next]) continue;
        ++next;
        if (passesFilter()) ++found_;
    }
    showRows();
    return Outcome::done();
}

std::optional<Bookmark> BookmarkBrowser::rowRecord(int row) const {
    if (row < 1 || row > rows_.size() || rows_[row - 1].key < 0) return std::nullopt;
    return rows_[row - 1];
}

Outcome BookmarkBrowser::deleteRow(int row) {
    const std::optional<Bookmark> b = rowRecord(row);
    if (!b) return Outcome::fail(Reason::NotChosen);
    Outcome removed = freshTable();
    if (removed) removed = removeBookmark(*table_, b->key);
    if (!removed && removed.reason != Reason::NotFound) return removed;
    // Gone either way: the row no longer stands for a record.
    ++reads_;
    rows_[row - 1].key = -1;
    --listed_;
    for (int c = 1; c <= 4; ++c)
        grid_.setText(row, c, {});
    const Outcome rebuilt = BuildBookmarkTree();
    if (!removed) return removed;
    return rebuilt;
}

} // namespace web

namespace web {
void BookmarkBrowser::reopen() {
    table_.reset();
    col_.reset();
    indexed_ = ~0ULL;
}
} // namespace web
