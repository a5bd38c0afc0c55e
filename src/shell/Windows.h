#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>

namespace shell {

// The one program-wide reference per window. open(name) creates the window
// on first use, shows it modeless and brings it forward; closing a window
// (WA_DeleteOnClose) clears its entry, so the next open() makes it afresh.
// Tools register a factory per window name; a named window that has no
// factory yet opens as an empty window with its name and caption.
class Windows : public QObject {
    Q_OBJECT
public:
    using Factory = std::function<QWidget*()>;

    static Windows& instance();

    void setFactory(const QString& name, Factory f);
    bool hasFactory(const QString& name) const { return factories_.contains(name); }
    Factory factory(const QString& name) const { return factories_.value(name); }
    // Creates (when needed) without showing.
    QWidget* load(const QString& name);
    // Creates when needed, shows, raises and activates. A window shown for
    // the first time that has not placed itself opens centred over
    // `caller`'s window; without a caller over the active window when that
    // is one of the program's windows; else centred on the screen. Either
    // way it is made to fit the screen's available area, frame included. A
    // dialog or tool window opened with a caller belongs to the caller's
    // window and stays above it. A window already on screen stays where it
    // is.
    QWidget* open(const QString& name, QWidget* caller = nullptr);
    QWidget* find(const QString& name) const;
    // Closes the window through its own close handling; true when it is gone
    // (a window may refuse, e.g. after "cancel" on an unsaved text).
    bool unload(const QString& name);
    // The same for a window the caller holds (one it opened, or itself).
    bool unload(QWidget* window);
    QStringList loadedNames() const;

    // Marks `name` as a window that keeps a class or a library open while it
    // is loaded; holdingData() lists those loaded now, in the order they were
    // marked (a restore of the data files waits until they are closed).
    void setHoldsData(const QString& name);
    QStringList holdingData() const;

    // The caption of a window, or empty.
    static QString caption(const QString& name);
    static QStringList knownNames();

    // Where a window whose outer size (frame included) is `size` goes: its
    // centre on the centre of `over` (or of `available` when `over` is
    // empty), moved into `available`; a window larger than that area is
    // made as large as the area.
    static QRect placement(const QSize& size, const QRect& over, const QRect& available);

Q_SIGNALS:
    void windowLoaded(const QString& name);
    void windowUnloaded(const QString& name);

private:
    Windows() = default;
    void place(QWidget* w, QWidget* caller) const;
    QHash<QString, Factory> factories_;
    QHash<QString, QPointer<QWidget>> loaded_;
    QStringList holdsData_;
};

} // namespace shell
