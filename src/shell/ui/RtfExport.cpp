#include "RtfExport.h"

#include "FileDialog.h"
#include "MessageBox.h"
#include "shell/docs/RtfWriter.h"

#include <QDir>
#include <QSaveFile>

namespace shell {

QStringList qtFileFilters(const QString& pairs) {
    const QStringList parts = pairs.split(u'|');
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        const QString name = parts[i];
        const QString pattern = parts[i + 1];
        out << (name.contains(u'(') ? name : QStringLiteral("%1 (%2)").arg(name, pattern));
    }
    return out;
}

Outcome exportRtf(QWidget* parent, const QString& caption, const QString& filter, const QByteArray& rtf,
                  int selectedFilter) {
    const QStringList filters = qtFileFilters(filter);
    QString chosen = filters.value(selectedFilter);
    const QString path = FileDialog::getSaveFileName(parent, caption, {}, filters.join(QStringLiteral(";;")),
                                                     chosen.isEmpty() ? nullptr : &chosen);
    if (path.isEmpty()) return Outcome::fail(Reason::NotChosen);
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(rtf) != rtf.size() || !f.commit()) {
        const Outcome failed = Outcome::fail(
            Reason::Failed,
            QStringLiteral("无法写入文件“%1”：%2").arg(QDir::toNativeSeparators(path), f.errorString()));
        MessageBox::showAll(parent, failed.messages);
        return failed;
    }
    return Outcome::done();
}

Outcome exportTextAsRtf(QWidget* parent, const QString& caption, const QString& filter, const QString& text,
                        int selectedFilter) {
    return exportRtf(parent, caption, filter, RtfWriter::fromPlainText(text), selectedFilter);
}

} // namespace shell
