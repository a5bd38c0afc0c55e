#include "frmJiaoAn.h"

#include "LessonEditorPanel.h"
#include "lessons/model/LessonTree.h"
#include "lessons/model/PlanFile.h"
#include "shell/Windows.h"
#include "shell/core/AppPaths.h"
#include "shell/core/SafeOpen.h"
#include "shell/docs/Article.h"
#include "shell/ui/DocServices.h"
#include "shell/ui/EditMenu.h"
#include "shell/ui/FileDialog.h"
#include "shell/ui/MessageBox.h"
#include "shell/ui/RtfExport.h"
#include "shell/ui/StandardMenus.h"
#include "shell/ui/TreeView.h"
#include "shell/ui/UnsavedQuestion.h"
#include "store/Schema.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QStyle>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

namespace lessons {

namespace {
const QString kName = QStringLiteral("frmJiaoAn");
const QString kTextFilter = QStringLiteral("文本文件(*.TXT)|*.txt");
// Save and export dialogs carry two blanks as their title.
const QString kBlankTitle = QStringLiteral("  ");

QFrame* rule(QWidget* parent, const QString& name) {
    auto* line = new QFrame(parent);
    line->setObjectName(name);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}
QTextEdit* textBox(QWidget* parent, const QString& name, const QString& text, bool readOnly) {
    auto* t = new QTextEdit(parent);
    t->setObjectName(name);
    t->setAcceptRichText(false);
    t->setReadOnly(readOnly);
    t->setPlainText(text);
    return t;
}
} // namespace

frmJiaoAn::frmJiaoAn(QWidget* parent)
    : QWidget(parent), library_(shell::AppPaths::file(store::kCommonDb)),
      article_(std::make_unique<shell::Article>()) {
    setObjectName(kName);
    setWindowTitle(shell::Windows::caption(kName));

    // --- the mode row ---
    cmdReference_ = new QPushButton(QStringLiteral("打开教案参考"), this);
    cmdReference_->setObjectName(QStringLiteral("cmdSelectText(0)"));
    cobOpenText_ = new QComboBox(this);
    cobOpenText_->setObjectName(QStringLiteral("cobOpenText"));
    cobOpenText_->setEditable(true);
    cobOpenText_->setInsertPolicy(QComboBox::NoInsert);
    cobOpenText_->addItems(subjectNames());
    cobOpenText_->setCurrentIndex(0);
    cobOpenText_->setMinimumContentsLength(5);
    cmdLibrary_ = new QPushButton(QStringLiteral("修改教案库"), this);
    cmdLibrary_->setObjectName(QStringLiteral("cmdSelectText(1)"));

    // --- left: the tree ---
    fraTree_ = new QFrame(this);
    fraTree_->setObjectName(QStringLiteral("fraJAclass(0)"));
    tvwClass_ = new shell::TreeView(fraTree_);
    tvwClass_->setObjectName(QStringLiteral("tvwClass"));
    auto* treeLayout = new QVBoxLayout(fraTree_);
    treeLayout->setContentsMargins(0, 0, 0, 0);
    treeLayout->addWidget(tvwClass_);
    fraTree_->setMinimumWidth(220);

    // --- right: the reference and the new plan ---
    fraView_ = new QFrame(this);
    fraView_->setObjectName(QStringLiteral("fraJAclass(1)"));
    auto* titleBox = new QWidget(fraView_);
    auto* titleGrid = new QGridLayout(titleBox);
    titleGrid->setContentsMargins(0, 0, 0, 0);
    for (int i = 0; i < 2; ++i) {
        labKT_[i] = new QLabel(QStringLiteral("教参"), titleBox);
        labKT_[i]->setObjectName(QStringLiteral("labKT(%1)").arg(i));
        QFont f = labKT_[i]->font();
        f.setPointSizeF(f.pointSizeF() * 1.4);
        f.setBold(true);
        labKT_[i]->setFont(f);
        titleGrid->addWidget(labKT_[i], 0, 0);
    }
    // labKT(1) is the title's shadow, one pixel down and to the right.
    labKT_[1]->setStyleSheet(QStringLiteral("color: #b0b0b0; padding: 2px 0 0 2px;"));
    labKT_[0]->setStyleSheet(QStringLiteral("color: #1f3f7f; padding: 0 2px 2px 0;"));
    labKT_[0]->raise();
    ricJAoldText_[0] = textBox(fraView_, QStringLiteral("ricJAoldText(0)"), QStringLiteral("教案参考"), true);
    ricJAoldText_[1] =
        textBox(fraView_, QStringLiteral("ricJAoldText(1)"), QStringLiteral("教案分析："), true);
    auto* reference = new QSplitter(Qt::Horizontal, fraView_);
    reference->addWidget(ricJAoldText_[0]);
    reference->addWidget(ricJAoldText_[1]);
    reference->setStretchFactor(0, 3);
    reference->setStretchFactor(1, 2);
    reference->setChildrenCollapsible(false);

    Text1_ = new QLineEdit(defaultCoursewareAddress(), fraView_);
    Text1_->setObjectName(QStringLiteral("Text1"));
    Text1_->setReadOnly(true);
    labViewKj_ = new QLabel(QStringLiteral(" 看课件"), fraView_);
    labViewKj_->setObjectName(QStringLiteral("labViewKj"));
    labViewKj_->setToolTip(QStringLiteral("点击这里，演示课件"));
    labViewKj_->setCursor(Qt::PointingHandCursor);
    labViewKj_->setAutoFillBackground(true);
    labViewKj_->setMinimumWidth(labViewKj_->fontMetrics().horizontalAdvance(QStringLiteral(" 看课件 ")) + 12);
    // The light green and orange of the animation read on a dark ground.
    labViewKj_->setStyleSheet(
        QStringLiteral("background: #20365c; color: rgb(128,255,128); padding: 2px 6px;"));
    labViewKj_->installEventFilter(this);
    Timer1_ = new QTimer(this);
    Timer1_->setObjectName(QStringLiteral("Timer1"));
    Timer1_->setInterval(100);

    auto* labJAwrite = new QLabel(QStringLiteral("编写新教案："), fraView_);
    labJAwrite->setObjectName(QStringLiteral("labJAwrite"));
    ricJAnewText_ = new QTextEdit(fraView_);
    ricJAnewText_->setObjectName(QStringLiteral("ricJAnewText"));
    ricJAnewText_->setAcceptRichText(false);
    ricJAnewText_->setDocument(article_->document());
    replacePlan(QStringLiteral(" XXXX教案"));

    auto* courseware = new QHBoxLayout;
    courseware->addWidget(new QLabel(QStringLiteral("课件地址："), fraView_));
    courseware->addWidget(Text1_, 1);
    courseware->addWidget(labViewKj_);
    auto* viewLayout = new QVBoxLayout(fraView_);
    viewLayout->setContentsMargins(0, 0, 0, 0);
    viewLayout->addWidget(titleBox);
    viewLayout->addWidget(reference, 5);
    viewLayout->addLayout(courseware);
    viewLayout->addWidget(rule(fraView_, QStringLiteral("Line2")));
    viewLayout->addWidget(labJAwrite);
    viewLayout->addWidget(ricJAnewText_, 4);

    // --- the library editor, in place of both ---
    fraEditor_ = new LessonEditorPanel(library_, this);
    fraEditor_->hide();

    // --- menus and the toolbar ---
    edit_ = new shell::EditMenu(ricJAnewText_, this);
    auto* bar = new QMenuBar(this);
    buildMenus(bar);
    toolEdit_ = new QToolBar(this);
    toolEdit_->setObjectName(QStringLiteral("toolEdit"));
    toolEdit_->setIconSize(QSize(20, 20));
    struct Tool {
        const char* key;
        QString tip;
        QStyle::StandardPixmap pixmap;
        std::function<void()> run;
    };
    const QList<Tool> tools{
        {"newFile", QStringLiteral("新建"), QStyle::SP_FileIcon, [this] { newFile(); }},
        {"openFile", QStringLiteral("打开"), QStyle::SP_DialogOpenButton, [this] { openFile(); }},
        {"saveFile", QStringLiteral("保存"), QStyle::SP_DialogSaveButton, [this] { saveFile(); }},
        {"printFile", QStringLiteral("打印"), QStyle::SP_FileDialogDetailedView, [this] { printFile(); }},
        {"cutText", QStringLiteral("剪切"), QStyle::SP_DialogDiscardButton, [this] { edit_->cut(); }},
        {"copyText", QStringLiteral("复制"), QStyle::SP_FileDialogNewFolder, [this] { edit_->copy(); }},
        {"pasteText", QStringLiteral("粘贴"), QStyle::SP_DialogApplyButton, [this] { edit_->paste(); }},
        {"closeFile", QStringLiteral("关闭"), QStyle::SP_DialogCloseButton, [this] { close(); }},
    };
    for (const Tool& t : tools) {
        QAction* a = toolEdit_->addAction(style()->standardIcon(t.pixmap), t.tip, this, t.run);
        a->setObjectName(QString::fromLatin1(t.key));
        if (QLatin1String(t.key) == QLatin1String("printFile") ||
            QLatin1String(t.key) == QLatin1String("closeFile"))
            toolEdit_->insertSeparator(a);
    }
    // Toolbar cut, copy and paste follow the Edit menu's states.
    for (const auto& [tool, entry] : {std::pair{"cutText", "mEditCut"}, std::pair{"copyText", "mEditCopy"},
                                      std::pair{"pasteText", "mEditPaste"}}) {
        QAction* t = toolEdit_->findChild<QAction*>(QString::fromLatin1(tool));
        QAction* m = menus_.action(QString::fromLatin1(entry));
        if (!t || !m) continue;
        t->setEnabled(m->isEnabled());
        connect(m, &QAction::enabledChanged, t, &QAction::setEnabled);
    }

    // --- the window ---
    auto* modes = new QHBoxLayout;
    modes->addWidget(cmdReference_);
    labOpenText_ = new QLabel(QStringLiteral("科目："), this);
    modes->addWidget(labOpenText_);
    modes->addWidget(cobOpenText_);
    modes->addWidget(cmdLibrary_);
    modes->addStretch();
    auto* panels = new QHBoxLayout;
    panels->addWidget(fraTree_, 1);
    panels->addWidget(fraView_, 3);
    panels->addWidget(fraEditor_, 1);
    auto* all = new QVBoxLayout(this);
    all->setMenuBar(bar);
    all->setContentsMargins(8, 4, 8, 8);
    all->addWidget(toolEdit_);
    all->addWidget(rule(this, QStringLiteral("Line1")));
    all->addLayout(modes);
    all->addLayout(panels, 1);

    connect(cmdReference_, &QPushButton::clicked, this, &frmJiaoAn::referenceMode);
    connect(cmdLibrary_, &QPushButton::clicked, this, &frmJiaoAn::libraryMode);
    connect(cobOpenText_, &QComboBox::currentTextChanged, this, &frmJiaoAn::subjectTextChanged);
    connect(tvwClass_, &shell::TreeView::nodeClicked, this,
            [this](const QString&, const QString& text) { nodeClicked(text); });
    connect(tvwClass_, &shell::TreeView::nodeDoubleClicked, this,
            [this](const QString&, const QString& text) {
                nodeClicked(text);
                nodeDoubleClicked();
            });
    connect(Timer1_, &QTimer::timeout, this, &frmJiaoAn::tick);
    // Any change of the selection or the caret marks the plan changed.
    const auto touched = [this] {
        if (!loading_) modified_ = true;
    };
    connect(ricJAnewText_, &QTextEdit::cursorPositionChanged, this, touched);
    connect(ricJAnewText_, &QTextEdit::selectionChanged, this, touched);
    ricJAnewText_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ricJAnewText_, &QTextEdit::customContextMenuRequested, this, [this](const QPoint& at) {
        if (QMenu* m = menus_.menus.value(QStringLiteral("mnuEdit")))
            m->popup(ricJAnewText_->mapToGlobal(at));
    });

