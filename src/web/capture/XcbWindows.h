#pragma once

#include "WindowSource.h"

#include <QByteArray>
#include <QSet>
#include <memory>

namespace web::capture {

// The X server's top-level windows through a connection of their own (the
// program's windows may be on another platform plugin, or none in tests).
//
// Front to back: the window manager's _NET_CLIENT_LIST_STACKING reversed;
// else its _NET_CLIENT_LIST, newest first; else, on a bare X server, the
// root's mapped children, top first. Titles from _NET_WM_NAME, else
// WM_NAME; classes from WM_CLASS. Windows whose _NET_WM_PID is this
// process, or that are named with setOwnWindows(), are left out. The
// requests for all windows go out before the first reply is read, so one
// look costs two round trips however many windows there are.
class XcbWindows : public WindowSource {
public:
    // `display` empty: $DISPLAY.
    explicit XcbWindows(const QByteArray& display = {});
    ~XcbWindows() override;
    XcbWindows(const XcbWindows&) = delete;
    XcbWindows& operator=(const XcbWindows&) = delete;

    // False when there is no X server to talk to (Wayland without Xwayland,
    // a console): then no window is ever found.
    bool connected() const;
    // Connected, and not on a Wayland desktop (where Xwayland shows only the
    // programs that still speak X).
    bool seesAllWindows() const override;
    void setOwnWindows(QSet<uint64_t> ids);

    QList<TopWindow> topLevelWindows() override;
    // The "Edit" window's text is its title. A text longer than the
    // capture's bound comes back longer than kMaxCapturedAddress, never cut
    // to a plausible address.
    QString findEditText(uint64_t window) override;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace web::capture
