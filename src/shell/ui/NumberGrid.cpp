#include "NumberGrid.h"

#include "shell/core/StatementTable.h"

namespace shell {

NumberGrid::NumberGrid(QWidget* parent) : GridView(parent) {
    setGrid(numberedGrid({}));
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    // cellClicked comes from the view's clicked(): the left button released
    // over the cell it was pressed on.
    connect(this, &GridView::cellClicked, this, [this](int row, int) {
        if (row >= 1) Q_EMIT numberPicked(row, numberAt(row));
    });
}

QString NumberGrid::numberAt(int row) const {
    return row >= 1 && row < grid().rows() ? grid().text(row, 1) : QString();
}

} // namespace shell