    BuildLessonTree();
    Timer1_->start();
    resize(1180, 700);
    // The designer opens at the top left of the screen.
    if (const QScreen* s = QGuiApplication::primaryScreen())
        move(s->availableGeometry().topLeft());
    else
        move(0, 0);
}

frmJiaoAn::~frmJiaoAn() {
    // The box shows the article's document: let it go first.
    delete ricJAnewText_;
}

void frmJiaoAn::buildMenus(QWidget* menuHost) {
    using shell::MenuEntry;
    const QList<shell::MenuDef> defs{
        {QStringLiteral("mnuFile"),
         QStringLiteral("文件(&F)"),
         {
             MenuEntry(
                 QStringLiteral("mFileNew"), QStringLiteral("新建(&N)"), [this] { newFile(); },
                 QStringLiteral("Ctrl+N")),
             MenuEntry(
                 QStringLiteral("mFileOpen"), QStringLiteral("打开(&O)"), [this] { openFile(); },
                 QStringLiteral("Ctrl+O")),
             MenuEntry(
                 QStringLiteral("mFileSave"), QStringLiteral("保存(&S)"), [this] { saveFile(); },
                 QStringLiteral("Ctrl+S")),
             MenuEntry(QStringLiteral("mFileSaveAs"), QStringLiteral("文件另存(&A)"),
                       [this] { saveFileAs(); }),
             MenuEntry::separator(QStringLiteral("mFileBar1")),
             MenuEntry(
                 QStringLiteral("mFilePrint"), QStringLiteral("教案打印(&P)"), [this] { printFile(); },
                 QStringLiteral("Ctrl+P")),
             MenuEntry(QStringLiteral("mFileOut"), QStringLiteral("教案导出(&P)"), [this] { exportFile(); }),
             MenuEntry::separator(QStringLiteral("mFileBar2")),
             MenuEntry(
                 QStringLiteral("mFileQuit"), QStringLiteral("退出(&Q)"), [this] { close(); },
                 QStringLiteral("Ctrl+Q")),
         }},
        edit_->menu(),
        shell::toolsMenu(QStringLiteral("mToobHt"), QStringLiteral("mnuTool")),
        shell::helpMenu([this] { shell::Windows::instance().open(QStringLiteral("frmHelpAbout"), this); }),
    };
    menus_ = shell::buildMenuBar(static_cast<QMenuBar*>(menuHost), defs, this);
    // The designer opens with cut, copy, paste and delete greyed.
    edit_->attach(menus_, shell::EditMenu::Start::Disabled);
}

