#include "frmFindFile.h"

#include "shell/Windows.h"
#include "shell/core/FileSearch.h"
#include "shell/core/Settings.h"
#include "shell/core/Units.h"
#include "shell/ui/DocServices.h"
#include "shell/ui/MessageBox.h"

#include <QAbstractListModel>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>
#include <vector>

namespace shell {

// The paths found: a list that only grows, so that tens of thousands of
// names are added in one step without an item object each. It is kept in
// pieces of a fixed size: one array of millions of names would be copied
// whole each time it grows, holding the window up for a tenth of a second.
class PathListModel : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;
    int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : count_; }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || index.row() >= count_) return {};
        if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
        return chunks_[size_t(index.row() / kChunk)][index.row() % kChunk];
    }
    void append(const QStringList& more) {
        if (more.isEmpty()) return;
        beginInsertRows({}, count_, count_ + int(more.size()) - 1);
        for (const QString& p : more) {
            if (chunks_.empty() || chunks_.back().size() == kChunk) {
                chunks_.emplace_back();
                chunks_.back().reserve(kChunk);
            }
            chunks_.back() << p;
        }
        count_ += int(more.size());
        endInsertRows();
    }
    void clear() {
        beginResetModel();
        chunks_.clear();
        count_ = 0;
        endResetModel();
    }
    QStringList paths() const {
        QStringList out;
        out.reserve(count_);
        for (const QStringList& c : chunks_)
            out += c;
        return out;
    }

private:
    static constexpr int kChunk = 8192;
    std::vector<QStringList> chunks_;
    int count_ = 0;
};

