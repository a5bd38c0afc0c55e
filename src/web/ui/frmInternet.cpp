#include "frmInternet.h"

#include "shell/Windows.h"
#include "shell/core/AppPaths.h"
#include "shell/core/SafeOpen.h"
#include "shell/ui/FileDialog.h"
#include "shell/ui/GridView.h"
#include "shell/ui/MenuTable.h"
#include "shell/ui/MessageBox.h"
#include "shell/ui/TreeView.h"
#include "store/Schema.h"
#include "web/model/BookmarkFile.h"
#include "web/ui/BookmarkTools.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QSet>
#include <QSplitter>
#include <QToolTip>
#include <QVBoxLayout>

namespace web {

using shell::Reason;

frmInternet::frmInternet(QWidget* parent) : QWidget(parent), model_(shell::AppPaths::file(store::kCommonDb)) {
    setObjectName(QStringLiteral("frmInternet"));
    setWindowTitle(shell::Windows::caption(QStringLiteral("frmInternet")));

    // The product name with its shadow, and the motto.
    auto* banner = new QWidget(this);
    banner->setFixedHeight(44);
    QFont big = font();
    big.setPointSize(18);
    big.setBold(true);
    for (int i : {1, 0}) {
        auto* l = new QLabel(QStringLiteral("Veltrano"), banner);
        l->setObjectName(QStringLiteral("Label2(%1)").arg(i));
        l->setFont(big);
        l->setStyleSheet(i == 1 ? QStringLiteral("color: #9a9a9a;") : QStringLiteral("color: #1f4e9c;"));
        l->adjustSize();
        l->move(12 + 2 * i, 4 + 2 * i);
    }
    auto* Label3 = new QLabel(QStringLiteral("专为减轻教师的负担"), banner);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->adjustSize();
    Label3->move(170, 18);

    tvwExplorer_ = new shell::TreeView(this);
    tvwExplorer_->setObjectName(QStringLiteral("tvwExplorer"));
    MSFlexGrid1_ = new shell::GridView(this);
    MSFlexGrid1_->setObjectName(QStringLiteral("MSFlexGrid1"));
    MSFlexGrid1_->setMouseTracking(true);
    MSFlexGrid1_->viewport()->setMouseTracking(true);
    MSFlexGrid1_->viewport()->installEventFilter(this);
    auto* split = new QSplitter(Qt::Horizontal, this);
    split->addWidget(tvwExplorer_);
    split->addWidget(MSFlexGrid1_);
    split->setStretchFactor(1, 1);
    split->setSizes({210, 990});

    auto status = [this](const QString& name) {
        auto* e = new QLineEdit(this);
        e->setObjectName(name);
        e->setReadOnly(true);
        e->setFocusPolicy(Qt::NoFocus);
        return e;
    };
    txtFileName_ = status(QStringLiteral("txtFileName"));
    txtFile_ = status(QStringLiteral("txtFile"));
    txtFiles_ = status(QStringLiteral("txtFiles"));
    auto* statusRow = new QHBoxLayout;
    statusRow->addWidget(txtFileName_, 3);
    statusRow->addWidget(txtFile_, 1);
    statusRow->addWidget(txtFiles_, 1);

    // The tools beside the documented tree and grid: search, browser
    // bookmark files, duplicates, editing a page.
    txtSearch_ = new QLineEdit(this);
    txtSearch_->setObjectName(QStringLiteral("txtSearch"));
    txtSearch_->setPlaceholderText(QStringLiteral("搜索网页名称、类别或网址"));
    txtSearch_->setClearButtonEnabled(true);
    auto* tools = new QHBoxLayout;
    tools->addWidget(new QLabel(QStringLiteral("搜索："), this));
    tools->addWidget(txtSearch_, 1);
    auto tool = [this, tools](const QString& name, const QString& text, auto handler) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, handler);
        tools->addWidget(b);
        return b;
    };
    tool(QStringLiteral("cmdEditRow"), QStringLiteral("修改记录…"), [this] {
        const QModelIndex at = MSFlexGrid1_->currentIndex();
        editRow(at.isValid() ? at.row() : 0);
    });
    tool(QStringLiteral("cmdDuplicates"), QStringLiteral("查找重复网址"), [this] { showDuplicates(); });
    tool(QStringLiteral("cmdImport"), QStringLiteral("导入书签…"), [this] { importBookmarks(); });
    tool(QStringLiteral("cmdExport"), QStringLiteral("导出书签…"), [this] { exportBookmarks(); });
    cmdCheckLinks_ =
        tool(QStringLiteral("cmdCheckLinks"), QStringLiteral("检查网址"), [this] { checkLinks(); });
    cmdStopCheck_ = tool(QStringLiteral("cmdStopCheck"), QStringLiteral("停止"), [this] { stopCheck(); });
    cmdStopCheck_->setEnabled(false);
    prgCheck_ = new QProgressBar(this);
    prgCheck_->setObjectName(QStringLiteral("prgCheck"));
    prgCheck_->setMaximumWidth(160);
    prgCheck_->setFormat(QStringLiteral("%v/%m"));
    prgCheck_->hide();
    tools->addWidget(prgCheck_);
    cobLinkFilter_ = new QComboBox(this);
    cobLinkFilter_->setObjectName(QStringLiteral("cobLinkFilter"));
    cobLinkFilter_->addItems({QStringLiteral("全部状态"), QStringLiteral("正常"), QStringLiteral("已移动"),
                              QStringLiteral("失效"), QStringLiteral("拒绝访问"), QStringLiteral("超时"),
                              QStringLiteral("未检查")});
    tools->addWidget(cobLinkFilter_);
    connect(cobLinkFilter_, &QComboBox::currentIndexChanged, this, [this](int i) {
        model_.setStatusFilter(i == 0 ? QString() : cobLinkFilter_->itemText(i));
        relist();
    });
    checker_ = new LinkChecker(this);
    connect(checker_, &LinkChecker::checked, this, [this](const LinkResult& r) {
        unsaved_ << r;
        ++tally_[r.status];
        if (unsaved_.size() >= 50 && !storeResults()) stopCheck();
    });
    connect(checker_, &LinkChecker::progress, this, [this](int done, int total) {
        prgCheck_->setMaximum(total);
        prgCheck_->setValue(done);
    });
    connect(checker_, &LinkChecker::finished, this, &frmInternet::checkEnded);

    auto* all = new QVBoxLayout(this);
    all->setContentsMargins(6, 4, 6, 6);
    all->addWidget(banner);
    all->addLayout(tools);
    all->addWidget(split, 1);
    all->addLayout(statusRow);

    mnuDelete_ = new QMenu(QStringLiteral("删除数据记录"), this);
    mnuDelete_->setObjectName(QStringLiteral("mnuDelete"));
    shell::BuiltMenus built;
    shell::fillMenu(mnuDelete_,
                    {shell::MenuEntry(QStringLiteral("mDele"), QStringLiteral("删除单条记录"),
                                      [this] { deleteChosenRows(); })},
                    this, built);

    mnuCategory_ = new QMenu(QStringLiteral("类别"), this);
    mnuCategory_->setObjectName(QStringLiteral("mnuCategory"));
    shell::fillMenu(mnuCategory_,
                    {shell::MenuEntry(QStringLiteral("mRenameCategory"), QStringLiteral("重命名或合并类别…"),
                                      [this] { askCategoryName(menuCategory_); })},
                    this, built);
    tvwExplorer_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(tvwExplorer_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        QTreeWidgetItem* item = tvwExplorer_->itemAt(at);
        if (!item) return;
        // Only the category nodes under "类别" can be renamed.
        for (const QString& key : model_.tree().childKeys(QStringLiteral("leiBie"))) {
            if (tvwExplorer_->item(key) != item) continue;
            menuCategory_ = model_.tree().node(model_.tree().indexOf(key)).text;
            mnuCategory_->popup(tvwExplorer_->viewport()->mapToGlobal(at));
            return;
        }
    });
    connect(txtSearch_, &QLineEdit::textChanged, this, &frmInternet::search);
    connect(tvwExplorer_, &shell::TreeView::nodeClicked, this, [this](const QString& key) { listNode(key); });
    connect(MSFlexGrid1_, &shell::GridView::cellDoubleClicked, this, &frmInternet::openCell);

    resize(1220, 620);
    MSFlexGrid1_->setGrid(model_.grid());
    rebuildTree();
}

