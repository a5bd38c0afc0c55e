#pragma once

#include "shell/core/Grid.h"

#include <QAbstractTableModel>
#include <QTableView>

namespace shell {

// Adapts a Grid to Qt's item views. The grid is held by value; setGrid()
// replaces it and resets the view.
class GridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;
    const Grid& grid() const { return grid_; }
    void setGrid(const Grid& g);

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : grid_.rows();
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : grid_.cols();
    }
    QVariant data(const QModelIndex& index, int role) const override;

private:
    Grid grid_;
};

// A flex-grid look: fixed row and column drawn grey, sizes in twips, no
// Qt headers. Emits cellClicked(row, col) for clicks on any cell, fixed
// cells included.
class GridView : public QTableView {
    Q_OBJECT
public:
    explicit GridView(QWidget* parent = nullptr);
    void setGrid(const Grid& g);
    const Grid& grid() const { return model_->grid(); }
    GridModel* gridModel() const { return model_; }
    // The cell under a point of the viewport, or (-1, -1).
    QPair<int, int> cellAt(const QPoint& viewportPos) const;

Q_SIGNALS:
    void cellClicked(int row, int col);
    void cellDoubleClicked(int row, int col);

private:
    void applySizes();
    GridModel* model_;
};

} // namespace shell
