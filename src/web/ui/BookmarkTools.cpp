#include "BookmarkTools.h"

#include "shell/ui/GridView.h"
#include "shell/ui/MessageBox.h"
#include "web/model/Addresses.h"
#include "web/model/BookmarkViews.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QVBoxLayout>

namespace web {

ImportPreviewDialog::ImportPreviewDialog(const ImportPlan& plan, const QString& path, QWidget* parent)
    : QDialog(parent), plan_(plan) {
    setObjectName(QStringLiteral("frmImportBookmarks"));
    setWindowTitle(QStringLiteral("导入浏览器书签"));
    auto* file = new QLabel(QStringLiteral("书签文件：%1").arg(path), this);
    file->setObjectName(QStringLiteral("labFile"));
    file->setWordWrap(true);
    auto* summary = new QLabel(importSummary(plan_), this);
    summary->setObjectName(QStringLiteral("labSummary"));
    auto* grid = new shell::GridView(this);
    grid->setObjectName(QStringLiteral("grdPreview"));
    grid->setGrid(importPreviewGrid(plan_));
    chkWithDuplicates_ = new QCheckBox(QStringLiteral("重复的网址也导入"), this);
    chkWithDuplicates_->setObjectName(QStringLiteral("chkWithDuplicates"));
    auto* ok = new QPushButton(QStringLiteral("导入"), this);
    ok->setObjectName(QStringLiteral("cmdImportOk"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("取消"), this);
    cancel->setObjectName(QStringLiteral("cmdImportCancel"));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(chkWithDuplicates_);
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* all = new QVBoxLayout(this);
    all->addWidget(file);
    all->addWidget(summary);
    all->addWidget(grid, 1);
    all->addLayout(buttons);
    resize(1000, 560);
}

bool ImportPreviewDialog::withDuplicates() const {
    return chkWithDuplicates_->isChecked();
}

DuplicatesDialog::DuplicatesDialog(QString dbPath, QWidget* parent)
    : QDialog(parent), dbPath_(std::move(dbPath)) {
    setObjectName(QStringLiteral("frmDuplicates"));
    setWindowTitle(QStringLiteral("查找重复网址"));
    summary_ = new QLabel(this);
    summary_->setObjectName(QStringLiteral("labSummary"));
    grid_ = new shell::GridView(this);
    grid_->setObjectName(QStringLiteral("grdDuplicates"));
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    auto button = [this](const QString& name, const QString& text) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        return b;
    };
    QPushButton* mergeButton = button(QStringLiteral("cmdMerge"), QStringLiteral("合并（每组保留第一个）"));
    QPushButton* deleteButton = button(QStringLiteral("cmdDeleteChosen"), QStringLiteral("删除选中记录"));
    QPushButton* closeButton = button(QStringLiteral("cmdClose"), QStringLiteral("关闭"));
    connect(mergeButton, &QPushButton::clicked, this, &DuplicatesDialog::merge);
    connect(deleteButton, &QPushButton::clicked, this, &DuplicatesDialog::deleteChosen);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(mergeButton);
    buttons->addWidget(deleteButton);
    buttons->addStretch();
    buttons->addWidget(closeButton);
    auto* all = new QVBoxLayout(this);
    all->addWidget(summary_);
    all->addWidget(grid_, 1);
    all->addLayout(buttons);
    resize(960, 520);
    refresh();
}

void DuplicatesDialog::refresh() {
    QList<Bookmark> pages;
    const shell::Outcome read = readBookmarks(dbPath_, &pages);
    groups_ = read ? duplicateGroups(pages) : QList<QList<Bookmark>>();
    grid_->setGrid(duplicatesGrid(groups_, &rowKeys_));
    int extra = 0;
    for (const auto& g : groups_)
        extra += int(g.size()) - 1;
    summary_->setText(
        groups_.isEmpty()
            ? QStringLiteral("没有重复的网址。")
            : QStringLiteral("有 %1 组网址重复，共多出 %2 个网页。").arg(groups_.size()).arg(extra));
    if (!read) shell::MessageBox::showAll(this, read.messages);
}

void DuplicatesDialog::merge() {
    const QList<qint64> keys = mergeRemovals(groups_);
    if (keys.isEmpty()) {
        shell::MessageBox::show(this, QStringLiteral("没有重复的网址！"));
        return;
    }
    removeKeys(keys, QStringLiteral("每组只保留第一个网页，将删除其余 %1 个，确定吗？").arg(keys.size()));
}

void DuplicatesDialog::deleteChosen() {
    QList<qint64> keys;
    QSet<int> rows;
    for (const QModelIndex& i : grid_->selectionModel()->selectedIndexes())
        rows.insert(i.row());
    if (grid_->currentIndex().isValid()) rows.insert(grid_->currentIndex().row());
    for (int r : rows)
        if (r > 0 && r < rowKeys_.size()) keys << rowKeys_[r];
    if (keys.isEmpty()) {
        shell::MessageBox::show(this, QStringLiteral("请先选择要删除的网页！"));
        return;
    }
    removeKeys(keys, QStringLiteral("真的要删除选中的 %1 个网页吗？").arg(keys.size()));
}

void DuplicatesDialog::removeKeys(const QList<qint64>& keys, const QString& question) {
    if (!shell::MessageBox::ask(this, question)) return;
    const shell::Outcome removed = removeBookmarks(dbPath_, keys);
    if (!removed) shell::MessageBox::showAll(this, removed.messages);
    refresh();
    emit changed();
}

EditBookmarkDialog::EditBookmarkDialog(const Bookmark& page, const QStringList& categories, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("frmEditBookmark"));
    setWindowTitle(QStringLiteral("修改网页记录"));
    txtName_ = new QLineEdit(page.name, this);
    txtName_->setObjectName(QStringLiteral("txtName"));
    cobCategory_ = new QComboBox(this);
    cobCategory_->setObjectName(QStringLiteral("cobCategory"));
    cobCategory_->setEditable(true);
    cobCategory_->setInsertPolicy(QComboBox::NoInsert);
    cobCategory_->addItems(categories);
    cobCategory_->setEditText(page.category);
    txtAddress_ = new QLineEdit(page.address, this);
    txtAddress_->setObjectName(QStringLiteral("txtAddress"));
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("网页名称："), txtName_);
    form->addRow(QStringLiteral("类别："), cobCategory_);
    form->addRow(QStringLiteral("网页地址："), txtAddress_);
    auto* box = new QDialogButtonBox(this);
    auto* ok = box->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("cmdEditOk"));
    auto* cancel = box->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("cmdEditCancel"));
    connect(box, &QDialogButtonBox::accepted, this, &EditBookmarkDialog::confirmed);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* all = new QVBoxLayout(this);
    all->addLayout(form);
    all->addWidget(box);
    resize(560, sizeHint().height());
}

QString EditBookmarkDialog::name() const {
    return txtName_->text();
}
QString EditBookmarkDialog::category() const {
    return cobCategory_->currentText();
}
QString EditBookmarkDialog::address() const {
    return txtAddress_->text();
}

} // namespace web
