#pragma once

#include "Outcome.h"

#include <QString>
#include <QUrl>
#include <functional>

namespace shell {

// Opening an address a teacher stored (a bookmark, a lesson plan's
// courseware address) without ever starting a program behind their back.
// The opener only classifies and launches; asking is a window's job: a
// target that needsConsent() is opened only after the window has asked
// `question` through MessageBox and got Yes.
enum class OpenKind {
    Web,         // http, https, ftp or "www.": the web browser
    Document,    // a local file or folder that is not a program: the desktop's program for it
    Program,     // an executable, a script or a .desktop file: started only after asking
    OtherScheme, // an address of another kind (mailto:, a custom handler): opened only after asking
    Missing,     // a local path that is not there
    Invalid,     // empty, more than one line, or not an address at all
};

struct OpenTarget {
    OpenKind kind = OpenKind::Invalid;
    QString text; // the address as given, trimmed
    QUrl url;     // what is handed to the desktop (a file: URL for local paths)
    QString localPath;
    bool needsConsent() const { return kind == OpenKind::Program || kind == OpenKind::OtherScheme; }
    // The Yes/No question for a target that needs consent; empty otherwise.
    QString question() const;
};

// Longest address the program takes (and stores: the bookmark table's
// address field has this size).
inline constexpr int kMaxAddressLength = 2048;

OpenTarget classifyAddress(const QString& address);

// Opens a classified target. Reason::Invalid / NotFound for a target that
// cannot be opened, Reason::NotChosen for one that needs consent when
// `consented` is false (nothing is started), Reason::Failed when the desktop
// would not start anything. The messages are the texts to show.
Outcome openTarget(const OpenTarget& target, bool consented);

// How targets reach the desktop: by default xdg-open for addresses and
// documents, the file itself for a consented program with its executable
// bit. Tests put a recorder here.
using Launcher = std::function<bool(const OpenTarget&)>;
void setLauncherForTesting(Launcher launcher); // empty: back to the desktop

} // namespace shell