frmInternet::~frmInternet() {
    // Closed during a check: what was found so far is kept.
    checker_->blockSignals(true);
    if (!unsaved_.isEmpty()) (void)storeLinkResults(shell::AppPaths::file(store::kCommonDb), unsaved_);
}

void frmInternet::rebuildTree() {
    const shell::Outcome built = model_.BuildBookmarkTree();
    tvwExplorer_->setTree(model_.tree());
    if (!built) say(built.messages);
}

void frmInternet::showGrid() {
    MSFlexGrid1_->setGrid(model_.grid());
}

void frmInternet::say(const QStringList& texts) {
    if (!texts.isEmpty()) shell::MessageBox::showAll(this, texts);
}

void frmInternet::listNode(const QString& key) {
    lastNode_ = key;
    const shell::Outcome listed = model_.ListBookmarks(key);
    showGrid();
    txtFile_->clear();
    txtFileName_->clear();
    txtFiles_->setText(QStringLiteral("共列 %1 个文件").arg(model_.listedCount()));
    if (!listed) say(listed.messages);
}

void frmInternet::hoverCell(int row, int col) {
    const shell::Grid& g = model_.grid();
    MSFlexGrid1_->setToolTip(row >= 0 && (col == 1 || col == 4) ? g.text(row, col) : QString());
    // A row emptied by a deletion keeps its number but names no page.
    if (model_.rowRecord(row)) {
        txtFileName_->setText(QStringLiteral("名称: ") + g.text(row, 1));
        txtFile_->setText(QStringLiteral("当前第 %1 个网页").arg(g.text(row, 0)));
        txtFiles_->setText(QStringLiteral("共列 %1 个网页").arg(model_.listedCount()));
    } else {
        txtFileName_->clear();
        txtFile_->clear();
        txtFiles_->clear();
    }
}

