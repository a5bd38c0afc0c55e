#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <cstdint>

namespace shell {

// A table the user sees, as a value: rows x columns of cell texts, column
// widths and row heights in twips, column alignment and cell colours. Row 0
// and column 0 are the fixed heading row and number column, as on screen.
// Models build and change Grids; windows only show them (GridView).
class Grid {
public:
    static constexpr int DefaultColWidth = 960;  // twips
    static constexpr int DefaultRowHeight = 240; // twips

    Grid() = default;
    Grid(int rows, int cols) { resize(rows, cols); }

    int rows() const { return rows_; }
    int cols() const { return cols_; }
    // Clears texts, colours, widths and heights and gives the new size.
    void reset(int rows, int cols);
    // Keeps what fits; new cells are empty.
    void resize(int rows, int cols);
    void setRows(int rows) { resize(rows, cols_); }
    void setCols(int cols) { resize(rows_, cols); }
    // Adds rows at the bottom (height h) until the grid has `rows` rows.
    void ensureRows(int rows, int height = DefaultRowHeight);

    QString text(int r, int c) const;
    void setText(int r, int c, const QString& s);
    // Empties every cell of row r (keeps its height).
    void clearRow(int r);

    int colWidth(int c) const;
    void setColWidth(int c, int twips);
    int rowHeight(int r) const;
    void setRowHeight(int r, int twips);

    enum class Align { Default, Left, Center, Right };
    Align colAlign(int c) const;
    void setColAlign(int c, Align a);

    // Colours are 0xRRGGBB; a cell without one uses the view's default.
    bool hasForeColor(int r, int c) const { return fore_.contains(key(r, c)); }
    uint32_t foreColor(int r, int c) const { return fore_.value(key(r, c)); }
    void setForeColor(int r, int c, uint32_t rgb) { fore_.insert(key(r, c), rgb); }
    bool hasBackColor(int r, int c) const { return back_.contains(key(r, c)); }
    uint32_t backColor(int r, int c) const { return back_.value(key(r, c)); }
    void setBackColor(int r, int c, uint32_t rgb) { back_.insert(key(r, c), rgb); }

    // Fixed (heading) rows and columns, drawn like buttons.
    int fixedRows() const { return fixedRows_; }
    int fixedCols() const { return fixedCols_; }
    void setFixed(int rows, int cols) {
        fixedRows_ = rows;
        fixedCols_ = cols;
    }
    bool wordWrap() const { return wordWrap_; }
    void setWordWrap(bool w) { wordWrap_ = w; }

    // Column c's texts from row `from` down.
    QStringList column(int c, int from = 1) const;
    bool operator==(const Grid&) const = default;

private:
    static uint64_t key(int r, int c) { return (uint64_t(uint32_t(r)) << 32) | uint32_t(c); }
    int rows_ = 0;
    int cols_ = 0;
    QList<QString> cells_;
    QList<int> colWidths_;
    QList<int> rowHeights_;
    QList<Align> colAligns_;
    QHash<uint64_t, uint32_t> fore_;
    QHash<uint64_t, uint32_t> back_;
    int fixedRows_ = 1;
    int fixedCols_ = 1;
    bool wordWrap_ = false;
};

} // namespace shell