void frmJiaoAn::say(const shell::Outcome& o) {
    shell::MessageBox::showAll(this, o.messages);
}

// --- the reference ---

void frmJiaoAn::BuildLessonTree() {
    shell::Tree tree;
    const shell::Outcome built = lessons::BuildLessonTree(library_, cobOpenText_->currentText(), &tree);
    tvwClass_->setTree(tree);
    if (!built) QTimer::singleShot(0, this, [this, built] { say(built); });
}

void frmJiaoAn::subjectTextChanged(const QString& text) {
    // Only one of the eight subjects rebuilds the tree; other text is left.
    if (!library_.SubjectTable(text)) return;
    BuildLessonTree();
}

void frmJiaoAn::nodeClicked(const QString& text) {
    clickedText_ = text;
    const QString title = QStringLiteral("《") + text + QStringLiteral("》__教案参考");
    labKT_[0]->setText(title);
    labKT_[1]->setText(title);
}

void frmJiaoAn::nodeDoubleClicked() {
    Reference ref;
    const shell::Outcome found = library_.FindReference(clickedText_, &ref);
    if (!found) return say(found);
    if (!ref.found) return; // a root or volume node names no plan
    ricJAoldText_[0]->setPlainText(ref.text);
    if (!ref.analysis.isEmpty()) ricJAoldText_[1]->setPlainText(ref.analysis);
    if (!ref.address.isEmpty()) Text1_->setText(ref.address);
}

