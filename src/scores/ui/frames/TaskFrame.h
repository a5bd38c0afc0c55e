#pragma once

#include "scores/model/ScoreModel.h"

#include <QGroupBox>
#include <QPoint>
#include <QSize>

namespace scores {

class frmStudenCJ;

// One task frame of the score window (famStdCjList(index)): a panel that
// floats over the grid at its own place, one visible at a time. Each frame
// lives in its own file; the window only opens them and passes grid clicks.
class TaskFrame : public QGroupBox {
    Q_OBJECT
public:
    TaskFrame(int index, const QString& caption, QPoint placeTwips, QSize sizePx, frmStudenCJ* window);

    int index() const { return index_; }
    // Where the frame stands in the window, in twips from the top left of
    // the window's client area (below the menu bar).
    QPoint placeTwips() const { return place_; }

    // Its menu entry was chosen: by default the frame is shown and placed.
    virtual void open();
    // The grid was clicked (the frame may be hidden; most frames then ignore it).
    virtual void gridClicked(int row, int col, const ClickResult& click);
    // The current student moved ("上一个"/"下一个").
    virtual void currentMoved() {}

protected:
    ScoreModel& model() const;
    frmStudenCJ* window() const { return window_; }
    // ShowTask(index), empty caption where the menu entry empties it, placed.
    void showAndPlace(bool emptyCaption);
    // Shows the messages of an outcome, in order, in the "系统提示：" box.
    void tell(const Outcome& o);

private:
    int index_;
    QPoint place_;
    frmStudenCJ* window_;
};

} // namespace scores
