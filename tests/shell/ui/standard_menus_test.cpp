// The Tools and Help rows every writer window appends to its menu table.
#include "WidgetSupport.h"
#include "shell/ui/StandardMenus.h"

#include <QAction>
#include <QMainWindow>
#include <QMenuBar>
#include <gtest/gtest.h>

using namespace shell;

TEST(StandardMenus, ToolsAndHelpRowsByName) {
    QMainWindow w;
    int aboutShown = 0;
    const BuiltMenus built = buildMenuBar(
        w.menuBar(), {toolsMenu(QStringLiteral("mToobHt")), helpMenu([&aboutShown] { ++aboutShown; })}, &w);
    const QList<std::pair<QString, QString>> expected{
        {"mToobHt", "画图(&I)"},    {"mToobJSB", "记事本(&N)"},     {"mToobJSQ", "计算器(&S)"},
        {"mToobTXB", "通讯簿(&T)"}, {"mHelpTopic", "技术支持(&T)"}, {"mHelpAbout", "关于Veltrano(&A)"},
    };
    for (const auto& [name, caption] : expected) {
        QAction* a = built.action(name);
        ASSERT_TRUE(a) << name.toStdString();
        EXPECT_EQ(a->text(), caption);
    }
    const QList<QAction*> menus = w.menuBar()->actions();
    ASSERT_EQ(menus.size(), 2);
    EXPECT_EQ(menus[0]->text(), "工具(&T)");
    EXPECT_EQ(menus[1]->text(), "帮助(&H)");
    built.action("mHelpAbout")->trigger();
    EXPECT_EQ(aboutShown, 1);
    EXPECT_EQ(toolMenuEntries().first().name, "mToobHT");
}