void frmInternet::openCell(int row, int col) {
    if (col != 1 && col != 4) return;
    const std::optional<Bookmark> b = model_.rowRecord(row);
    if (!b) return;
    const shell::OpenTarget target = shell::classifyAddress(b->address);
    bool consented = false;
    if (target.needsConsent()) {
        consented = shell::MessageBox::ask(this, target.question());
        if (!consented) return;
    }
    const shell::Outcome opened = shell::openTarget(target, consented);
    switch (opened.reason) {
    case Reason::None:
    case Reason::NotChosen:
        return;
    default:
        say(opened.messages);
    }
}

void frmInternet::deleteChosenRows() {
    QList<int> rows;
    if (downRow_ == upRow_)
        rows << mouseRow_;
    else
        for (int r = qMin(downRow_, upRow_); r <= qMax(downRow_, upRow_); ++r)
            rows << r;
    for (int row : rows) {
        // Rows without a record (emptied by a deletion, beyond the list,
        // the heading) are passed over without a question.
        const std::optional<Bookmark> b = model_.rowRecord(row);
        if (!b) continue;
        if (!shell::MessageBox::ask(this, QStringLiteral("真的要删除《%1》吗？").arg(b->name))) {
            MSFlexGrid1_->setCurrentIndex(
                MSFlexGrid1_->gridModel()->index(1, qMax(0, MSFlexGrid1_->currentIndex().column())));
            continue;
        }
        const shell::Outcome removed = model_.deleteRow(row);
        showGrid();
        tvwExplorer_->setTree(model_.tree());
        // The status named the page under the mouse and the count before.
        txtFileName_->clear();
        txtFile_->clear();
        txtFiles_->setText(QStringLiteral("共列 %1 个网页").arg(model_.listedCount()));
        switch (removed.reason) {
        case Reason::None:
            break;
        default:
            say(removed.messages);
        }
    }
}

void frmInternet::search(const QString& text) {
    const shell::Outcome found = model_.search(text);
    showGrid();
    txtFile_->clear();
    txtFileName_->clear();
    if (text.trimmed().isEmpty())
        txtFiles_->clear();
    else if (model_.foundCount() > model_.listedCount())
        txtFiles_->setText(QStringLiteral("找到 %1 个网页，列出前 %2 个")
                               .arg(model_.foundCount())
                               .arg(model_.listedCount()));
    else
        txtFiles_->setText(QStringLiteral("共列 %1 个文件").arg(model_.listedCount()));
    if (!found) say(found.messages);
}

void frmInternet::refreshAll() {
    rebuildTree();
    relist();
}

