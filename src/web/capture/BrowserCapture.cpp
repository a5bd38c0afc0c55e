#include "BrowserCapture.h"

#include "XcbWindows.h"

#include <cstring>

namespace web::capture {

namespace {
bool isSingleLine(const QString& s) {
    for (QChar c : s)
        if (c.unicode() < 0x20 || c.unicode() == 0x7f || c == QChar::LineSeparator ||
            c == QChar::ParagraphSeparator)
            return false;
    return true;
}
} // namespace

QString boundedLine(const QString& text) {
    const QString t = text.trimmed();
    if (t.size() > kMaxCapturedAddress || !isSingleLine(t)) return {};
    return t;
}

QString webAddressIn(const QString& text) {
    const QString t = boundedLine(text);
    if (t.isEmpty() || t.contains(u' ')) return {};
    for (const char* prefix : {"http://", "https://", "ftp://", "www."})
        if (t.startsWith(QLatin1String(prefix), Qt::CaseInsensitive) && t.size() > qsizetype(strlen(prefix)))
            return t;
    return {};
}

BrowserCapture::BrowserCapture(std::unique_ptr<WindowSource> windows,
                               std::unique_ptr<FirefoxSessions> sessions)
    : windows_(std::move(windows)), sessions_(std::move(sessions)) {}

BrowserCapture::~BrowserCapture() = default;

std::unique_ptr<BrowserCapture> BrowserCapture::forDesktop() {
    return std::make_unique<BrowserCapture>(std::make_unique<XcbWindows>(),
                                            std::make_unique<FirefoxSessions>());
}

void BrowserCapture::noteClipboard(const QString& text) {
    const QString a = webAddressIn(text);
    if (!a.isEmpty()) clipboard_ = a;
}

CaptureResult BrowserCapture::tick() {
    CaptureResult r;
    for (const TopWindow& w : windows_->topLevelWindows()) {
        const BrowserCheck check = checkBrowserWindow(w);
        if (!check.browser) continue;
        // The walk stops at the first browser window, with or without an
        // address in it.
        r.found = true;
        r.pageName = check.pageName;
        r.address = boundedLine(windows_->findEditText(w.id));
        if (!r.address.isEmpty()) {
            r.from = CaptureResult::From::EditWindow;
            return r;
        }
        if (sessions_ && check.family == BrowserFamily::Firefox && !check.pageName.isEmpty()) {
            r.address = boundedLine(sessions_->addressForTitle(check.pageName));
            if (!r.address.isEmpty()) {
                r.from = CaptureResult::From::Session;
                return r;
            }
        }
        if (!clipboard_.isEmpty()) {
            r.address = clipboard_;
            r.from = CaptureResult::From::Clipboard;
        }
        return r;
    }
    // Where every window can be seen and none is a browser, a session file
    // is what a closed browser left behind; an address the teacher copied
    // still counts.
    if (!windows_->seesAllWindows() && sessions_) {
        if (const std::optional<SessionPage> p = sessions_->currentPage()) {
            const QString address = boundedLine(p->url);
            if (!address.isEmpty()) {
                r.pageName = p->title.left(kMaxTitleLength);
                r.address = address;
                r.from = CaptureResult::From::Session;
                return r;
            }
        }
    }
    if (!clipboard_.isEmpty()) {
        r.address = clipboard_;
        r.from = CaptureResult::From::Clipboard;
    }
    return r;
}

} // namespace web::capture
