#pragma once

#include "shell/core/Tree.h"

#include <QTreeWidget>

namespace shell {

// Shows a Tree value: each node with its pictures (shell::icon keys; the
// selected picture while the node is selected), expanded as the value says.
// Tells clicks and double clicks by the node's key and text.
class TreeView : public QTreeWidget {
    Q_OBJECT
public:
    explicit TreeView(QWidget* parent = nullptr);
    void setTree(const Tree& tree);
    const Tree& tree() const { return tree_; }
    // The item of a node, or null.
    QTreeWidgetItem* item(const QString& key) const;
    QString currentKey() const;

Q_SIGNALS:
    void nodeClicked(const QString& key, const QString& text);
    void nodeDoubleClicked(const QString& key, const QString& text);

private:
    static QString keyOf(const QTreeWidgetItem* item);
    Tree tree_;
    QList<QTreeWidgetItem*> items_; // by node index
};

} // namespace shell
