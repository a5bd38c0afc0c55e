#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

namespace shell {

// A tree the user sees, as a value: nodes with a unique key, a text, a
// parent and the names of their pictures (shell::icon keys). Models build
// trees (the phrase library by category and title, the statement libraries,
// lesson plans, bookmarks); TreeView only shows them. Nodes keep the order
// they were added in, children after their parent.
struct TreeNode {
    QString key;
    QString text;
    QString parentKey;    // empty for a top node
    QString icon;         // picture when not selected
    QString selectedIcon; // picture when selected; empty: the same as icon
    QString tag;          // free text of the model ("root")
    bool expanded = false;
};

class Tree {
public:
    // Adds a node under `parentKey` (empty: a top node). Refused (false,
    // nothing added) when the key is empty or already used, or the parent
    // is not in the tree.
    bool add(const QString& parentKey, const QString& key, const QString& text, const QString& icon = {},
             const QString& selectedIcon = {}, const QString& tag = {});
    void clear();
    void setExpanded(const QString& key, bool expanded = true);

    int count() const { return int(nodes_.size()); }
    const TreeNode& node(int index) const { return nodes_[index]; }
    const QList<TreeNode>& nodes() const { return nodes_; }
    // Index of the node with that key, or -1.
    int indexOf(const QString& key) const { return index_.value(key, -1); }
    bool contains(const QString& key) const { return index_.contains(key); }
    // Indexes of a node's children in the order they were added; the top
    // nodes for an empty key.
    QList<int> children(const QString& key) const;
    QStringList childTexts(const QString& key) const;
    QStringList childKeys(const QString& key) const;

private:
    QList<TreeNode> nodes_;
    QHash<QString, int> index_;
    QList<int> roots_;
    QList<QList<int>> children_; // by node index
};

} // namespace shell
