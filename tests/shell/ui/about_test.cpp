// SPDX-License-Identifier: GPL-3.0-or-later
// The about window names the program, its version and its licence, and its
// link is a real address of the project.
#include "shell/Windows.h"
#include "shell/core/Branding.h"

#include <QLabel>
#include <QUrl>
#include <gtest/gtest.h>

TEST(AboutWindow, NamesProgramVersionLicenceAndTheProjectsRealHome) {
    QWidget* about = shell::Windows::instance().open(QStringLiteral("frmHelpAbout"));
    ASSERT_TRUE(about);
    QStringList texts;
    for (const QLabel* l : about->findChildren<QLabel*>())
        texts << l->text();
    const QString all = texts.join(u'\n');
    EXPECT_TRUE(all.contains("Veltrano（中学版）")) << all.toStdString();
    EXPECT_TRUE(all.contains("ver 2.18")) << all.toStdString();
    EXPECT_TRUE(all.contains("GPL-3.0-or-later")) << all.toStdString();
    EXPECT_TRUE(all.contains("GNU 通用公共许可证第 3 版")) << all.toStdString();
    // No placeholder domain (RFC 2606's example.*, .invalid, .test) anywhere.
    for (const char* placeholder : {"example.", ".invalid", ".test/", "localhost"})
        EXPECT_FALSE(all.contains(placeholder)) << placeholder << " in " << all.toStdString();

    const auto* link = about->findChild<QLabel*>(QStringLiteral("labHttP"));
    ASSERT_TRUE(link);
    EXPECT_EQ(link->toolTip(), "点击这里，打开网页");
    const QUrl support(shell::supportUrl());
    EXPECT_TRUE(link->text().contains(support.toString()));
    EXPECT_EQ(support.scheme(), "https");
    EXPECT_EQ(support.host(), "github.com");
    EXPECT_TRUE(support.path().startsWith("/veltrano/veltrano")) << support.toString().toStdString();
    shell::Windows::instance().unload(QStringLiteral("frmHelpAbout"));
}
