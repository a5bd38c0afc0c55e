#include "frmInternet.h"

#include "shell/Windows.h"
#include "shell/core/AppPaths.h"
#include "shell/core/SafeOpen.h"
#include "shell/ui/GridView.h"
#include "shell/ui/MenuTable.h"
#include "shell/ui/MessageBox.h"
#include "shell/ui/TreeView.h"
#include "store/Schema.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
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

    auto* all = new QVBoxLayout(this);
    all->setContentsMargins(6, 4, 6, 6);
    all->addWidget(banner);
    all->addWidget(split, 1);
    all->addLayout(statusRow);

    mnuDelete_ = new QMenu(QStringLiteral("删除数据记录"), this);
    mnuDelete_->setObjectName(QStringLiteral("mnuDelete"));
    shell::BuiltMenus built;
    shell::fillMenu(mnuDelete_,
                    {shell::MenuEntry(QStringLiteral("mDele"), QStringLiteral("删除单条记录"),
                                      [this] { deleteChosenRows(); })},
                    this, built);

    connect(tvwExplorer_, &shell::TreeView::nodeClicked, this, [this](const QString& key) { listNode(key); });
    connect(MSFlexGrid1_, &shell::GridView::cellDoubleClicked, this, &frmInternet::openCell);

    resize(1220, 620);
    MSFlexGrid1_->setGrid(model_.grid());
    rebuildTree();
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