void frmJiaoAn::referenceMode() {
    fraEditor_->hide();
    fraTree_->show();
    fraView_->show();
    cobOpenText_->show();
    labOpenText_->show();
    library_.SubjectTable(cobOpenText_->currentText());
    BuildLessonTree();
}

void frmJiaoAn::libraryMode() {
    fraTree_->hide();
    fraView_->hide();
    cobOpenText_->hide();
    labOpenText_->hide();
    fraEditor_->show();
}

void frmJiaoAn::openCourseware() {
    const QString address = Text1_->text();
    if (address.isEmpty()) return;
    // A stored address is never started as a program without asking.
    const shell::OpenTarget target = shell::classifyAddress(address);
    bool consented = false;
    if (target.needsConsent()) {
        consented = shell::MessageBox::ask(this, target.question());
        if (!consented) return;
    }
    const shell::Outcome opened = shell::openTarget(target, consented);
    if (!opened) say(opened);
}

void frmJiaoAn::tick() {
    // The first tick after load leaves the label as it is; then a cycle of
    // six: green " 看", " 看课", " 看课件", orange the same.
    if (++step_ < 2) return;
    const int phase = (step_ - 2) % 6;
    static const QString texts[] = {QStringLiteral(" 看"), QStringLiteral(" 看课"),
                                    QStringLiteral(" 看课件")};
    if (phase == 0)
        labViewKj_->setStyleSheet(
            QStringLiteral("background: #20365c; color: rgb(128,255,128); padding: 2px 6px;"));
    else if (phase == 3)
        labViewKj_->setStyleSheet(
            QStringLiteral("background: #20365c; color: rgb(255,128,0); padding: 2px 6px;"));
    labViewKj_->setText(texts[phase % 3]);
}