void frmInternet::relist() {
    if (!txtSearch_->text().trimmed().isEmpty())
        search(txtSearch_->text());
    else if (!lastNode_.isEmpty() && model_.tree().indexOf(lastNode_) >= 0)
        listNode(lastNode_);
    else {
        model_.ListBookmarks(QStringLiteral("date")); // the folder lists nothing
        showGrid();
    }
}

void frmInternet::importBookmarks() {
    const QString path = shell::FileDialog::getOpenFileName(
        this, QStringLiteral("导入浏览器书签"), {}, QStringLiteral("书签文件 (*.html *.htm);;所有文件 (*)"));
    if (!path.isEmpty()) importFile(path);
}

void frmInternet::importFile(const QString& path) {
    QList<FilePage> pages;
    const shell::Outcome read = readBookmarkFile(path, &pages);
    if (!read) {
        say(read.messages);
        return;
    }
    const QString db = shell::AppPaths::file(store::kCommonDb);
    QList<Bookmark> stored;
    BookmarkLimits limits;
    const shell::Outcome readStored = readBookmarks(db, &stored, &limits);
    if (!readStored) {
        say(readStored.messages);
        return;
    }
    if (pages.isEmpty()) {
        say({QStringLiteral("书签文件中没有网页！")});
        return;
    }
    auto* preview = new ImportPreviewDialog(planImport(pages, stored, limits, model_.today()), path, this);
    preview->setAttribute(Qt::WA_DeleteOnClose);
    connect(preview, &QDialog::accepted, this, [this, preview, db] {
        const ImportPlan& plan = preview->plan();
        const bool all = preview->withDuplicates();
        const int take = plan.count(ImportKind::New) +
                         (all ? plan.count(ImportKind::Stored) + plan.count(ImportKind::Repeated) : 0);
        if (take == 0) {
            say({QStringLiteral("没有可以导入的新网页！")});
            return;
        }
        int written = 0;
        const shell::Outcome imported = importPages(db, plan, all, &written);
        if (!imported) {
            say(imported.messages);
            return;
        }
        refreshAll();
        say({QStringLiteral("已导入 %1 个网页！").arg(written)});
    });
    preview->open();
}

void frmInternet::exportBookmarks() {
    QList<Bookmark> pages;
    const shell::Outcome read = readBookmarks(shell::AppPaths::file(store::kCommonDb), &pages);
    if (!read) {
        say(read.messages);
        return;
    }
    const QString path = shell::FileDialog::getSaveFileName(this, QStringLiteral("导出书签"),
                                                            QStringLiteral("网上资源书签.html"),
                                                            QStringLiteral("书签文件 (*.html)"));
    if (path.isEmpty()) return;
    const shell::Outcome written = writeBookmarkFile(path, pages);
    if (!written) {
        say(written.messages);
        return;
    }
    say({QStringLiteral("已把 %1 个网页导出到“%2”，浏览器可以导入这个文件！").arg(pages.size()).arg(path)});
}

void frmInternet::showDuplicates() {
    auto* d = new DuplicatesDialog(shell::AppPaths::file(store::kCommonDb), this);
    d->setAttribute(Qt::WA_DeleteOnClose);
    connect(d, &DuplicatesDialog::changed, this, &frmInternet::refreshAll);
    d->open();
}

void frmInternet::editRow(int row) {
    const std::optional<Bookmark> b = model_.rowRecord(row);
    if (!b) {
        say({QStringLiteral("请先在列表中选择要修改的网页！")});
        return;
    }
    auto* d = new EditBookmarkDialog(*b, model_.tree().childTexts(QStringLiteral("leiBie")), this);
    d->setAttribute(Qt::WA_DeleteOnClose);
    const qint64 key = b->key;
    connect(d, &EditBookmarkDialog::confirmed, this, [this, d, key] {
        const shell::Outcome edited = updateBookmark(shell::AppPaths::file(store::kCommonDb), key, d->name(),
                                                     d->category(), d->address());
        switch (edited.reason) {
        case Reason::None:
            d->accept();
            refreshAll();
            return;
        case Reason::Invalid: // the dialog stays, with what was typed
            say(edited.messages);
            return;
        default:
            d->reject();
            say(edited.messages);
            refreshAll();
        }
    });
    d->open();
}

