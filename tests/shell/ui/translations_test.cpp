// SPDX-License-Identifier: GPL-3.0-or-later
// Qt's own dialogs, buttons and context menus speak Chinese once the program
// has gone through its start-up preparation, whatever the desktop's locale.
#include "Printers.h"
#include "shell/Startup.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScopeGuard>
#include <QTranslator>
#include <gtest/gtest.h>

namespace {

QString text(const QWidget* w) {
    if (auto* l = qobject_cast<const QLabel*>(w)) return l->text();
    return {};
}

} // namespace

TEST(QtTranslations, StandardDialogsAreChineseAfterStartUp) {
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    ASSERT_TRUE(app);
    // The test program itself loads no translation (an earlier test's start-up
    // may have): English until start-up.
    delete app->findChild<QTranslator*>(QStringLiteral("qtbaseTranslator"));
    ASSERT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), "Cancel");
    const QString name = app->applicationName();
    const auto restore = qScopeGuard([&] {
        app->setApplicationName(name);
        app->setQuitOnLastWindowClosed(true);
    });
    shell::prepareApplication(*app);

    struct Case {
        const char* context;
        const char* source;
        const char* chinese;
    } cases[] = {
        {"QPlatformTheme", "Cancel", "取消"}, {"QPlatformTheme", "OK", "确定"},
        {"QPlatformTheme", "&Yes", "是(&Y)"}, {"QFileDialog", "&Open", "打开(&O)"},
        {"QFileDialog", "&Save", "保存(&S)"}, {"QWidgetTextControl", "&Copy", "复制(&C)"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(QCoreApplication::translate(c.context, c.source), QString::fromUtf8(c.chinese)) << c.source;

    // Qt's own file dialog, as the program's file dialogs show it.
    QFileDialog dialog(nullptr, QStringLiteral("导入"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    const auto* box = dialog.findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
    ASSERT_TRUE(box);
    QStringList buttons;
    for (QAbstractButton* b : box->buttons())
        buttons << b->text();
    EXPECT_TRUE(buttons.contains("取消")) << buttons.join(u',').toStdString();
    EXPECT_TRUE(buttons.contains("保存(&S)")) << buttons.join(u',').toStdString();
    EXPECT_EQ(text(dialog.findChild<QLabel*>(QStringLiteral("lookInLabel"))), "查找范围：");
    EXPECT_EQ(text(dialog.findChild<QLabel*>(QStringLiteral("fileNameLabel"))), "文件名称(&N)：");
    EXPECT_EQ(text(dialog.findChild<QLabel*>(QStringLiteral("fileTypeLabel"))), "文件类型：");

    // A text box's context menu.
    QLineEdit edit(QStringLiteral("张三"));
    std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
    QStringList entries;
    for (QAction* a : menu->actions())
        if (!a->isSeparator()) entries << a->text().section(u'\t', 0, 0);
    EXPECT_TRUE(entries.contains("全选")) << entries.join(u',').toStdString();
    EXPECT_FALSE(entries.contains("Select All")) << entries.join(u',').toStdString();
}
