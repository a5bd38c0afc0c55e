// The tree view over a Tree value and the numbered grid of the editors.
#include "WidgetSupport.h"
#include "shell/core/StatementTable.h"
#include "shell/ui/NumberGrid.h"
#include "shell/ui/TreeView.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using namespace shell;

TEST(TreeView, ShowsTheValueAndTellsNodesByKey) {
    Tree t;
    t.add({}, "explor", "学生评语库", "explorer", {}, "root");
    t.add("explor", "C1", "本期印象", "sortOff", "sortOn");
    t.add("C1", "kt2", "有礼貌", "fileOff", "fileOn");
    t.add("explor", "C2", "行为纪律", "sortOff", "sortOn");
    t.setExpanded("explor");

    TreeView view;
    view.resize(300, 300);
    view.setTree(t);
    view.show();
    ASSERT_EQ(view.topLevelItemCount(), 1);
    QTreeWidgetItem* root = view.item("explor");
    ASSERT_TRUE(root);
    EXPECT_TRUE(root->isExpanded());
    EXPECT_EQ(root->childCount(), 2);
    EXPECT_EQ(root->child(0)->text(0), "本期印象");
    EXPECT_EQ(view.item("kt2")->parent(), view.item("C1"));
    EXPECT_FALSE(view.item("C1")->isExpanded());
    // Every node has its picture; a category's selected picture differs.
    const QIcon folder = view.item("C1")->icon(0);
    EXPECT_FALSE(folder.isNull());
    EXPECT_NE(folder.pixmap(16, QIcon::Normal).toImage(), folder.pixmap(16, QIcon::Selected).toImage());

    QSignalSpy clicked(&view, &TreeView::nodeClicked);
    QSignalSpy doubled(&view, &TreeView::nodeDoubleClicked);
    view.expandAll();
    const QRect r = view.visualItemRect(view.item("kt2"));
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, r.center());
    QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, r.center());
    ASSERT_GE(clicked.size(), 1);
    EXPECT_EQ(clicked.first().at(0).toString(), "kt2");
    ASSERT_EQ(doubled.size(), 1);
    EXPECT_EQ(doubled.first().at(0).toString(), "kt2");
    EXPECT_EQ(doubled.first().at(1).toString(), "有礼貌");
    EXPECT_EQ(view.currentKey(), "kt2");

    // Setting a new value replaces the old nodes.
    Tree small;
    small.add({}, "only", "唯一");
    view.setTree(small);
    EXPECT_EQ(view.topLevelItemCount(), 1);
    EXPECT_EQ(view.item("kt2"), nullptr);
}

TEST(NumberGrid, LeftClickPicksTheRowsNumber) {
    NumberGrid grid;
    grid.resize(200, 400);
    grid.setGrid(numberedGrid({"4", "9"}));
    grid.show();
    QSignalSpy picked(&grid, &NumberGrid::numberPicked);
    auto click = [&](int row, Qt::MouseButton b) {
        const QRect r = grid.visualRect(grid.model()->index(row, 0));
        QTest::mouseClick(grid.viewport(), b, {}, r.center());
    };
    click(2, Qt::RightButton);
    EXPECT_EQ(picked.size(), 0);
    click(2, Qt::LeftButton);
    ASSERT_EQ(picked.size(), 1);
    EXPECT_EQ(picked.first().at(1).toString(), "9");
    click(0, Qt::LeftButton); // the heading picks nothing
    EXPECT_EQ(picked.size(), 1);
    click(5, Qt::LeftButton); // a blank row picks an empty number
    ASSERT_EQ(picked.size(), 2);
    EXPECT_EQ(picked.last().at(1).toString(), "");
}
