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
// The project's public home, where its source, its releases and its issue
// tracker are.
inline QString homepageUrl() {
    return QStringLiteral("https://github.com/veltrano/veltrano");
}
inline QStringList contactLines() {
    return {QStringLiteral("Veltrano 开发组  出品"), QStringLiteral("项目主页：%1").arg(homepageUrl())};
}
// The licence the program is given under, as the about window says it.
inline QStringList licenceLines() {
    return {QStringLiteral("本程序是自由软件，依照 GNU 通用公共许可证第 3 版或（您选择的）任何更新版本"),
            QStringLiteral("（GPL-3.0-or-later）发布，不提供任何担保。")};
}
// The maker's support web page: the project's issue tracker, where questions
// and faults are taken.
inline QString supportUrl() {
    return homepageUrl() + QStringLiteral("/issues");
}

} // namespace shell
