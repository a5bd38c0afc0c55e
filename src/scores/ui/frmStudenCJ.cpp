#include "frmStudenCJ.h"

#include "PictureButton.h"
#include "classes/ui/frmOpenDatabase.h"
#include "frmImport.h"
#include "frmPrintView.h"
#include "scores/model/ScoreExport.h"
#include "scores/model/ScorePrint.h"
#include "scores/model/ScoreReports.h"
#include "scores/model/ScoreSortFilter.h"
#include "scores/ui/frames/Frame0Subjects.h"
#include "scores/ui/frames/Frame1Roster.h"
#include "scores/ui/frames/Frame2Entry.h"
#include "scores/ui/frames/Frame3Find.h"
#include "scores/ui/frames/Frame4Levels.h"
#include "scores/ui/frames/Frame5Composite.h"
#include "scores/ui/frames/Frame6Points.h"
#include "scores/ui/frames/Frame7BandInterval.h"
#include "scores/ui/frames/Frame8Filter.h"
#include "scores/ui/frames/Frame9Sort.h"
#include "shell/Windows.h"
#include "shell/core/TableFile.h"
#include "shell/core/Units.h"
#include "shell/ui/DocServices.h"
#include "shell/ui/FileDialog.h"
#include "shell/ui/GridView.h"
#include "shell/ui/MenuTable.h"
#include "shell/ui/MessageBox.h"
#include "shell/ui/StandardMenus.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>

