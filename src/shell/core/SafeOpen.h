#pragma once

#include "Outcome.h"

#include <QString>
#include <QStringList>
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
    Unknown,     // a local file of a kind not known to only show its content: opened only after asking
    OtherScheme, // an address of another kind (mailto:, a custom handler): opened only after asking
    Missing,     // a local path that is not there
    Invalid,     // empty, more than one line, or not an address at all
};

struct OpenTarget {
    OpenKind kind = OpenKind::Invalid;
    QString text; // the address as given, trimmed
    QUrl url;     // what is handed to the desktop (a file: URL for local paths)
    QString localPath;
    // For a program: what it is started with, and where (empty: its own
    // folder).
    QStringList arguments;
    QString workingFolder;
    bool needsConsent() const {
        return kind == OpenKind::Program || kind == OpenKind::Unknown || kind == OpenKind::OtherScheme;
    }
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

// The shell's "open" of a path the teacher chose to start (a Tools-menu
// program, a file the finder found, an export just written): a program is
// started, any other file or folder opened with the desktop's program for
// it, without a question. Reason::NotFound when the path is not there.
Outcome openPath(const QString& path);

// A program the desktop describes (the Tools menu's stand-ins), started
// with `arguments` in the home folder.
Outcome startProgram(const QString& program, const QStringList& arguments);

// How targets reach the desktop: a consented program with its executable bit
// is started itself; anything else goes to the desktop opener the window
// layer installs (Qt's, which finds a portal, xdg-open or a browser on its
// own), and when that starts nothing, to xdg-open. Only when neither starts
// anything does openTarget fail.
using UrlOpener = std::function<bool(const QUrl&)>;
void setDesktopOpener(UrlOpener opener);

// Tests put a recorder here: it takes the place of the whole launch.
using Launcher = std::function<bool(const OpenTarget&)>;
void setLauncherForTesting(Launcher launcher); // empty: back to the desktop

// The window tests' seam, switched on once in their main: a path given to
// openPath or startProgram is checked as always but not started; its
// absolute path is recorded and it counts as started, so that no test
// starts a spreadsheet program or another window. takeShellOpened() returns
// the paths recorded since the last call. Stored addresses (openTarget) are
// not affected: their tests set a launcher.
void setShellOpenTestMode(bool on);
bool shellOpenTestMode();
QStringList takeShellOpened();

} // namespace shell
