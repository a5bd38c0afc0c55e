#include "AppPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace shell {

namespace {
QString& chosen() {
    static QString d;
    return d;
}
QString fallback() {
    const QString exeDir = QCoreApplication::applicationDirPath();
    const QFileInfo info(exeDir);
    // A build folder or a portable copy keeps its data beside the program. An
    // installed program never does: its folder is a prefix's bin folder
    // (/usr/bin, or ~/.local/bin after `cmake --install --prefix ~/.local`),
    // shared with other programs and writable for root or for the user who
    // owns the prefix.
    const bool installed = exeDir.startsWith(u"/usr") || info.fileName() == u"bin";
    if (!exeDir.isEmpty() && info.isDir() && info.isWritable() && !installed) return exeDir;
    QString loc = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (loc.isEmpty()) loc = QDir::homePath() + QStringLiteral("/.local/share");
    return loc + QStringLiteral("/veltrano");
}
} // namespace

QString AppPaths::dataDir() {
    const QString env = qEnvironmentVariable("VELTRANO_DATA_DIR");
    if (!env.isEmpty()) return QDir(env).absolutePath();
    if (chosen().isEmpty()) chosen() = fallback();
    return chosen();
}

void AppPaths::setDataDir(const QString& dir) {
    chosen() = QDir(dir).absolutePath();
}

QString AppPaths::file(const QString& name) {
    return QDir(dataDir()).filePath(name);
}

void AppPaths::init(const QStringList& args) {
    const int i = args.indexOf(QStringLiteral("--data-dir"));
    if (i >= 0 && i + 1 < args.size()) setDataDir(args[i + 1]);
    for (const QString& a : args)
        if (a.startsWith(u"--data-dir=")) setDataDir(a.mid(11));
}

} // namespace shell
