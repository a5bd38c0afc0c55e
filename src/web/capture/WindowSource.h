#pragma once

#include <QList>
#include <QString>
#include <cstdint>
#include <memory>

namespace web::capture {

// The longest address the capture takes; one that is longer is refused
// whole, never cut (a cut address opens the wrong page). The bookmark
// table's address field has the same size.
inline constexpr int kMaxCapturedAddress = 2048;

// One top-level window of the desktop as the capture sees it.
struct TopWindow {
    uint64_t id = 0;
    QString title;    // _NET_WM_NAME, else WM_NAME
    QString wmClass;  // WM_CLASS, class part ("firefox", "Chromium")
    QString instance; // WM_CLASS, instance part ("Navigator", "chromium")
};

// The desktop's windows. The capture window uses one of these and knows
// nothing of X: on a desktop it is XcbWindows, in tests and benchmarks a
// WindowTree.
class WindowSource {
public:
    virtual ~WindowSource() = default;
    // Top-level windows front to back, the program's own left out.
    virtual QList<TopWindow> topLevelWindows() = 0;
    // The text of the first window, in a depth-first walk from `window`
    // (itself first), whose class name ends with "Edit"; empty when there is
    // none or its text is empty.
    virtual QString findEditText(uint64_t window) = 0;
    // False when other programs' windows cannot be seen at all (no X
    // server, or a Wayland desktop where X shows only some of them).
    virtual bool seesAllWindows() const { return true; }
};

// A window tree held in memory: what a test or a benchmark sets up.
struct WindowNode {
    uint64_t id = 0;
    QString title;
    QString wmClass;
    QString instance;
    QList<WindowNode> children;
};

class WindowTree : public WindowSource {
public:
    WindowTree() = default;
    explicit WindowTree(QList<WindowNode> frontToBack) : tops_(std::move(frontToBack)) {}
    QList<WindowNode>& tops() { return tops_; }
    // A desktop whose windows cannot all be seen (as on Wayland).
    void setSeesAllWindows(bool all) { seesAll_ = all; }

    QList<TopWindow> topLevelWindows() override;
    QString findEditText(uint64_t window) override;
    bool seesAllWindows() const override { return seesAll_; }

private:
    QList<WindowNode> tops_;
    bool seesAll_ = true;
};

// The walk of findEditText over any tree of nodes.
QString findEditTextIn(const WindowNode& node);

} // namespace web::capture
