#include "SingleInstance.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <cerrno>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace shell {

namespace {

// A real folder (not a link), owned by us, that no one else may enter or
// write to.
bool privateFolder(const QString& path) {
    struct stat st {};
    if (lstat(QFile::encodeName(path).constData(), &st) != 0) return false;
    return S_ISDIR(st.st_mode) && st.st_uid == geteuid() && (st.st_mode & 077) == 0;
}

// True when the process at the other end of a connected local socket runs
// as this user.
bool peerIsUs(qintptr fd) {
    struct ucred cred {};
    socklen_t len = sizeof cred;
    return fd >= 0 && getsockopt(int(fd), SOL_SOCKET, SO_PEERCRED, &cred, &len) == 0 && cred.uid == geteuid();
}

} // namespace

QString SingleInstance::socketFolder() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (QDir::isAbsolutePath(runtime) && privateFolder(runtime)) return QDir::cleanPath(runtime);
    // A folder of our own in the temporary folder. One that is there already
    // but is not ours (or is open to others) is not used: another user may
    // have made it to catch our socket.
    const QString own = QDir::tempPath() + QStringLiteral("/veltrano-%1").arg(geteuid());
    const QByteArray native = QFile::encodeName(own);
    if (mkdir(native.constData(), 0700) != 0 && errno != EEXIST) return {};
    struct stat st {};
    // Ours but opened up (by hand, or by a umask at some time): closed again.
    // Whatever someone put in meanwhile is still ignored by the user check.
    if (lstat(native.constData(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == geteuid() &&
        (st.st_mode & 077) != 0)
        chmod(native.constData(), 0700);
    return privateFolder(own) ? own : QString();
}

SingleInstance::SingleInstance(const QString& key, QObject* parent) : QObject(parent) {
    const QString folder = socketFolder();
    if (folder.isEmpty()) return;
    const QByteArray h = QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    path_ = folder + QStringLiteral("/veltrano-%1").arg(QString::fromLatin1(h));
}

bool SingleInstance::forwardToRunning(const QStringList& arguments) {
    if (path_.isEmpty()) return false;
    QLocalSocket socket;
    socket.connectToServer(path_);
    if (!socket.waitForConnected(500)) return false;
    // Only a copy run by this user takes the arguments; anything else
    // listening there is ignored and this copy starts.
    if (!peerIsUs(socket.socketDescriptor())) {
        socket.abort();
        return false;
    }
    QByteArray data;
    QDataStream out(&data, QIODevice::WriteOnly);
    out << arguments;
    socket.write(data);
    socket.waitForBytesWritten(1000);
    socket.disconnectFromServer();
    return true;
}

bool SingleInstance::listen() {
    if (path_.isEmpty()) return false;
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(path_)) {
        // A copy that was killed leaves its socket behind (in our own folder,
        // so it is ours to remove).
        QLocalServer::removeServer(path_);
        if (!server_->listen(path_)) return false;
    }
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* s = server_->nextPendingConnection()) {
            if (!peerIsUs(s->socketDescriptor())) {
                s->abort();
                s->deleteLater();
                continue;
            }
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
