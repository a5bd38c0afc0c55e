#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QElapsedTimer>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace web::capture {

// Firefox's compressed JSON files ("mozLz40\0", the decompressed size as a
// 4-byte little-endian number, then one LZ4 block). Returns nullopt for
// anything that is not exactly that: a short or foreign header, a size
// above `maxSize`, a block that does not decode to the size it claims.
inline constexpr qsizetype kMaxSessionSize = 64 * 1024 * 1024;
std::optional<QByteArray> decodeMozLz4(const QByteArray& file, qsizetype maxSize = kMaxSessionSize);
// The same format written (for tests and benchmarks: the program never
// writes a browser's files).
QByteArray encodeMozLz4(const QByteArray& json);

// One open page of a session: the current entry of a tab.
struct SessionPage {
    QString title;
    QString url;
    bool selected = false; // the tab shown in its window
    bool current = false;  // ... of the window in front (the session's "selectedWindow")
};
// The open pages of a session file's JSON (windows[].tabs[], each tab's
// entries[index - 1]); empty for anything else.
QList<SessionPage> parseSessionJson(const QByteArray& json);

// The open pages of every Firefox profile under the given profile roots,
// from sessionstore-backups/recovery.jsonlz4. A root's profiles are the ones
// its profiles.ini and installs.ini name (relative to the root or anywhere
// else) and the folders in it. A file is read again only when its size or
// time changed; the profile folders are looked for again at most every few
// seconds.
class FirefoxSessions {
public:
    FirefoxSessions();
    explicit FirefoxSessions(QStringList profileRoots);
    // Where Firefox keeps its profiles: the XDG folder of newer releases
    // (~/.config/mozilla/firefox), the classic ~/.mozilla/firefox, and the
    // same two inside the snap and flatpak homes.
    static QStringList defaultProfileRoots();
    // The profile folders of one root, each once.
    static QStringList profileFolders(const QString& root);

    // The address of the open page with exactly this title; a page shown in
    // its window goes before a background tab. Empty when none matches.
    QString addressForTitle(const QString& title);
    // The page shown in the window in front, of the session written last;
    // nullopt when there is none.
    std::optional<SessionPage> currentPage();
    // How many times a session file was read and decoded (for tests).
    int reads() const { return reads_; }

private:
    struct File {
        QString path;
        qint64 size = -1;
        QDateTime modified;
        QList<SessionPage> pages;
    };
    void refresh();
    void findFiles();

    QStringList roots_;
    QList<File> files_;
    QElapsedTimer lastLook_;
    int reads_ = 0;
};

} // namespace web::capture
