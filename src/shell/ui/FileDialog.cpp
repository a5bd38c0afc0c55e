#include "FileDialog.h"

#include <QFileDialog>
#include <QStringList>

namespace shell {

namespace {
QStringList& queued() {
    static QStringList q;
    return q;
}
} // namespace

QString FileDialog::getOpenFileName(QWidget* parent, const QString& caption, const QString& dir,
                                    const QString& filter) {
    if (!queued().isEmpty()) return queued().takeFirst();
    return QFileDialog::getOpenFileName(parent, caption, dir, filter, nullptr,
                                        QFileDialog::DontUseNativeDialog);
}

QString FileDialog::getSaveFileName(QWidget* parent, const QString& caption, const QString& dir,
                                    const QString& filter) {
    if (!queued().isEmpty()) return queued().takeFirst();
    return QFileDialog::getSaveFileName(parent, caption, dir, filter, nullptr,
                                        QFileDialog::DontUseNativeDialog);
}

QString FileDialog::getSaveFileName(QWidget* parent, const QString& caption, const QString& dir,
                                    const QString& filter, QString* selectedFilter) {
    if (!queued().isEmpty()) return queued().takeFirst();
    return QFileDialog::getSaveFileName(parent, caption, dir, filter, selectedFilter,
                                        QFileDialog::DontUseNativeDialog);
}

void FileDialog::setNextFileName(const QString& name) {
    queued() << name;
}
void FileDialog::clearNextFileNames() {
    queued().clear();
}

} // namespace shell
