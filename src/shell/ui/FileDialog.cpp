#include "FileDialog.h"

#include "shell/core/Settings.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringList>

namespace shell {

namespace {
QStringList& queued() {
    static QStringList q;
    return q;
}

// A name the teacher can keep: what a file system refuses in a name goes.
QString cleanName(const QString& name) {
    QString n = name.trimmed();
    n.replace(u'/', u'_');
    for (QChar& c : n)
        if (c.unicode() < 0x20) c = u'_';
    return n;
}

QString chosen(const QString& path) {
    if (!path.isEmpty()) {
        // Where the teacher keeps these files; losing the setting only
        // means the next dialog starts in the documents folder again.
        (void)setLastFileFolder(QFileInfo(path).absolutePath());
    }
    return path;
}
} // namespace

QString FileDialog::startFolder() {
    const QString last = lastFileFolder();
    if (!last.isEmpty() && QDir::isAbsolutePath(last) && QFileInfo(last).isDir()) return last;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!documents.isEmpty() && QFileInfo(documents).isDir()) return documents;
    return QDir::homePath();
}

QString FileDialog::startPath(const QString& suggested) {
    if (QDir::isAbsolutePath(suggested)) return suggested;
    const QString name = cleanName(suggested);
    return name.isEmpty() ? startFolder() : QDir(startFolder()).filePath(name);
}

QString FileDialog::getOpenFileName(QWidget* parent, const QString& caption, const QString& dir,
                                    const QString& filter) {
    if (!queued().isEmpty()) return queued().takeFirst();
    return chosen(QFileDialog::getOpenFileName(parent, caption, startPath(dir), filter, nullptr,
                                               QFileDialog::DontUseNativeDialog));
}

QString FileDialog::getSaveFileName(QWidget* parent, const QString& caption, const QString& dir,
                                    const QString& filter) {
    return getSaveFileName(parent, caption, dir, filter, nullptr);
}

QString FileDialog::getSaveFileName(QWidget* parent, const QString& caption, const QString& dir,
                                    const QString& filter, QString* selectedFilter) {
    if (!queued().isEmpty()) return queued().takeFirst();
    return chosen(QFileDialog::getSaveFileName(parent, caption, startPath(dir), filter, selectedFilter,
                                               QFileDialog::DontUseNativeDialog));
}

void FileDialog::setNextFileName(const QString& name) {
    queued() << name;
}
void FileDialog::clearNextFileNames() {
    queued().clear();
}

} // namespace shell
