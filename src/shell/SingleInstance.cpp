#include "SingleInstance.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QLocalServer>
#include <QLocalSocket>
#include <unistd.h>

namespace shell {

SingleInstance::SingleInstance(const QString& key, QObject* parent) : QObject(parent) {
    const QByteArray h = QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    name_ = QStringLiteral("veltrano-%1-%2").arg(getuid()).arg(QString::fromLatin1(h));
}

bool SingleInstance::forwardToRunning(const QStringList& arguments) {
    QLocalSocket socket;
    socket.connectToServer(name_);
    if (!socket.waitForConnected(500)) return false;
    QByteArray data;
    QDataStream out(&data, QIODevice::WriteOnly);
    out << arguments;
    socket.write(data);
    socket.waitForBytesWritten(1000);
    socket.disconnectFromServer();
    return true;
}

bool SingleInstance::listen() {
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(name_)) {
        // A copy that was killed leaves its socket behind.
        QLocalServer::removeServer(name_);
        if (!server_->listen(name_)) return false;
    }
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* s = server_->nextPendingConnection()) {
            connect(s, &QLocalSocket::disconnected, s, &QObject::deleteLater);
            connect(s, &QLocalSocket::readyRead, this, [this, s] {
                QDataStream in(s);
                in.startTransaction();
                QStringList args;
                in >> args;
                if (!in.commitTransaction()) return;
                Q_EMIT messageReceived(args);
            });
        }
    });
    return true;
}

} // namespace shell
