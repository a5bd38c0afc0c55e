#include "PlanFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringConverter>
#include <QStringDecoder>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lessons {

using shell::Outcome;
using shell::Reason;

QString decodePlanText(const QByteArray& bytes) {
    // A byte-order mark says what the file is: Windows Notepad's "Unicode"
    // is UTF-16 LE with one, and editors write BE and UTF-32 too.
    if (const auto marked = QStringConverter::encodingForData(bytes);
        marked && *marked != QStringConverter::Utf8) {
        QStringDecoder decoder(*marked); // drops the mark
        return decoder.decode(bytes);
    }
    {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        QString text = utf8.decode(bytes);
        if (!utf8.hasError()) return text; // the decoder drops a leading BOM
    }
    QStringDecoder gb("GB18030");
    if (gb.isValid()) return gb.decode(bytes);
    // Without the codec (a Qt built without ICU) the text is still shown,
    // its unreadable bytes as replacement characters.
    return QString::fromUtf8(bytes);
}

Outcome readPlanFile(const QString& path, QString* text) {
    const QString shown = QDir::toNativeSeparators(path);
    const auto cannotRead = [&](const QString& why) {
        return Outcome::fail(Reason::Failed, QStringLiteral("无法读取文件“%1”：%2！").arg(shown, why));
    };
    const QByteArray native = QFile::encodeName(path);
    // Opened without waiting: a named pipe with no writer would otherwise
    // hold the window until someone writes to it. What was opened is then
    // checked, not the name, so nothing can be swapped in between.
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        const int err = errno;
        if (err == ENOENT || err == ENOTDIR)
            return Outcome::fail(Reason::NotFound, QStringLiteral("文件“%1”不存在！").arg(shown));
        if (err == EACCES || err == EPERM) return cannotRead(QStringLiteral("没有读取它的权限"));
        if (err == EISDIR)
            return Outcome::fail(Reason::Invalid, QStringLiteral("“%1”是文件夹，不是教案文件！").arg(shown));
        return cannotRead(QString::fromLocal8Bit(std::strerror(err)));
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const bool folder = S_ISDIR(st.st_mode);
        ::close(fd);
        if (folder)
            return Outcome::fail(Reason::Invalid, QStringLiteral("“%1”是文件夹，不是教案文件！").arg(shown));
        return Outcome::fail(Reason::Invalid,
                             QStringLiteral("“%1”不是普通文件（管道或设备），不能作为教案打开！").arg(shown));
    }
    // A regular file reads at once; the mode no longer matters.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    QFile f;
    if (!f.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return cannotRead(f.errorString());
    }
    const QByteArray bytes = f.readAll();
    if (f.error() != QFileDevice::NoError) return cannotRead(f.errorString());
    *text = decodePlanText(bytes);
    return Outcome::done();
}

} // namespace lessons
