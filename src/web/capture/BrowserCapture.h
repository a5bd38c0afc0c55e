#pragma once

#include "BrowserTitles.h"
#include "FirefoxSession.h"
#include "WindowSource.h"

#include <QString>
#include <memory>

namespace web::capture {

struct CaptureResult {
    bool found = false; // a browser window was found (the walk stopped there)
    QString pageName;   // from its title; may be empty
    QString address;    // empty when none was found
    enum class From { None, EditWindow, Session, Clipboard } from = From::None;
};

// A single-line web address (http, https, ftp or "www.") of at most
// kMaxCapturedAddress characters, trimmed; empty for anything else.
QString webAddressIn(const QString& text);
// The address box's text from an "Edit" window: any single line of at most
// kMaxCapturedAddress characters, trimmed; empty otherwise.
QString boundedLine(const QString& text);

// One look at the desktop (CaptureBrowserAddress with BrowserWindowCheck):
// the first top-level window, front to back, that is a browser gives the
// page name and the address. The address comes from its "Edit" descendant
// where there is one; else from the browser's session data, the open page
// whose title is the page name; else the last web address seen on the
// clipboard or the selection (the window notes what they hold when it opens
// and whenever they change).
//
// Where other programs' windows cannot be seen (Wayland, no X server) and
// no browser window is found, the page Firefox shows in its front window
// (from its session data) is taken, name and address. Failing all that, the
// clipboard's address with no name (the teacher types it).
class BrowserCapture {
public:
    // `sessions` may be null: no session data is read.
    BrowserCapture(std::unique_ptr<WindowSource> windows, std::unique_ptr<FirefoxSessions> sessions);
    ~BrowserCapture();
    // The desktop's windows over X (none when there is no X server: on
    // Wayland only the session data and the clipboard can help) and the
    // user's Firefox profiles.
    static std::unique_ptr<BrowserCapture> forDesktop();

    WindowSource& windows() { return *windows_; }
    // Text that appeared on the clipboard or in the selection.
    void noteClipboard(const QString& text);
    QString clipboardAddress() const { return clipboard_; }

    CaptureResult tick();

private:
    std::unique_ptr<WindowSource> windows_;
    std::unique_ptr<FirefoxSessions> sessions_;
    QString clipboard_;
};

} // namespace web::capture
