#include "RtfExport.h"

#include "FileDialog.h"
#include "MessageBox.h"
#include "shell/docs/RtfWriter.h"

#include <QDir>
#include <QFileInfo>
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

QByteArray windowsText(const QString& text) {
    QString t = text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    t.replace(u'\n', QStringLiteral("\r\n"));
    return QByteArray("\xEF\xBB\xBF") + t.toUtf8();
}

Outcome exportDocument(QWidget* parent, const QString& caption, const QString& filter, const QByteArray& rtf,
                       const QString& plainText, int selectedFilter, const QString& suggestedName) {
    const QStringList filters = qtFileFilters(filter);
    QString chosen = filters.value(selectedFilter);
    QString suggested = suggestedName;
    // The name comes with the extension of the entry shown first, which the
    // dialog then changes with the entry.
    const QStringList patterns = filter.split(u'|');
    const QString pattern = patterns.value(selectedFilter * 2 + 1);
    if (!suggested.isEmpty() && pattern.startsWith(QStringLiteral("*.")) && !pattern.contains(u';'))
        suggested += pattern.mid(1);
    const QString path = FileDialog::getSaveFileName(
        parent, caption, suggested, filters.join(QStringLiteral(";;")), chosen.isEmpty() ? nullptr : &chosen);
    if (path.isEmpty()) return Outcome::fail(Reason::NotChosen);
    // A .txt is opened by text editors, which would show RTF as code.
    const bool text = QFileInfo(path).fileName().endsWith(QStringLiteral(".txt"), Qt::CaseInsensitive);
    const QByteArray bytes = text ? windowsText(plainText) : rtf;
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.commit()) {
        const Outcome failed = Outcome::fail(
            Reason::Failed,
            QStringLiteral("无法写入文件“%1”：%2").arg(QDir::toNativeSeparators(path), f.errorString()));
        MessageBox::showAll(parent, failed.messages);
        return failed;
    }
    return Outcome::done();
}

Outcome exportTextAsRtf(QWidget* parent, const QString& caption, const QString& filter, const QString& text,
                        int selectedFilter, const QString& suggestedName) {
    return exportDocument(parent, caption, filter, RtfWriter::fromPlainText(text), text, selectedFilter,
                          suggestedName);
}

} // namespace shell
