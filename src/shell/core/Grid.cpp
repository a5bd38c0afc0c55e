#include "Grid.h"

namespace shell {

void Grid::reset(int rows, int cols) {
    rows_ = cols_ = 0;
    cells_.clear();
    colWidths_.clear();
    rowHeights_.clear();
    colAligns_.clear();
    fore_.clear();
    back_.clear();
    resize(rows, cols);
}

void Grid::resize(int rows, int cols) {
    rows = qMax(0, rows);
    cols = qMax(0, cols);
    if (rows == rows_ && cols == cols_) return;
    QList<QString> cells(qsizetype(rows) * cols);
    for (int r = 0; r < qMin(rows, rows_); ++r)
        for (int c = 0; c < qMin(cols, cols_); ++c)
            cells[qsizetype(r) * cols + c] = cells_[qsizetype(r) * cols_ + c];
    cells_ = std::move(cells);
    colWidths_.resize(cols, DefaultColWidth);
    colAligns_.resize(cols, Align::Default);
    rowHeights_.resize(rows, DefaultRowHeight);
    if (rows < rows_ || cols < cols_) {
        for (auto* map : {&fore_, &back_})
            for (auto it = map->begin(); it != map->end();) {
                const int r = int(it.key() >> 32), c = int(it.key() & 0xffffffffu);
                it = (r >= rows || c >= cols) ? map->erase(it) : std::next(it);
            }
    }
    rows_ = rows;
    cols_ = cols;
}

void Grid::ensureRows(int rows, int height) {
    const int old = rows_;
    if (rows <= old) return;
    resize(rows, cols_);
    for (int r = old; r < rows; ++r)
        rowHeights_[r] = height;
}

QString Grid::text(int r, int c) const {
    if (r < 0 || c < 0 || r >= rows_ || c >= cols_) return {};
    return cells_[qsizetype(r) * cols_ + c];
}

void Grid::setText(int r, int c, const QString& s) {
    Q_ASSERT(r >= 0 && c >= 0 && r < rows_ && c < cols_);
    if (r < 0 || c < 0 || r >= rows_ || c >= cols_) return;
    cells_[qsizetype(r) * cols_ + c] = s;
}

void Grid::clearRow(int r) {
    for (int c = 0; c < cols_; ++c)
        setText(r, c, QString());
}

int Grid::colWidth(int c) const {
    return c >= 0 && c < cols_ ? colWidths_[c] : DefaultColWidth;
}
void Grid::setColWidth(int c, int twips) {
    if (c >= 0 && c < cols_) colWidths_[c] = twips;
}
int Grid::rowHeight(int r) const {
    return r >= 0 && r < rows_ ? rowHeights_[r] : DefaultRowHeight;
}
void Grid::setRowHeight(int r, int twips) {
    if (r >= 0 && r < rows_) rowHeights_[r] = twips;
}
Grid::Align Grid::colAlign(int c) const {
    return c >= 0 && c < cols_ ? colAligns_[c] : Align::Default;
}
void Grid::setColAlign(int c, Align a) {
    if (c >= 0 && c < cols_) colAligns_[c] = a;
}

QStringList Grid::column(int c, int from) const {
    QStringList out;
    for (int r = from; r < rows_; ++r)
        out << text(r, c);
    return out;
}

} // namespace shell
