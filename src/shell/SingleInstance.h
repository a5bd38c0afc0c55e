#pragma once

#include <QObject>
#include <QStringList>

class QLocalServer;

namespace shell {

// Keeps one running copy per user and data folder. A second start hands its
// arguments to the running copy and ends.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(const QString& key, QObject* parent = nullptr);
    // True when another copy took the arguments; this copy should then end.
    bool forwardToRunning(const QStringList& arguments);
    // Starts listening for later starts.
    bool listen();

Q_SIGNALS:
    void messageReceived(const QStringList& arguments);

private:
    QString name_;
    QLocalServer* server_ = nullptr;
};

} // namespace shell
