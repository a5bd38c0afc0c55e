#pragma once

#include "GridView.h"

namespace shell {

// The "序号"/"编号" grid of the library editors (shell::numberedGrid): a
// release of the left button over a row picks that row's 编号.
class NumberGrid : public GridView {
    Q_OBJECT
public:
    explicit NumberGrid(QWidget* parent = nullptr);
    // The 编号 of a row ("" for a blank row or the heading).
    QString numberAt(int row) const;

Q_SIGNALS:
    void numberPicked(int row, const QString& number);
};

} // namespace shell
