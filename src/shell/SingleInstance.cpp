#include "SingleInstance.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <cerrno>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace shell {

namespace {

// A real folder (not a link), owned by us, that only we may enter and
// write to: mode 0700 exactly. A folder someone else made, or one opened to
// others, may hold (or later get) another user's socket.
bool privateFolder(const QString& path) {
    struct stat st {};
    if (lstat(QFile::encodeName(path).constData(), &st) != 0) return false;
    return S_ISDIR(st.st_mode) && st.st_uid == geteuid() && (st.st_mode & 07777) == 0700;
}

// The longest socket path the system takes (sun_path, with its NUL).
constexpr qsizetype kMaxSocketPath = sizeof(sockaddr_un::sun_path) - 1;
// What a socket's name adds to its folder: "/veltrano-" and 16 hex digits.
constexpr qsizetype kSocketName = 26;

// `path`, made now with mode 0700 when missing, if it is private and a
// socket in it has a name the system takes; else empty.
QString ownFolder(const QString& path) {
    if (path.isEmpty() || QFile::encodeName(path).size() + kSocketName > kMaxSocketPath) return {};
    const QByteArray native = QFile::encodeName(path);
    if (mkdir(native.constData(), 0700) != 0 && errno != EEXIST) return {};
    return privateFolder(path) ? path : QString();
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
    if (QDir::isAbsolutePath(runtime) && privateFolder(runtime) &&
        QFile::encodeName(runtime).size() + kSocketName <= kMaxSocketPath)
        return QDir::cleanPath(runtime);
    // A folder of our own in the temporary folder. One that is there already
    // but is not ours, or is open to others, is not used: another user may
    // have made it to catch our socket, or to keep two copies from meeting.
    if (QString tmp = ownFolder(QDir::tempPath() + QStringLiteral("/veltrano-%1").arg(geteuid()));
        !tmp.isEmpty())
        return tmp;
    // Then one in the user's own cache folder, which no one else can make.
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (cache.isEmpty() || !QDir().mkpath(cache + QStringLiteral("/veltrano"))) return {};
    return ownFolder(cache + QStringLiteral("/veltrano/run"));
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
