#include "TaskFrame.h"

#include "scores/ui/frmStudenCJ.h"
#include "shell/core/Units.h"
#include "shell/ui/MessageBox.h"

namespace scores {

TaskFrame::TaskFrame(int index, const QString& caption, QPoint placeTwips, QSize sizePx, frmStudenCJ* window)
    : QGroupBox(caption), index_(index), place_(placeTwips), window_(window) {
    setObjectName(QStringLiteral("famStdCjList(%1)").arg(index));
    // The frame covers the grid beneath it, as a panel does.
    setAutoFillBackground(true);
    resize(sizePx);
    hide();
}

ScoreModel& TaskFrame::model() const {
    return window_->model();
}

void TaskFrame::open() {
    showAndPlace(false);
}

void TaskFrame::gridClicked(int, int, const ClickResult&) {}

void TaskFrame::showAndPlace(bool emptyCaption) {
    window_->ShowTask(index_);
    if (emptyCaption) setTitle(QString());
    move(shell::twipsToPx(place_.x()), shell::twipsToPx(place_.y()));
    raise();
}

void TaskFrame::tell(const Outcome& o) {
    for (const QString& m : o.messages)
        shell::MessageBox::show(window_, m);
}

} // namespace scores
