#include "BrowserTitles.h"

#include <QHash>
#include <QList>
#include <QSet>

namespace web::capture {

namespace {

struct Product {
    QString name; // the browser's own part of a title, without the separator
    BrowserFamily family;
};

// Today's Linux browsers put their name after the page's, behind an em dash
// (Firefox and its relatives) or a hyphen (the Chromium family); some
// versions used the other dash, so both are tried. Longer names first, so
// that "Mozilla Firefox Private Browsing" is not cut as "Mozilla Firefox".
const QList<Product>& products() {
    static const QList<Product> p{
        {QStringLiteral("Mozilla Firefox Private Browsing"), BrowserFamily::Firefox},
        {QStringLiteral("Firefox Developer Edition"), BrowserFamily::Firefox},
        {QStringLiteral("Firefox Nightly"), BrowserFamily::Firefox},
        {QStringLiteral("Mozilla Firefox"), BrowserFamily::Firefox},
        {QStringLiteral("LibreWolf"), BrowserFamily::Firefox},
        {QStringLiteral("Waterfox"), BrowserFamily::Firefox},
        {QStringLiteral("Google Chrome"), BrowserFamily::Chromium},
        {QStringLiteral("Chromium"), BrowserFamily::Chromium},
        {QStringLiteral("Microsoft Edge"), BrowserFamily::Chromium},
        {QStringLiteral("Brave"), BrowserFamily::Chromium},
        {QStringLiteral("Vivaldi"), BrowserFamily::Chromium},
        {QStringLiteral("Falkon"), BrowserFamily::Other},
        {QStringLiteral("Konqueror"), BrowserFamily::Other},
    };
    return p;
}

BrowserFamily familyOfClass(const QString& wmClass, const QString& instance) {
    static const QHash<QString, BrowserFamily> classes{
        {QStringLiteral("firefox"), BrowserFamily::Firefox},
        {QStringLiteral("firefox-esr"), BrowserFamily::Firefox},
        {QStringLiteral("firefox_firefox"), BrowserFamily::Firefox}, // the snap
        {QStringLiteral("librewolf"), BrowserFamily::Firefox},
        {QStringLiteral("waterfox"), BrowserFamily::Firefox},
        {QStringLiteral("tor browser"), BrowserFamily::Firefox},
        {QStringLiteral("chromium"), BrowserFamily::Chromium},
        {QStringLiteral("chromium-browser"), BrowserFamily::Chromium},
        {QStringLiteral("google-chrome"), BrowserFamily::Chromium},
        {QStringLiteral("google-chrome-stable"), BrowserFamily::Chromium},
        {QStringLiteral("brave-browser"), BrowserFamily::Chromium},
        {QStringLiteral("vivaldi-stable"), BrowserFamily::Chromium},
        {QStringLiteral("microsoft-edge"), BrowserFamily::Chromium},
        {QStringLiteral("opera"), BrowserFamily::Chromium},
        {QStringLiteral("epiphany"), BrowserFamily::Other},
        {QStringLiteral("org.gnome.epiphany"), BrowserFamily::Other},
        {QStringLiteral("falkon"), BrowserFamily::Other},
        {QStringLiteral("konqueror"), BrowserFamily::Other},
        {QStringLiteral("midori"), BrowserFamily::Other},
        {QStringLiteral("qutebrowser"), BrowserFamily::Other},
    };
    const BrowserFamily f = classes.value(wmClass.toLower(), BrowserFamily::None);
    return f != BrowserFamily::None ? f : classes.value(instance.toLower(), BrowserFamily::None);
}

// The title without a browser's own suffix; `family` says whose it was
// (None when there was none). A title that is only the browser's name (an
// empty tab) gives an empty page name. Names that are ordinary words
// ("Web", "Opera") are left out: a music player's "La Traviata - Opera"
// is not a browser.
QString stripProductSuffix(const QString& title, BrowserFamily* family) {
    *family = BrowserFamily::None;
    for (const Product& p : products()) {
        if (title == p.name) {
            *family = p.family;
            return {};
        }
        for (const QString& dash : {QStringLiteral(" — "), QStringLiteral(" - ")}) {
            const QString suffix = dash + p.name;
            if (title.endsWith(suffix)) {
                *family = p.family;
                return title.left(title.size() - suffix.size());
            }
        }
    }
    return title;
}

QString applyMarkers(const QString& base, bool* marked) {
    QString name = base;
    *marked = false;
    // " - Netscape", " - Microsoft Internet Explorer", "Offline Explorer",
    // "Tencent Explorer": the last one found wins.
    for (const QString& m : classicMarkers()) {
        const qsizetype at = base.indexOf(m);
        if (at >= 0) {
            name = base.left(at);
            *marked = true;
        }
    }
    return name;
}

} // namespace

const QStringList& classicMarkers() {
    static const QStringList m{QStringLiteral(" - Netscape"),
                               QStringLiteral(" - Microsoft Internet Explorer"),
                               QStringLiteral("Offline Explorer"), QStringLiteral("Tencent Explorer")};
    return m;
}

QString pageNameFromTitle(const QString& title) {
    BrowserFamily f;
    bool marked;
    return applyMarkers(stripProductSuffix(title.left(kMaxTitleLength), &f), &marked);
}

BrowserCheck checkBrowserWindow(const TopWindow& w) {
    BrowserCheck r;
    const QString title = w.title.left(kMaxTitleLength);
    BrowserFamily suffixFamily;
    const QString base = stripProductSuffix(title, &suffixFamily);
    bool marked = false;
    r.pageName = applyMarkers(base, &marked);
    const BrowserFamily classFamily = familyOfClass(w.wmClass, w.instance);
    if (suffixFamily != BrowserFamily::None)
        r.family = suffixFamily;
    else if (classFamily != BrowserFamily::None)
        r.family = classFamily;
    else if (marked)
        r.family = BrowserFamily::Marked;
    // A browser known only by its class needs a title: browsers keep hidden
    // helper windows of their class without one.
    r.browser = marked || suffixFamily != BrowserFamily::None ||
                (classFamily != BrowserFamily::None && !title.isEmpty());
    if (!r.browser) {
        r.family = BrowserFamily::None;
        r.pageName.clear();
    }
    return r;
}

} // namespace web::capture