namespace scores {

namespace {

constexpr int kGridTopTwips = 480;
constexpr int kEntryShiftTwips = 600;

// "导入(&I)...": a class list or marks from a table file, mapped and checked
// in the import window. The score window waits while that window is open,
// as it does for the page setup.
void importTableFile(QWidget* window, ScoreModel& model) {
    if (!model.classOpen()) return;
    const QString path = shell::FileDialog::getOpenFileName(
        window, QStringLiteral("导入学生名单和成绩"), {},
        QStringLiteral(
            "表格文件 (*.xlsx *.xls *.csv);;Excel 工作簿 (*.xlsx *.xls);;CSV 文件 (*.csv);;所有文件 (*)"));
    if (path.isEmpty()) return;
    auto* w = qobject_cast<frmImport*>(shell::Windows::instance().open(QStringLiteral("frmImport"), window));
    if (!w) return;
    w->readFile(path);
    window->setEnabled(false);
    QObject::connect(w, &QObject::destroyed, window, [window] { window->setEnabled(true); });
    QObject::connect(w, &frmImport::imported, window, [&model] { model.refreshIfChanged(); });
}

} // namespace

frmStudenCJ::frmStudenCJ(ScoreModel& model, QWidget* parent) : QMainWindow(parent), model_(model) {
    setObjectName(QStringLiteral("frmStudenCJ"));
    setWindowTitle(shell::Windows::caption(QStringLiteral("frmStudenCJ")));

    central_ = new QWidget(this);
    central_->setObjectName(QStringLiteral("frmStudenCJClient"));
    central_->setMouseTracking(true);
    central_->installEventFilter(this);
    setCentralWidget(central_);

    view_ = new shell::GridView(central_);
    view_->setObjectName(QStringLiteral("msfgCJView"));
    view_->viewport()->setMouseTracking(true);
    view_->viewport()->installEventFilter(this);
    connect(view_, &shell::GridView::cellClicked, this, &frmStudenCJ::onGridClicked);

    spare_ = new shell::GridView(central_);
    spare_->setObjectName(QStringLiteral("msfgCjBAK"));
    spare_->hide();

    frames_[0] = new Frame0Subjects(this);
    frames_[1] = new Frame1Roster(this);
    frames_[2] = new Frame2Entry(this);
    frames_[3] = new Frame3Find(this);
    frames_[4] = new Frame4Levels(this);
    frames_[5] = new Frame5Composite(this);
    frames_[6] = new Frame6Points(this);
    frames_[7] = new Frame7BandInterval(this);
    frames_[8] = new Frame8Filter(this);
    frames_[9] = new Frame9Sort(this);
    for (TaskFrame* f : frames_) {
        f->setParent(central_);
        f->hide();
    }

    buildMenus();
    buildPictures();
    buildStatusBar();

    connect(&model_, &ScoreModel::scoreGridChanged, this, [this] { view_->setGrid(model_.scoreGrid()); });
    connect(&model_, &ScoreModel::spareGridChanged, this, [this] { spare_->setGrid(model_.spareGrid()); });
    connect(&model_, &ScoreModel::statusChanged, this, &frmStudenCJ::syncStatus);
    connect(&model_, &ScoreModel::positionChanged, this, &frmStudenCJ::syncPageButtons);

    // Window load: the score heading of the last subjects, the settings,
    // no current student; placed at the top left of the screen.
    model_.windowLoaded();
    view_->setGrid(model_.scoreGrid());
    spare_->setGrid(model_.spareGrid());
    syncStatus();
    syncPageButtons();
    updateMenus();
    // Smaller than 2500 x 3000 twips the window would have no room for the grid.
    setMinimumSize(shell::twipsToPx(2500), shell::twipsToPx(3000));
    resize(1010, 690);
    move(0, 0);
}

frmStudenCJ::~frmStudenCJ() = default;

TaskFrame* frmStudenCJ::frame(int index) const {
    return index >= 0 && index < int(frames_.size()) ? frames_[index] : nullptr;
}

// ------------------------------------------------------------ building

void frmStudenCJ::buildMenus() {
    using shell::MenuEntry;
    auto frame = [this](int index) { return [this, index] { frames_[index]->open(); }; };
    const QList<shell::MenuDef> menus{
        {QStringLiteral("mnuFile"),
         QStringLiteral("文件(&F)"),
         {
             {QStringLiteral("mFileNew"), QStringLiteral("新建(&N)"), [this] { openClassFileWindow(true); },
              QStringLiteral("Ctrl+N")},
             {QStringLiteral("mFileOpem"), QStringLiteral("打开(&O)"), [this] { openClassFileWindow(false); },
              QStringLiteral("Ctrl+O")},
             MenuEntry::separator(QStringLiteral("mFileBar0")),
             {QStringLiteral("mFilePage"), QStringLiteral("页面设置(&L)"), [this] { openPageSetup(); }},
             {QStringLiteral("mFilePrint"), QStringLiteral("打印(&P)"), [this] { PrintScoreTable(); },
              QStringLiteral("Ctrl+P")},
             {QStringLiteral("mFileOut"), QStringLiteral("数据导出(&O)"), [this] { exportGrid(); }},
             {QStringLiteral("mFileIn"), QStringLiteral("导入(&I)..."),
              [this] { importTableFile(this, model_); }},
             {QStringLiteral("mFileQuit"), QStringLiteral("关闭(&Q)"), [this] { closeClass(); }},
             MenuEntry::separator(QStringLiteral("mFileBar1")),
             {QStringLiteral("mFileExit"), QStringLiteral("退出(&X)"), [this] { close(); },
              QStringLiteral("Ctrl+Q")},
         }},
        {QStringLiteral("mnuEdit"),
         QStringLiteral("编辑(&E)"),
         {
             {QStringLiteral("mEditStudens"), QStringLiteral("修改学生库(&x)"), frame(1)},
             {QStringLiteral("mEditSubject"), QStringLiteral("录入成绩(&I)"), frame(2)},
         }},
        {QStringLiteral("mnuData"),
         QStringLiteral("数据(&D)"),
         {
             {QStringLiteral("mDataFind"), QStringLiteral("查询(&F)"), frame(3)},
             {QStringLiteral("mDataFilter"), QStringLiteral("筛选"), frame(8)},
             MenuEntry::subMenu(QStringLiteral("mDataSort"), QStringLiteral("排序")),
             {QStringLiteral("mDataSortUp"), QStringLiteral("升序"), [this] { SortScores(model_, false); }},
             {QStringLiteral("mDataSortDown"), QStringLiteral("降序"), [this] { SortScores(model_, true); }},
             {QStringLiteral("mDataSortHigh"), QStringLiteral("高级排序"), frame(9)},
             MenuEntry::end(),
             MenuEntry::separator(QStringLiteral("mDataBar1")),
             MenuEntry::subMenu(QStringLiteral("mDataSum"), QStringLiteral("统计")),
             {QStringLiteral("mIamgeStd"), QStringLiteral("个人成绩"), [this] { model_.ShowScoreTable(); }},
             {QStringLiteral("mIamgeGKBB"), QStringLiteral("各科报表"),
              [this] { ShowSubjectReport(model_); }},
             {QStringLiteral("mIamgeGKFSD"), QStringLiteral("各科分数段"),
              [this] { ShowBandReport(model_); }},
             MenuEntry::end(),
         }},
        {QStringLiteral("mnuSet"),
         QStringLiteral("设置(&S)"),
         {
             {QStringLiteral("mSetKM"), QStringLiteral("增减科目"), frame(0)},
             {QStringLiteral("mSetDJ"), QStringLiteral("设定等级"), frame(4)},
             {QStringLiteral("mSetFSD"), QStringLiteral("确定分数段的间隔分值"), frame(7)},
             {QStringLiteral("mSetStudens"), QStringLiteral("选定个人综合分计算公式"), frame(5)},
             {QStringLiteral("mSetDKJSGS"), QStringLiteral("选定单科积分计算公式"), frame(6)},
         }},
        shell::helpMenu([this] { shell::Windows::instance().open(QStringLiteral("frmHelpAbout"), this); }),
    };
    menus_ = shell::buildMenuBar(menuBar(), menus, this);
}

void frmStudenCJ::buildPictures() {
    struct Pic {
        PictureButton::Kind kind;
        const char* name;
        const char* tip;
    };
    const Pic pics[] = {
        {PictureButton::Kind::NewFile, "imgNewPyFile", "新建班级"},
        {PictureButton::Kind::OpenFile, "imgOpenNewFile", "打开班级"},
        {PictureButton::Kind::Print, "imgFilePrint", "打印"},
        {PictureButton::Kind::Preview, "imgViewPrint", "打印预览"},
    };
    int x = 4;
    for (const Pic& p : pics) {
        auto* b = new PictureButton(p.kind, QString::fromLatin1(p.name), QString::fromUtf8(p.tip), central_);
        b->move(x, 2);
        x += 32;
        pictures_ << b;
    }
    connect(static_cast<PictureButton*>(pictures_[0]), &PictureButton::clicked, this,
            [this] { openClassFileWindow(true); });
    connect(static_cast<PictureButton*>(pictures_[1]), &PictureButton::clicked, this,
            [this] { openClassFileWindow(false); });
    connect(static_cast<PictureButton*>(pictures_[2]), &PictureButton::clicked, this,
            [this] { menus_.action(QStringLiteral("mFilePrint"))->trigger(); });
    connect(static_cast<PictureButton*>(pictures_[3]), &PictureButton::clicked, this,
            [this] { openPrintPreview(); });
}

void frmStudenCJ::buildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("stbStudens"));
    bar->setSizeGripEnabled(true);
    for (int i = 0; i < 3; ++i) {
        auto* l = new QLabel(bar);
        l->setObjectName(QStringLiteral("stbStudensPanel(%1)").arg(i));
        l->setFrameShape(QFrame::Panel);
        l->setFrameShadow(QFrame::Sunken);
        l->setContentsMargins(4, 0, 4, 0);
        if (i > 0) l->setFixedWidth(150);
        // The first panel takes what the other two leave.
        bar->addPermanentWidget(l, i == 0 ? 1 : 0);
        panels_[i] = l;
    }
}

