#include "GridView.h"

#include "shell/core/Units.h"

#include <QBrush>
#include <QColor>
#include <QHash>
#include <QHeaderView>
#include <QPalette>

namespace shell {

void GridModel::setGrid(const Grid& g) {
    beginResetModel();
    grid_ = g;
    endResetModel();
}

QVariant GridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const int r = index.row(), c = index.column();
    const bool fixed = r < grid_.fixedRows() || c < grid_.fixedCols();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole: {
        const QString t = grid_.text(r, c);
        if (role == Qt::ToolTipRole) return t.isEmpty() ? QVariant() : QVariant(t);
        return t;
    }
    case Qt::TextAlignmentRole: {
        if (fixed) return int(Qt::AlignCenter);
        switch (grid_.colAlign(c)) {
        case Grid::Align::Left:
            return int(Qt::AlignLeft | Qt::AlignVCenter);
        case Grid::Align::Center:
            return int(Qt::AlignCenter);
        case Grid::Align::Right:
            return int(Qt::AlignRight | Qt::AlignVCenter);
        case Grid::Align::Default:
            break;
        }
        return int(Qt::AlignRight | Qt::AlignVCenter);
    }
    case Qt::BackgroundRole:
        if (grid_.hasBackColor(r, c)) return QBrush(QColor::fromRgb(grid_.backColor(r, c)));
        if (fixed) return QBrush(QColor(0xd4, 0xd0, 0xc8));
        return {};
    case Qt::ForegroundRole:
        if (grid_.hasForeColor(r, c)) return QBrush(QColor::fromRgb(grid_.foreColor(r, c)));
        return {};
    default:
        return {};
    }
}

GridView::GridView(QWidget* parent) : QTableView(parent), model_(new GridModel(this)) {
    setModel(model_);
    horizontalHeader()->hide();
    verticalHeader()->hide();
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    setTextElideMode(Qt::ElideNone);
    setGridStyle(Qt::SolidLine);
    connect(this, &QTableView::clicked, this,
            [this](const QModelIndex& i) { Q_EMIT cellClicked(i.row(), i.column()); });
    connect(this, &QTableView::doubleClicked, this,
            [this](const QModelIndex& i) { Q_EMIT cellDoubleClicked(i.row(), i.column()); });
}

void GridView::setGrid(const Grid& g) {
    const QModelIndex cur = currentIndex();
    model_->setGrid(g);
    setWordWrap(g.wordWrap());
    applySizes();
    if (cur.isValid() && cur.row() < g.rows() && cur.column() < g.cols())
        setCurrentIndex(model_->index(cur.row(), cur.column()));
}

void GridView::applySizes() {
    const Grid& g = model_->grid();
    for (int c = 0; c < g.cols(); ++c)
        setColumnWidth(c, qMax(1, twipsToPx(g.colWidth(c))));
    // Sizing every row on its own makes the header recompute the positions
    // of all rows each time, which a class of thousands of students feels
    // (quadratic). The most common height becomes the header's default and
    // only the rows that differ are sized.
    QHash<int, int> heights;
    for (int r = 0; r < g.rows(); ++r)
        ++heights[qMax(1, twipsToPx(g.rowHeight(r)))];
    int common = 0, most = 0;
    for (auto it = heights.cbegin(); it != heights.cend(); ++it)
        if (it.value() > most) most = it.value(), common = it.key();
    QHeaderView* rows = verticalHeader();
    if (common > 0) {
        rows->setMinimumSectionSize(1); // rows as low as the grid says, as setRowHeight allows
        rows->setDefaultSectionSize(common);
    }
    for (int r = 0; r < g.rows(); ++r) {
        const int h = qMax(1, twipsToPx(g.rowHeight(r)));
        if (h != common || rowHeight(r) != h) setRowHeight(r, h);
    }
}

QPair<int, int> GridView::cellAt(const QPoint& p) const {
    const QModelIndex i = indexAt(p);
    return i.isValid() ? qMakePair(i.row(), i.column()) : qMakePair(-1, -1);
}

} // namespace shell
