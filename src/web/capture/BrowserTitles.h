#pragma once

#include "WindowSource.h"

#include <QString>
#include <QStringList>

namespace web::capture {

// Which browser a window belongs to, as far as the address lookup cares:
// Firefox-family browsers keep their open pages in a session file.
enum class BrowserFamily { None, Marked, Firefox, Chromium, Other };

// The four title markers of the browsers the capture has always known,
// searched as exact, case-sensitive substrings, in the order they are
// applied to the name (each later one overwrites the earlier).
const QStringList& classicMarkers();

struct BrowserCheck {
    bool browser = false;
    BrowserFamily family = BrowserFamily::None;
    QString pageName; // may be empty: the title holds nothing but the browser's name
};

// BrowserWindowCheck without the address: whether a top-level window is a
// web browser and the page name its title gives. A window is a browser when
// its title holds one of the four markers, ends with a browser's own title
// suffix (" — Mozilla Firefox", " - Chromium", …), or its WM_CLASS names a
// browser. The name: the title without that suffix, then cut before each
// classic marker in turn.
BrowserCheck checkBrowserWindow(const TopWindow& window);

// The page name of a title alone (no WM_CLASS).
QString pageNameFromTitle(const QString& title);

// The longest title read from a window, as the capture's 1024-character
// buffer has always taken.
inline constexpr int kMaxTitleLength = 1024;

} // namespace web::capture