frmFindFile::frmFindFile(QWidget* parent) : QWidget(parent, Qt::Dialog | Qt::WindowMaximizeButtonHint) {
    setObjectName(QStringLiteral("frmFindFile"));
    setWindowTitle(Windows::caption(QStringLiteral("frmFindFile")));

    auto* famFileSelect = new QGroupBox(QStringLiteral("名称和位置"), this);
    famFileSelect->setObjectName(QStringLiteral("famFileSelect"));
    auto* labName = new QLabel(QStringLiteral("名称："), famFileSelect);
    labName->setObjectName(QStringLiteral("labName"));
    Combo1_ = new QComboBox(famFileSelect);
    Combo1_->setObjectName(QStringLiteral("Combo1"));
    Combo1_->setEditable(true);
    Combo1_->setInsertPolicy(QComboBox::NoInsert);
    auto* labSearch = new QLabel(QStringLiteral("搜索："), famFileSelect);
    labSearch->setObjectName(QStringLiteral("labSearch"));
    Drive1_ = new QComboBox(famFileSelect);
    Drive1_->setObjectName(QStringLiteral("Drive1"));
    Drive1_->addItems(FileSearch::drives());
    auto* selectLayout = new QGridLayout(famFileSelect);
    selectLayout->addWidget(labName, 0, 0);
    selectLayout->addWidget(Combo1_, 0, 1);
    selectLayout->addWidget(labSearch, 1, 0);
    selectLayout->addWidget(Drive1_, 1, 1);
    selectLayout->setColumnStretch(1, 1);

    auto* famFindYesNo = new QGroupBox(this);
    famFindYesNo->setObjectName(QStringLiteral("famFindYesNo"));
    Command1_ = new QPushButton(QStringLiteral("开始查找"), famFindYesNo);
    Command2_ = new QPushButton(QStringLiteral("停止"), famFindYesNo);
    auto* Command3 = new QPushButton(QStringLiteral("取消"), famFindYesNo);
    Command4_ = new QPushButton(QStringLiteral("确定"), famFindYesNo);
    auto* buttons = new QVBoxLayout(famFindYesNo);
    int n = 1;
    for (QPushButton* b : {Command1_, Command2_, Command3, Command4_}) {
        b->setObjectName(QStringLiteral("Command%1").arg(n++));
        buttons->addWidget(b);
    }
    Command2_->setEnabled(false);
    Command4_->setEnabled(false);

    found_ = new PathListModel(this);
    // The list box: a table of one column without headers or grid. A list
    // view lays every row out again whenever rows are added, which over a
    // whole disk's names costs more than the search; a table's rows all
    // have the header's one height, so adding rows costs only the rows added.
    List1_ = new QTableView(this);
    List1_->setObjectName(QStringLiteral("List1"));
    List1_->setModel(found_);
    List1_->setShowGrid(false);
    List1_->setWordWrap(false);
    List1_->setTabKeyNavigation(false);
    List1_->setCornerButtonEnabled(false);
    List1_->horizontalHeader()->hide();
    List1_->horizontalHeader()->setStretchLastSection(true);
    List1_->verticalHeader()->hide();
    List1_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    List1_->verticalHeader()->setMinimumSectionSize(1);
    List1_->verticalHeader()->setDefaultSectionSize(List1_->fontMetrics().height() + 4);
    List1_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    List1_->setSelectionBehavior(QAbstractItemView::SelectRows);
    List1_->setSelectionMode(QAbstractItemView::SingleSelection);
    labFindedName_ = new QLabel(this);
    labFindedName_->setObjectName(QStringLiteral("labFindedName"));
    labFindingName_ = new QLabel(QStringLiteral("查找"), this);
    labFindingName_->setObjectName(QStringLiteral("labFindingName"));
    for (QLabel* l : {labFindedName_, labFindingName_}) {
        // Long paths must not widen the window.
        l->setMinimumWidth(1);
        l->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    }

    auto* layout = new QGridLayout(this);
    layout->addWidget(famFileSelect, 0, 0);
    layout->addWidget(famFindYesNo, 0, 1);
    layout->addWidget(List1_, 1, 0, 1, 2);
    layout->addWidget(labFindedName_, 2, 0, 1, 2);
    layout->addWidget(labFindingName_, 3, 0, 1, 2);
    layout->setColumnStretch(0, 1);
    layout->setRowStretch(1, 1);
    setMinimumSize(twipsToPx(5600), twipsToPx(4500));
    resize(twipsToPx(8400), twipsToPx(6600));

    slices_ = new QTimer(this);
    slices_->setInterval(0);
    connect(slices_, &QTimer::timeout, this, &frmFindFile::runSlice);

    connect(Combo1_, &QComboBox::currentTextChanged, this, [this](const QString& t) { pattern_ = t; });
    connect(Drive1_, &QComboBox::currentIndexChanged, this, &frmFindFile::driveChanged);
    connect(Command1_, &QPushButton::clicked, this, &frmFindFile::startSearch);
    connect(Command2_, &QPushButton::clicked, this, &frmFindFile::stopSearch);
    connect(Command3, &QPushButton::clicked, this, &QWidget::close);
    connect(Command4_, &QPushButton::clicked, this, &frmFindFile::accept);
    connect(List1_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &frmFindFile::selectionChanged);
    connect(List1_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &frmFindFile::selectionChanged);
    connect(List1_, &QTableView::doubleClicked, this, [this](const QModelIndex& index) {
        chosen_ = index.data().toString();
        // Starts the program found; a file that will not open is left
        // unsaid, as the teacher sees nothing start.
        if (!chosen_.isEmpty()) (void)openPath(chosen_);
    });

    Drive1_->setCurrentIndex(0);
    root_ = QStringLiteral("/");
}

frmFindFile::~frmFindFile() = default;

void frmFindFile::applyPreset(const FinderPreset& preset) {
    if (searching_) stopSearch();
    key_ = preset.key;
    Combo1_->setEditText(preset.searchName);
    pattern_ = preset.searchName;
}

