#pragma once

// Where windows go on the screen, and which window a dialog belongs to.
// Teachers' laptops have 1366×768 or even 1024×768 screens with a panel on
// them: every window and dialog of the program is sized and placed through
// these helpers, so that its frame, title bar included, lies within the
// screen's available area.

#include <QMargins>
#include <QRect>

class QScreen;
class QWidget;

namespace shell {

// A frame `frame` made to fit `available`: no larger than the area, then
// moved the least distance that puts it inside.
QRect keptInside(const QRect& frame, const QRect& available);
// A frame of `size` with its centre on `over`'s (on the area's when `over`
// is empty), then kept inside `available`.
QRect centredInside(const QSize& size, const QRect& over, const QRect& available);

// The outer frame the desktop gives `w`. It is known once the window has been
// shown; before that the frame of `like`, else of a window of the program
// already on screen, stands for it.
QMargins frameMargins(const QWidget* w, const QWidget* like = nullptr);

// Sizes and moves the top-level window `w` so that its frame lies within the
// available area of the screen: centred over `over`'s window when given and
// `centre`, on the screen's centre when `centre` and no `over`, else kept
// where it stands and only pulled in. Used before a window is shown.
void placeOnScreen(QWidget* w, const QWidget* over, bool centre);

// Makes the top-level `dialog` belong to `owner`'s window: the desktop keeps
// it above that window (it is transient for it) and it closes when that
// window goes. The dialog's type must be a dialog or tool window.
void setOwner(QWidget* dialog, QWidget* owner);
// The window `dialog` belongs to, or null.
QWidget* ownerOf(const QWidget* dialog);

} // namespace shell
