#include "PlanFile.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace lessons {

using shell::Outcome;
using shell::Reason;

QString decodePlanText(const QByteArray& bytes) {
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
    QFile f(path);
    if (!QFileInfo::exists(path))
        return Outcome::fail(Reason::NotFound, QStringLiteral("文件“%1”不存在！").arg(path));
    if (!f.open(QIODevice::ReadOnly))
        return Outcome::fail(Reason::Failed,
                             QStringLiteral("无法读取文件“%1”：%2").arg(path, f.errorString()));
    const QByteArray bytes = f.readAll();
    if (f.error() != QFileDevice::NoError)
        return Outcome::fail(Reason::Failed,
                             QStringLiteral("无法读取文件“%1”：%2").arg(path, f.errorString()));
    *text = decodePlanText(bytes);
    return Outcome::done();
}

} // namespace lessons
