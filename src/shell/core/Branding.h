#pragma once

#include <QString>
#include <QStringList>

namespace shell {

// Texts of the splash and about windows.
inline QString productTitle() {
    return QStringLiteral("Veltrano（中学版）");
}
inline QString versionLine() {
    return QStringLiteral("ver 2.18");
}
inline QString trayTip() {
    return QStringLiteral("Veltranov2.18");
}
inline QStringList contactLines() {
    return {QStringLiteral("Veltrano 开发组  出品"),
            QStringLiteral("电子邮件：support@veltrano.example.org")};
}
// The maker's support web page.
inline QString supportUrl() {
    return QStringLiteral("https://veltrano.example.org/support");
}

} // namespace shell
