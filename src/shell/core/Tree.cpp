#include "Tree.h"

namespace shell {

bool Tree::add(const QString& parentKey, const QString& key, const QString& text, const QString& icon,
               const QString& selectedIcon, const QString& tag) {
    if (key.isEmpty() || index_.contains(key)) return false;
    int parent = -1;
    if (!parentKey.isEmpty()) {
        parent = indexOf(parentKey);
        if (parent < 0) return false;
    }
    const int at = int(nodes_.size());
    nodes_.append(TreeNode{key, text, parentKey, icon, selectedIcon, tag, false});
    children_.append(QList<int>{});
    index_.insert(key, at);
    if (parent < 0)
        roots_.append(at);
    else
        children_[parent].append(at);
    return true;
}

void Tree::clear() {
    nodes_.clear();
    index_.clear();
    roots_.clear();
    children_.clear();
}

void Tree::setExpanded(const QString& key, bool expanded) {
    const int i = indexOf(key);
    if (i >= 0) nodes_[i].expanded = expanded;
}

QList<int> Tree::children(const QString& key) const {
    if (key.isEmpty()) return roots_;
    const int i = indexOf(key);
    return i < 0 ? QList<int>{} : children_[i];
}

QStringList Tree::childTexts(const QString& key) const {
    QStringList out;
    for (int i : children(key))
        out << nodes_[i].text;
    return out;
}

QStringList Tree::childKeys(const QString& key) const {
    QStringList out;
    for (int i : children(key))
        out << nodes_[i].key;
    return out;
}

} // namespace shell