void frmFindFile::setRoot(const QString& folder) {
    QString root = folder;
    if (!root.endsWith(u'/')) root += u'/';
    int i = Drive1_->findText(root);
    if (i < 0) {
        Drive1_->addItem(root);
        i = Drive1_->count() - 1;
    }
    Drive1_->setCurrentIndex(i);
    driveChanged();
}

void frmFindFile::driveChanged() {
    root_ = Drive1_->currentText();
    if (!root_.endsWith(u'/')) root_ += u'/';
    labFindingName_->setText(root_);
}

void frmFindFile::startSearch() {
    Command2_->setEnabled(true);
    if (pattern_.isEmpty()) return;
    searching_ = true;
    Command1_->setEnabled(false); // one search at a time
    found_->clear();
    chosen_.clear();
    Command4_->setEnabled(false);
    labFindedName_->clear();
    longestSlice_ = 0;
    unshown_.clear();
    shown_.start();
    search_ = std::make_unique<FileSearch>(root_, pattern_);
    labFindingName_->setText(root_ + QStringLiteral("finding....."));
    slices_->start();
}

void frmFindFile::stopSearch() {
    Command2_->setEnabled(false);
    if (searching_) endSearch();
}

void frmFindFile::runSlice() {
    if (!searching_ || !search_) return;
    QElapsedTimer clock;
    clock.start();
    // Listing costs time too: a slice that found many names hands them over
    // early so that keeping them stays within the slice.
    const std::vector<FileSearch::Batch> batches = search_->step(sliceMs_, 2000);
    for (const FileSearch::Batch& b : batches)
        unshown_ += b.matches;
    if (search_->finished()) {
        endSearch();
    } else if (found_->rowCount() == 0 && !unshown_.isEmpty()) {
        showFound(); // the first names at once
    } else if (shown_.elapsed() >= kShowEveryMs) {
        // The list and the status line change a few times a second, not
        // after every slice: each change lays the list out and repaints the
        // window, which cost more than the search itself.
        showFound();
        labFindingName_->setText(search_->currentFolder() + QStringLiteral("finding....."));
    }
    longestSlice_ = std::max(longestSlice_, clock.elapsed());
    Q_EMIT sliceDone();
}

void frmFindFile::showFound() {
    shown_.restart();
    if (unshown_.isEmpty()) return;
    found_->append(unshown_);
    labFindedName_->setText(unshown_.last());
    unshown_.clear();
    List1_->scrollToBottom();
}

void frmFindFile::endSearch() {
    slices_->stop();
    searching_ = false;
    search_.reset();
    showFound();
    labFindingName_->setText(QStringLiteral("在驱动器%1上共查找到%2个与\"%3\"相匹配的文件。")
                                 .arg(root_)
                                 .arg(found_->rowCount())
                                 .arg(pattern_));
    Command2_->setEnabled(false);
    Command1_->setEnabled(true);
    Q_EMIT searchFinished();
}

void frmFindFile::selectionChanged() {
    const QModelIndexList selected = List1_->selectionModel()->selectedIndexes();
    chosen_ = selected.isEmpty() ? QString() : selected.first().data().toString();
    Command4_->setEnabled(!chosen_.isEmpty());
}

QStringList frmFindFile::foundPaths() const {
    return found_->paths();
}

void frmFindFile::accept() {
    if (chosen_.isEmpty()) return;
    if (key_.isEmpty()) {
        MessageBox::show(this, QStringLiteral("请先在系统设置窗口中选择要设置的工具！"));
        return;
    }
    const Outcome stored = setToolProgram(key_, chosen_);
    if (!stored) {
        MessageBox::showAll(this, stored.messages);
        return;
    }
    Q_EMIT pathChosen(key_, chosen_);
    close();
}

void frmFindFile::closeEvent(QCloseEvent* e) {
    if (searching_) {
        slices_->stop();
        searching_ = false;
        search_.reset();
        unshown_.clear();
    }
    QWidget::closeEvent(e);
}

} // namespace shell