// ------------------------------------------------------------ behaviour

void frmStudenCJ::closeClass() {
    // "关闭" closes the class: the window stays, empty, until another is opened.
    for (TaskFrame* f : frames_)
        f->hide();
    setEntryLayout(false);
    model_.closeClass();
    updateMenus();
}

void frmStudenCJ::ShowTask(int index) {
    model_.setTaskFrame(index);
    for (TaskFrame* f : frames_)
        f->hide();
    if (TaskFrame* f = frame(index)) {
        f->show();
        f->raise();
    }
}

void frmStudenCJ::MoveCurrent(int index) {
    model_.MoveCurrent(index);
    for (TaskFrame* f : frames_)
        f->currentMoved();
    const int row = model_.viewState().currentRow;
    if (row > 0 && row < view_->model()->rowCount()) view_->selectRow(row);
    if (index <= 1)
        view_->setFocus();
    else if (auto* box = findChild<QWidget*>(QStringLiteral("txtStudensCj")))
        box->setFocus();
}

void frmStudenCJ::onGridClicked(int row, int col) {
    const ClickResult click = model_.gridClick(row, col);
    for (TaskFrame* f : frames_)
        f->gridClicked(row, col, click);
}

void frmStudenCJ::syncStatus() {
    for (int i = 0; i < 3; ++i)
        panels_[i]->setText(model_.statusPanel(i));
}

void frmStudenCJ::syncPageButtons() {
    for (int i = 0; i < 4; ++i)
        if (auto* b = findChild<QPushButton*>(QStringLiteral("cmdNamePage(%1)").arg(i)))
            b->setEnabled(model_.viewState().pageEnabled[i]);
}

void frmStudenCJ::updateMenus() {
    const bool open = model_.classOpen();
    for (const char* m : {"mnuEdit", "mnuData", "mnuSet"})
        menus_.action(QString::fromLatin1(m))->setVisible(open);
    for (const char* e : {"mFilePage", "mFilePrint", "mFileOut", "mFileIn", "mFileQuit"})
        menus_.action(QString::fromLatin1(e))->setEnabled(open);
    pictures_[2]->setVisible(open);
    pictures_[3]->setVisible(open);
}

void frmStudenCJ::exportGrid() {
    const ExportResult exported = ExportScores(model_);
    if (!exported.outcome) {
        // No class open, or the file could not be written: the message says
        // which; the grid stays as it was.
        shell::MessageBox::showAll(this, exported.outcome.messages);
        return;
    }
    // Where the copy ended: the grid's last cell, moved to once.
    view_->setCurrentIndex(view_->model()->index(exported.lastRow, exported.lastCol));
    const bool opened = shell::shellOpen(exported.path);
    shell::MessageBox::show(this,
                            opened ? msg::exported(exported.path) : msg::exportedNotOpened(exported.path));
}

