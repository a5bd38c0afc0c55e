#include "TreeView.h"

#include "Icons.h"

#include <QHeaderView>

namespace shell {

namespace {
constexpr int kKeyRole = Qt::UserRole + 1;

QIcon nodeIcon(const TreeNode& n) {
    if (n.icon.isEmpty()) return {};
    if (n.selectedIcon.isEmpty() || n.selectedIcon == n.icon) return icon(n.icon);
    // One icon with the selected picture in Qt's Selected mode: the view
    // switches pictures itself as the selection moves.
    QIcon both;
    const QIcon normal = icon(n.icon);
    const QIcon selected = icon(n.selectedIcon);
    for (int s : {16, 24, 32}) {
        both.addPixmap(normal.pixmap(s), QIcon::Normal);
        both.addPixmap(selected.pixmap(s), QIcon::Selected);
    }
    return both;
}
} // namespace

TreeView::TreeView(QWidget* parent) : QTreeWidget(parent) {
    setHeaderHidden(true);
    setColumnCount(1);
    setRootIsDecorated(true);
    setUniformRowHeights(true);
    setExpandsOnDoubleClick(false);
    connect(this, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* i, int) { Q_EMIT nodeClicked(keyOf(i), i->text(0)); });
    connect(this, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* i, int) {
        // A category opens and closes on a double click as in a file tree;
        // the window decides what else a double click does.
        if (i->childCount() > 0) i->setExpanded(!i->isExpanded());
        Q_EMIT nodeDoubleClicked(keyOf(i), i->text(0));
    });
}

QString TreeView::keyOf(const QTreeWidgetItem* item) {
    return item ? item->data(0, kKeyRole).toString() : QString();
}

void TreeView::setTree(const Tree& tree) {
    clear();
    items_.clear();
    tree_ = tree;
    items_.reserve(tree.count());
    QHash<QString, QIcon> icons; // one icon object per picture pair
    QList<QTreeWidgetItem*> tops;
    for (int i = 0; i < tree.count(); ++i) {
        const TreeNode& n = tree.node(i);
        const QString pair = n.icon + u'|' + n.selectedIcon;
        auto it = icons.find(pair);
        if (it == icons.end()) it = icons.insert(pair, nodeIcon(n));
        QTreeWidgetItem* parent = n.parentKey.isEmpty() ? nullptr : items_[tree.indexOf(n.parentKey)];
        auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem;
        item->setText(0, n.text);
        item->setData(0, kKeyRole, n.key);
        item->setIcon(0, *it);
        if (!parent) tops << item;
        items_ << item;
    }
    addTopLevelItems(tops);
    for (int i = 0; i < tree.count(); ++i)
        if (tree.node(i).expanded) items_[i]->setExpanded(true);
}

QTreeWidgetItem* TreeView::item(const QString& key) const {
    const int i = tree_.indexOf(key);
    return i < 0 ? nullptr : items_.value(i);
}

QString TreeView::currentKey() const {
    return keyOf(currentItem());
}

} // namespace shell