bool frmJiaoAn::eventFilter(QObject* watched, QEvent* event) {
    if (watched == labViewKj_ && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        openCourseware();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

// --- the teacher's plan ---

void frmJiaoAn::replacePlan(const QString& text) {
    loading_ = true;
    // A plan from a file or a new one starts a fresh document: nothing to
    // undo back to, and the caret at the start. The box's own setter places
    // the caret without laying the whole text out first, which is what
    // keeps a large file quick to open.
    ricJAnewText_->setPlainText(text);
    loading_ = false;
}

void frmJiaoAn::newFile() {
    // An unchanged plan stays as it is.
    if (!modified_) return;
    // Yes with a cancelled or failed save keeps the text.
    if (!shell::mayDiscard(this, QString(), modified_, [this] { return saveFile(); })) return;
    replacePlan(QString());
    // A new plan has no file yet, so its first Save asks for one rather
    // than writing over the plan that was open before.
    fileName_.clear();
    modified_ = false;
}

void frmJiaoAn::openFile() {
    if (!shell::mayDiscard(this, QString(), modified_, [this] { return saveFile(); })) return;
    const QString path = shell::FileDialog::getOpenFileName(
        this, QStringLiteral("打开"), {}, shell::qtFileFilters(kTextFilter).join(QStringLiteral(";;")));
    if (path.isEmpty()) return;
    QString text;
    const shell::Outcome read = readPlanFile(path, &text);
    if (!read) return say(read);
    replacePlan(text);
    fileName_ = path;
    modified_ = false;
}

bool frmJiaoAn::saveFile() {
    if (fileName_.isEmpty()) return saveFileAs();
    const shell::Outcome saved = article_->savePlainText(fileName_);
    if (!saved) {
        say(saved);
        modified_ = true;
        return false;
    }
    modified_ = false;
    return true;
}

bool frmJiaoAn::saveFileAs() {
    const QString path = shell::FileDialog::getSaveFileName(
        this, kBlankTitle, fileName_.isEmpty() ? planTitle() + QStringLiteral(".txt") : fileName_,
        shell::qtFileFilters(kTextFilter).join(QStringLiteral(";;")));
    if (path.isEmpty()) {
        modified_ = true;
        return false;
    }
    const shell::Outcome saved = article_->savePlainText(path);
    if (!saved) {
        say(saved);
        modified_ = true;
        return false;
    }
    fileName_ = path;
    modified_ = false;
    return true;
}

void frmJiaoAn::exportFile() {
    // The helper tells the teacher about a file it could not write; the
    // plan's own file and flag are not the export's business.
    shell::exportTextAsRtf(this, kBlankTitle, shell::kDocExportFilter, article_->text(), 0, planTitle());
}

QString frmJiaoAn::planTitle() const {
    // The plan's first line with words in it names it ("第一课　春天教案").
    const QStringList lines = article_->text().split(u'\n');
    for (const QString& line : lines) {
        const QString t = line.trimmed();
        if (!t.isEmpty()) return t.left(30);
    }
    return QStringLiteral("教案");
}

void frmJiaoAn::printFile() {
    shell::PrintViaWord(article_->text(), this);
}

void frmJiaoAn::closeEvent(QCloseEvent* event) {
    // Yes with a cancelled or failed save keeps the window and the text; the
    // program's exit stops there as for any window that stays.
    if (!shell::mayDiscard(this, windowTitle(), modified_, [this] { return saveFile(); })) {
        event->ignore();
        return;
    }
    Timer1_->stop();
    event->accept();
}

} // namespace lessons