void frmInternet::askCategoryName(const QString& from) {
    bool ok = false;
    const QString to =
        QInputDialog::getText(this, QStringLiteral("重命名类别"),
                              QStringLiteral("类别“%1”的新名称（可以是已有的类别，两者合并）：").arg(from),
                              QLineEdit::Normal, from, &ok);
    if (ok) renameCategoryTo(from, to);
}

void frmInternet::renameCategoryTo(const QString& from, const QString& to) {
    const QString target = to.trimmed();
    if (target == from) return;
    const QStringList existing = model_.tree().childTexts(QStringLiteral("leiBie"));
    if (existing.contains(target) &&
        !shell::MessageBox::ask(
            this, QStringLiteral("类别“%1”已经存在，要把“%2”中的网页都并入“%1”吗？").arg(target, from)))
        return;
    int changed = 0;
    const shell::Outcome renamed =
        renameCategory(shell::AppPaths::file(store::kCommonDb), from, target, &changed);
    if (renamed.reason != Reason::Invalid) refreshAll();
    if (!renamed) say(renamed.messages);
}

void frmInternet::checkLinks() {
    if (checker_->running()) return;
    QSet<int> chosen;
    for (const QModelIndex& i : MSFlexGrid1_->selectionModel()->selectedIndexes())
        if (model_.rowRecord(i.row())) chosen.insert(i.row());
    QList<QPair<qint64, QString>> pages;
    for (int r = 1; r < model_.grid().rows(); ++r) {
        if (chosen.size() >= 2 && !chosen.contains(r)) continue;
        if (const std::optional<Bookmark> b = model_.rowRecord(r)) pages.append({b->key, b->address});
    }
    if (pages.isEmpty()) {
        say({QStringLiteral("请先在左边选择一个类别，或在列表中选择要检查的网页！")});
        return;
    }
    tally_.clear();
    unsaved_.clear();
    prgCheck_->setRange(0, int(pages.size()));
    prgCheck_->setValue(0);
    prgCheck_->show();
    cmdCheckLinks_->setEnabled(false);
    cmdStopCheck_->setEnabled(true);
    checker_->start(pages);
}

void frmInternet::stopCheck() {
    checker_->stop();
}

bool frmInternet::storeResults() {
    if (unsaved_.isEmpty()) return true;
    const shell::Outcome stored = storeLinkResults(shell::AppPaths::file(store::kCommonDb), unsaved_);
    unsaved_.clear();
    // The fields may be new: the grid reads the table afresh.
    model_.reopen();
    relist();
    if (!stored) say(stored.messages);
    return stored.ok;
}

void frmInternet::checkEnded(bool stopped) {
    prgCheck_->hide();
    cmdCheckLinks_->setEnabled(true);
    cmdStopCheck_->setEnabled(false);
    if (!storeResults()) return;
    const QString counts = QStringLiteral("正常 %1 个，已移动 %2 个，失效 %3 个，拒绝访问 %4 个，超时 %5 个")
                               .arg(tally_.value(LinkStatus::Ok))
                               .arg(tally_.value(LinkStatus::Moved))
                               .arg(tally_.value(LinkStatus::Dead))
                               .arg(tally_.value(LinkStatus::Refused))
                               .arg(tally_.value(LinkStatus::TimedOut));
    say({stopped ? QStringLiteral("检查已停止：%1！").arg(counts)
                 : QStringLiteral("检查完毕：%1！").arg(counts)});
}

bool frmInternet::eventFilter(QObject* watched, QEvent* e) {
    if (watched != MSFlexGrid1_->viewport()) return QWidget::eventFilter(watched, e);
    const auto type = e->type();
    if (type != QEvent::MouseMove && type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease)
        return QWidget::eventFilter(watched, e);
    auto* me = static_cast<QMouseEvent*>(e);
    const QPair<int, int> cell = MSFlexGrid1_->cellAt(me->position().toPoint());
    if (type == QEvent::MouseMove) {
        hoverCell(cell.first, cell.second);
    } else if (me->button() == Qt::LeftButton) {
        (type == QEvent::MouseButtonPress ? downRow_ : upRow_) = cell.first;
    } else if (me->button() == Qt::RightButton && type == QEvent::MouseButtonRelease) {
        mouseRow_ = cell.first;
        mnuDelete_->popup(me->globalPosition().toPoint());
    }
    return QWidget::eventFilter(watched, e);
}

} // namespace web
