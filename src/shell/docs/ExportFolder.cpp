#include "ExportFolder.h"

#include "shell/core/AppPaths.h"

#include <QDir>
#include <QFileInfo>

namespace shell {

namespace {

// A title as part of a file name: no folder separators, no characters other
// desktops refuse, no control characters, no leading dot (a hidden file),
// and short enough for any file system.
QString fileStem(const QString& title) {
    QString s;
    for (const QChar ch : title) {
        const bool bad = ch.unicode() < 0x20 || QStringView(u"/\\:*?\"<>|").contains(ch);
        s += bad ? QChar(u'_') : ch;
    }
    s = s.trimmed();
    while (s.startsWith(u'.'))
        s.remove(0, 1);
    if (s.size() > 60) s.truncate(s.at(59).isHighSurrogate() ? 59 : 60);
    return s.isEmpty() ? QStringLiteral("导出") : s;
}

} // namespace

QString exportFolder() {
    return AppPaths::file(QStringLiteral("导出"));
}

ExportTarget newExportFile(const QString& title, const QString& suffix, const QDateTime& when) {
    const QString folder = exportFolder();
    const QFileInfo info(folder);
    if (!info.isDir() && !QDir().mkpath(folder)) {
        const QString why =
            info.exists() ? QStringLiteral("同名的文件占用了这个名字") : QStringLiteral("不能建立文件夹");
        return {Outcome::fail(Reason::Failed, QStringLiteral("无法建立导出文件夹“%1”（%2）")
                                                  .arg(QDir::toNativeSeparators(folder), why)),
                {}};
    }
    const QString stem = fileStem(title) + when.toString(QStringLiteral("-yyyyMMdd-HHmmss"));
    const QDir dir(folder);
    for (int n = 1;; ++n) {
        const QString name = n == 1 ? QStringLiteral("%1.%2").arg(stem, suffix)
                                    : QStringLiteral("%1(%2).%3").arg(stem).arg(n).arg(suffix);
        const QString path = dir.filePath(name);
        if (!QFileInfo::exists(path)) return {Outcome::done(), path};
    }
}

} // namespace shell
