#pragma once

#include <QObject>
#include <QStringList>

class QLocalServer;

namespace shell {

// Keeps one running copy per user and data folder. A second start hands its
// arguments to the running copy and ends.
//
// The socket lives in a folder only this user can enter (ours, mode 0700, not
// a link): $XDG_RUNTIME_DIR, else "veltrano-<uid>" in the temporary folder,
// else "veltrano/run" in the user's cache folder (~/.cache) when someone else
// took the temporary one. Both ends check the other's user id, so a socket or
// a connection of another user is ignored: such a copy does not stop this
// one starting, nor does it get this one's windows opened.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(const QString& key, QObject* parent = nullptr);
    // True when another copy of ours took the arguments; this copy should
    // then end.
    bool forwardToRunning(const QStringList& arguments);
    // Starts listening for later starts.
    bool listen();
    // The socket's full path; empty when no private folder could be had (the
    // program then runs without the single-copy check).
    QString serverPath() const { return path_; }

    // The folder the socket goes in, made when needed; empty when there is
    // none we can trust.
    static QString socketFolder();

Q_SIGNALS:
    void messageReceived(const QStringList& arguments);

private:
    QString path_;
    QLocalServer* server_ = nullptr;
};

} // namespace shell