void frmStudenCJ::openPageSetup() {
    if (!model_.classOpen()) return;
    QWidget* w = shell::Windows::instance().open(QStringLiteral("frmSetPage"), this);
    if (!w) return;
    pageSetup_ = w;
    setEnabled(false);
    connect(w, &QObject::destroyed, this, [this] { setEnabled(true); });
}

void frmStudenCJ::PrintScoreTable() {
    std::unique_ptr<ScorePrintLayout> layout;
    const Outcome laid = layoutScoreTable(model_, layout);
    if (!laid) {
        shell::MessageBox::showAll(this, laid.messages);
        return;
    }
    if (!printScorePages(*layout, this)) return;
    // The grid's current cell ends on the last cell printed, moved once
    // rather than through every cell of a table of thousands of rows.
    const QModelIndex last = view_->model()->index(layout->lastRow(), layout->lastColumn());
    if (last.isValid()) view_->setCurrentIndex(last);
}

void frmStudenCJ::openPrintPreview() {
    std::unique_ptr<ScorePrintLayout> layout;
    const Outcome laid = layoutScoreTable(model_, layout);
    if (!laid) {
        shell::MessageBox::showAll(this, laid.messages);
        return;
    }
    // The score window stays usable beside the preview.
    if (auto* preview = qobject_cast<frmPrintView*>(
            shell::Windows::instance().open(QStringLiteral("frmPrintView"), this))) {
        preview->showLayout(std::move(layout));
        preview->showMaximized();
    }
}

void frmStudenCJ::openClassFileWindow(bool create) {
    auto* w = frmOpenDatabase::openFor(create ? frmOpenDatabase::Purpose::ScoreNew
                                              : frmOpenDatabase::Purpose::ScoreOpen);
    if (!w) return;
    classWindow_ = w;
    connect(w, &frmOpenDatabase::handedBack, this, [this](const QString& name, frmOpenDatabase::Purpose p) {
        classHandedBack(name, p == frmOpenDatabase::Purpose::ScoreNew);
    });
}

void frmStudenCJ::classHandedBack(const QString& name, bool created) {
    for (TaskFrame* f : frames_)
        f->hide();
    setEntryLayout(false);
    const Outcome opened = model_.classOpened(name);
    for (const QString& m : opened.messages)
        shell::MessageBox::show(this, m);
    // The working class is shared with the comment writer: opening another
    // one here means the comment writer's view of it is stale.
    if (!created) shell::Windows::instance().unload(QStringLiteral("frmStudenPY"));
    updateMenus();
}

// ------------------------------------------------------------ layout

int frmStudenCJ::gridTop() const {
    return shell::twipsToPx(kGridTopTwips + (entryLayout_ ? kEntryShiftTwips : 0));
}

void frmStudenCJ::setEntryLayout(bool entry) {
    if (entryLayout_ == entry) return;
    entryLayout_ = entry;
    layoutGrid();
}

void frmStudenCJ::layoutGrid() {
    // The grid fills the client area below the pictures, less a small margin
    // on the right (100 twips); the status bar is outside the client area.
    const int top = gridTop();
    view_->setGeometry(0, top, qMax(1, central_->width() - shell::twipsToPx(100)),
                       qMax(1, central_->height() - top));
}

void frmStudenCJ::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    if (isMinimized()) return;
    layoutGrid();
}

bool frmStudenCJ::event(QEvent* event) {
    // Coming back from the comment writer or another program that added or
    // removed students, the grid and the count show the class as stored.
    if (event->type() == QEvent::WindowActivate) model_.refreshIfChanged();
    return QMainWindow::event(event);
}

bool frmStudenCJ::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseMove && (watched == central_ || watched == view_->viewport())) {
        updateMenus();
        if (watched == central_ && !frames_[2]->isVisible()) setEntryLayout(false);
    }
    if (event->type() == QEvent::Resize && watched == central_) layoutGrid();
    return QMainWindow::eventFilter(watched, event);
}

void frmStudenCJ::closeEvent(QCloseEvent* event) {
    // A class-file window left behind would hand a class to a window that
    // is gone and mark it open behind an empty score window.
    if (classWindow_) {
        const auto p = classWindow_->purpose();
        if (p == frmOpenDatabase::Purpose::ScoreNew || p == frmOpenDatabase::Purpose::ScoreOpen)
            classWindow_->close();
    }
    // A page setup left open would write into a class this window no longer shows.
    if (pageSetup_) pageSetup_->close();
    model_.windowUnloaded();
    QMainWindow::closeEvent(event);
}

} // namespace scores
