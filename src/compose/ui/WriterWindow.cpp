#include "WriterWindow.h"

#include "shell/Windows.h"
#include "shell/ui/DocServices.h"
#include "shell/ui/EditMenu.h"
#include "shell/ui/FileDialog.h"
#include "shell/ui/MessageBox.h"
#include "shell/ui/NumberGrid.h"
#include "shell/ui/RtfExport.h"
#include "shell/ui/StandardMenus.h"
#include "shell/ui/TreeView.h"
#include "shell/ui/UnsavedQuestion.h"
#include "shell/windows/frmViewText.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTextEdit>
#include <QVBoxLayout>

namespace compose {

namespace {
const QStringList& stepCaptions() {
    static const QStringList c{QStringLiteral("选择模式 "), QStringLiteral("编写开头"),
                               QStringLiteral("编写中段"),  QStringLiteral("编写结尾"),
                               QStringLiteral("修改文本"),  QStringLiteral("生成文章")};
    return c;
}

// The step pictures: a numbered disc, blue when it is the step the teacher
// is at.
QPixmap stepPicture(int n, bool highlighted) {
    const qreal dpr = 2;
    QPixmap pm(QSize(30, 30) * dpr);
    pm.setDevicePixelRatio(dpr);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(highlighted ? QColor(40, 70, 160) : QColor(150, 150, 150), 1.5));
    p.setBrush(highlighted ? QColor(100, 135, 220) : QColor(235, 235, 235));
    p.drawEllipse(QRectF(2, 2, 26, 26));
    p.setPen(highlighted ? Qt::white : QColor(90, 90, 90));
    QFont f = p.font();
    f.setBold(true);
    f.setPixelSize(14);
    p.setFont(f);
    p.drawText(QRectF(0, 0, 30, 30), Qt::AlignCenter, QString::number(n + 1));
    return pm;
}

QString indexed(const QString& name, int i) {
    return QStringLiteral("%1(%2)").arg(name).arg(i);
}
} // namespace

WriterWindow::WriterWindow(Writer writer, Names names, QWidget* parent)
    : QMainWindow(parent), writer_(writer), names_(std::move(names)), library_(writer), editor_(writer) {
    setObjectName(names_.window);
    setWindowTitle(shell::Windows::caption(names_.window));
    setAttribute(Qt::WA_DeleteOnClose);

    auto* central = new QWidget(this);
    auto* outer = new QVBoxLayout(central);
    outer->setContentsMargins(6, 4, 6, 6);
    outer->setSpacing(4);
    buildStepStrip();
    outer->addWidget(stepStrip_);
    auto* line = new QFrame(central);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    outer->addWidget(line);

    pages_ = new QStackedWidget(central);
    auto* composing = new QWidget(pages_);
    body_ = new QHBoxLayout(composing);
    body_->setContentsMargins(0, 0, 0, 0);
    composePanel_ = new QFrame(composing);
    composePanel_->setObjectName(names_.composePanel);
    composePanel_->setFixedWidth(200);
    composeLayout_ = new QVBoxLayout(composePanel_);
    composeLayout_->setContentsMargins(0, 0, 0, 0);
    modeLabel_ = new QLabel(QStringLiteral("选择模式"), composePanel_);
    modeLabel_->setObjectName(QStringLiteral("Label1"));
    modeLabel_->setAlignment(Qt::AlignCenter);
    QFont big = modeLabel_->font();
    big.setBold(true);
    modeLabel_->setFont(big);
    composeLayout_->addWidget(modeLabel_);
    modeTree_ = new shell::TreeView(composePanel_);
    modeTree_->setObjectName(QStringLiteral("tvwMode"));
    composeLayout_->addWidget(modeTree_, 1);
    body_->addWidget(composePanel_);

    articleBox_ = new QTextEdit(composing);
    articleBox_->setObjectName(names_.article);
    articleBox_->setDocument(article_.document());
    // Pastes and drops bring text only, in the article's own font.
    articleBox_->setAcceptRichText(false);
    QFont songti(QStringLiteral("宋体"));
    songti.setPointSize(12);
    articleBox_->document()->setDefaultFont(songti);
    body_->addWidget(articleBox_, 1);
    pages_->addWidget(composing);

    paragraphBox_ = new QPlainTextEdit(this);
    paragraphBox_->setObjectName(QStringLiteral("txtDL"));
    paragraphBox_->hide();

    buildEditor();
    pages_->addWidget(editorPanel_);
    outer->addWidget(pages_, 1);
    setCentralWidget(central);
    buildMenus();
}

WriterWindow::~WriterWindow() {
    closePreview();
}

void WriterWindow::buildStepStrip() {
    stepStrip_ = new QWidget(this);
    auto* row = new QHBoxLayout(stepStrip_);
    row->setContentsMargins(4, 2, 4, 2);
    for (int i = 0; i < 6; ++i) {
        auto* pic = new QLabel(stepStrip_);
        pic->setObjectName(indexed(QStringLiteral("imgViewGC"), i));
        pic->setPixmap(stepPicture(i, false));
        pic->setCursor(Qt::PointingHandCursor);
        pic->installEventFilter(this);
        auto* lab = new QLabel(stepCaptions()[i], stepStrip_);
        lab->setObjectName(indexed(QStringLiteral("labGCtext"), i));
        lab->setCursor(Qt::PointingHandCursor);
        lab->installEventFilter(this);
        row->addWidget(pic);
        row->addWidget(lab);
        if (i < 5) {
            auto* arrow = new QLabel(QStringLiteral("→"), stepStrip_);
            arrow->setStyleSheet(QStringLiteral("color: #808080"));
            row->addSpacing(6);
            row->addWidget(arrow);
            row->addSpacing(6);
        }
        stepPictures_ << pic;
        stepLabels_ << lab;
    }
    row->addStretch();
}

void WriterWindow::HighlightStep(int n) {
    step_ = n;
    for (int i = 0; i < stepPictures_.size(); ++i) {
        stepPictures_[i]->setPixmap(stepPicture(i, i == n));
        QFont f = stepLabels_[i]->font();
        f.setBold(i == n);
        stepLabels_[i]->setFont(f);
    }
}

bool WriterWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease) {
        for (int i = 0; i < 6; ++i)
            if (watched == stepPictures_.value(i) || watched == stepLabels_.value(i)) {
                stepClicked(i);
                return true;
            }
    }
    return QMainWindow::eventFilter(watched, event);
}

QListWidget* WriterWindow::addList(int index, const QString& tip) {
    auto* list = new QListWidget(composePanel_);
    list->setObjectName(indexed(QStringLiteral("ListJHBT"), index));
    if (!tip.isEmpty()) list->setToolTip(tip);
    list->hide();
    composeLayout_->addWidget(list, 1);
    return list;
}

QPushButton* WriterWindow::addStageButton(int index, const QString& caption) {
    auto* b = new QPushButton(caption, composePanel_);
    b->setObjectName(indexed(QStringLiteral("cmdBack"), index));
    b->hide();
    b->setEnabled(index == 0);
    return b;
}

void WriterWindow::connectList(QListWidget* list, std::function<void()> clicked,
                               std::function<void()> doubleClicked) {
    connect(list, &QListWidget::itemClicked, this, std::move(clicked));
    connect(list, &QListWidget::itemDoubleClicked, this, std::move(doubleClicked));
}

QList<QListWidget*> WriterWindow::buildStages(const QString& middleTip, int extraLists) {
    opening_.list = addList(0);
    middle_.list = addList(1, middleTip);
    ending_.list = addList(2);
    QList<QListWidget*> extra;
    for (int i = 0; i < extraLists; ++i)
        extra << addList(3 + i);
    const auto pair = [this](StageControls& s, int back, const QString& backCaption,
                             const QString& nextCaption) {
        s.back = addStageButton(back, backCaption);
        s.next = addStageButton(back + 1, nextCaption);
        // Each pair on one row, the back button on the left.
        auto* row = new QHBoxLayout;
        row->addWidget(s.back);
        row->addWidget(s.next);
        composeLayout_->addLayout(row);
    };
    pair(opening_, 0, QStringLiteral("返回模式"), QStringLiteral("进入中段"));
    pair(middle_, 2, QStringLiteral("返回开头"), QStringLiteral("进入结尾"));
    pair(ending_, 4, QStringLiteral("返回中段"), QStringLiteral("进入修改"));

    const struct {
        StageControls* controls;
        Stage stage;
    } stages[] = {{&opening_, Stage::Start}, {&middle_, Stage::Middle}, {&ending_, Stage::End}};
    for (const auto& [controls, stage] : stages) {
        const StageControls* c = controls;
        const Stage st = stage;
        connectList(
            c->list, [this, c, st] { itemClicked(*c, st); }, [this, c, st] { itemDoubleClicked(*c, st); });
    }
    connect(opening_.back, &QPushButton::clicked, this, [this] {
        hideStage(opening_);
        modeTree_->show();
        HighlightStep(0);
    });
    connect(opening_.next, &QPushButton::clicked, this, [this] { acceptOpening(currentParagraph()); });
    connect(middle_.back, &QPushButton::clicked, this, &WriterWindow::backToOpening);
    connect(middle_.next, &QPushButton::clicked, this, &WriterWindow::goToEnding);
    connect(ending_.back, &QPushButton::clicked, this, [this] {
        hideStage(ending_);
        showMiddleStage(false);
        HighlightStep(2);
    });
    connect(ending_.next, &QPushButton::clicked, this, [this] {
        enterEditStep();
        closePreview();
    });
    return extra;
}

void WriterWindow::setModeTree(const shell::Tree& tree) {
    modeTree_->setTree(tree);
    connect(modeTree_, &shell::TreeView::nodeClicked, this, &WriterWindow::nodeClicked);
    connect(modeTree_, &shell::TreeView::nodeDoubleClicked, this,
            [this](const QString& key, const QString& text) {
                nodeClicked(key, text);
                startOpening();
            });
}

void WriterWindow::showStage(const StageControls& s, bool entering) {
    s.list->show();
    s.back->show();
    s.next->show();
    if (entering) {
        s.back->setEnabled(true);
        s.next->setEnabled(false);
    }
}

void WriterWindow::hideStage(const StageControls& s) {
    s.list->hide();
    s.back->hide();
    s.next->hide();
}

void WriterWindow::startOpening() {
    if (!nodeStartsOpening()) return;
    opening_.list->clear();
    opening_.list->addItems(library_.titles(Stage::Start, categories(Stage::Start)));
    modeLabel_->setText(modeText_);
    showStage(opening_, true);
    modeTree_->hide();
    HighlightStep(1);
}

void WriterWindow::itemClicked(const StageControls& s, Stage stage) {
    QListWidgetItem* item = s.list->currentItem();
    if (!item) return;
    showPreview({});
    if (const auto t = library_.find(stage, item->text())) {
        showPreview(*t);
        setCurrentParagraph(*t);
        if (stage == Stage::Middle) currentHeading_ = statementHeading(item->text());
    }
    s.next->setEnabled(true);
}

void WriterWindow::itemDoubleClicked(const StageControls& s, Stage stage) {
    QListWidgetItem* item = s.list->currentItem();
    if (!item) return;
    switch (stage) {
    case Stage::Start:
        // The preview holds the opening the click found.
        acceptOpening(library_.find(Stage::Start, item->text()).value_or(QString()));
        return;
    case Stage::Middle:
        placeMiddle(currentHeading_, currentParagraph());
        break;
    case Stage::End:
        placeEnding(currentParagraph());
        enterEditStep();
        break;
    }
    closePreview();
}

void WriterWindow::acceptOpening(const QString& text) {
    hideStage(opening_);
    HighlightStep(2);
    showMiddleStage(true);
    LoadMiddleList();
    placeOpening(text);
    closePreview();
}

void WriterWindow::showMiddleStage(bool entering) {
    showStage(middleStage(), entering);
    if (entering) showTimePanel(true);
}

void WriterWindow::backToOpening() {
    for (const StageControls& s : middleStages())
        hideStage(s);
    showStage(opening_, false);
    showTimePanel(false);
    HighlightStep(1);
    closePreview();
}

void WriterWindow::goToEnding() {
    // A month or week panel stays beside the article while the ending is
    // chosen.
    for (const StageControls& s : middleStages())
        hideStage(s);
    showStage(ending_, true);
    HighlightStep(3);
    LoadEndingList();
    closePreview();
}

void WriterWindow::LoadMiddleList() {
    for (const StageControls& s : middleStages())
        s.list->clear();
    middleStage().list->addItems(library_.titles(Stage::Middle, categories(Stage::Middle)));
}

void WriterWindow::LoadEndingList() {
    ending_.list->clear();
    ending_.list->addItems(library_.titles(Stage::End, categories(Stage::End)));
}

void WriterWindow::enterEditStep() {
    showTimePanel(false);
    hideStage(ending_);
    doneMark_->show();
    HighlightStep(4);
}

void WriterWindow::stepClicked(int n) {
    if (n >= 1 && n <= 3) return;
    HighlightStep(n);
    if (n == 0) {
        modeTree_->show();
        doneMark_->hide();
        showTimePanel(false);
        hideStage(opening_);
        for (const StageControls& s : middleStages())
            hideStage(s);
        hideStage(ending_);
    } else if (n == 5) {
        ExportArticle();
        HighlightStep(4);
    }
}

void WriterWindow::showPreview(const QString& text) {
    auto* w = qobject_cast<shell::frmViewText*>(
        shell::Windows::instance().open(QStringLiteral("frmViewText"), this));
    if (w) w->setText(text);
    // The teacher goes on choosing in this window.
    activateWindow();
}

void WriterWindow::closePreview() {
    auto& windows = shell::Windows::instance();
    if (windows.find(QStringLiteral("frmViewText"))) windows.unload(QStringLiteral("frmViewText"));
}

void WriterWindow::replaceArticle(const QString& text) {
    article_.replaceAll(text);
    QTextCursor c = articleBox_->textCursor();
    c.movePosition(QTextCursor::End);
    articleBox_->setTextCursor(c);
    articleBox_->setFocus();
}

// --- menus and output ---

void WriterWindow::buildMenus() {
    edit_ = new shell::EditMenu(articleBox_, this);
    const QList<shell::MenuDef> defs{
        {QStringLiteral("mnuFile"),
         QStringLiteral("文件(&F)"),
         {{QStringLiteral("mFileOut"), names_.exportCaption, [this] { ExportArticle(); },
           QStringLiteral("Ctrl+S")},
          {QStringLiteral("mFilePrint"), names_.printCaption,
           [this] { shell::PrintViaWord(article_.text(), this); }, QStringLiteral("Ctrl+P")},
          shell::MenuEntry::separator(QStringLiteral("mFileBar1")),
          {QStringLiteral("mFileExit"), QStringLiteral("退出系统(&X)"), [this] { close(); },
           QStringLiteral("Ctrl+Q")}}},
        edit_->menu(),
        shell::toolsMenu(names_.firstTool),
        {names_.windowMenu,
         QStringLiteral("窗口(&W)"),
         {{QStringLiteral("mWindowAdd"), QStringLiteral("修改语库(&A)"), [this] { showEditor(true); }},
          {QStringLiteral("mWindowEdit"), names_.writeCaption, [this] { showEditor(false); }}}},
        shell::helpMenu([this] { shell::Windows::instance().open(QStringLiteral("frmHelpAbout"), this); }),
    };
    menus_ = shell::buildMenuBar(menuBar(), defs, this);
    // The summary writer opens with cut, copy, paste and delete greyed; the
    // plan writer shows at once what the article and the clipboard allow.
    edit_->attach(menus_, writer_ == Writer::Summary ? shell::EditMenu::Start::Disabled
                                                     : shell::EditMenu::Start::FromState);
}

bool WriterWindow::ExportArticle() {
    const shell::Outcome o = shell::exportDocument(this, QStringLiteral("  "), shell::kDocTxtExportFilter,
                                                   article_.toRtf(), article_.text(), 2, documentName());
    if (o) article_.setModified(false);
    return o.ok;
}

bool WriterWindow::saveArticle() {
    QString path = savedPath_;
    if (path.isEmpty())
        path = shell::FileDialog::getSaveFileName(this, QStringLiteral("  "),
                                                  documentName() + QStringLiteral(".txt"),
                                                  QStringLiteral("文本文件(*.txt)"));
    if (path.isEmpty()) return false;
    const shell::Outcome o = article_.savePlainText(path);
    if (!o) {
        shell::MessageBox::showAll(this, o.messages);
        return false;
    }
    savedPath_ = path;
    article_.setModified(false);
    return true;
}

QString WriterWindow::documentName() const {
    return writer_ == Writer::Plan ? QStringLiteral("开学计划") : QStringLiteral("期末总结");
}

void WriterWindow::closeEvent(QCloseEvent* e) {
    if (!shell::mayDiscard(this, windowTitle(), article_.isModified(), [this] { return saveArticle(); })) {
        e->ignore();
        return;
    }
    closePreview();
    e->accept();
}

// --- library editor ---

void WriterWindow::buildEditor() {
    editorPanel_ = new QFrame(this);
    editorPanel_->setObjectName(names_.editorPanel);
    auto* grid = new QGridLayout(editorPanel_);
    grid->setContentsMargins(12, 8, 12, 8);
    const auto label = [this](int index, const QString& caption) {
        auto* l = new QLabel(caption, editorPanel_);
        l->setObjectName(indexed(QStringLiteral("labAddText"), index));
        return l;
    };
    libraryLabel_ = label(0, QStringLiteral("语库："));
    typeLabel_ = label(1, QStringLiteral("类型："));
    pickCaption_ = label(2, QStringLiteral("请选编号："));
    monthLabel_ = label(3, QStringLiteral("月"));
    weekLabel_ = label(4, QStringLiteral("周"));
    titleLabel_ = label(5, QStringLiteral("标题："));
    const auto comboBox = [this](int index) {
        auto* box = new QComboBox(editorPanel_);
        box->setObjectName(indexed(QStringLiteral("cobAddText"), index));
        box->setEditable(true);
        box->setMinimumWidth(140);
        return box;
    };
    libraryBox_ = comboBox(0);
    typeBox_ = comboBox(1);
    libraryBox_->addItems(LibraryEditor::libraryNames());
    libraryBox_->setCurrentText(QStringLiteral("开头语句"));
    typeBox_->hide();
    typeLabel_->hide();
    const auto lineBox = [this](int index, const QString& text) {
        auto* box = new QLineEdit(text, editorPanel_);
        box->setObjectName(indexed(QStringLiteral("txtMW"), index));
        return box;
    };
    monthBox_ = lineBox(0, QStringLiteral("1"));
    weekBox_ = lineBox(1, QStringLiteral("1"));
    titleBox_ = lineBox(2, QString());
    monthBox_->setMaximumWidth(48);
    weekBox_->setMaximumWidth(48);
    for (QWidget* w : std::initializer_list<QWidget*>{monthBox_, weekBox_, monthLabel_, weekLabel_})
        w->hide();
    textBox_ = new QTextEdit(editorPanel_);
    textBox_->setObjectName(names_.editorText);
    textBox_->setAcceptRichText(false);
    textBox_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    numberGrid_ = new shell::NumberGrid(editorPanel_);
    numberGrid_->setObjectName(names_.editorGrid);
    numberGrid_->setFixedWidth(110);
    pickedNumber_ = new QLabel(QStringLiteral("xxx编号xxx"), editorPanel_);
    pickedNumber_->setObjectName(QStringLiteral("labNumber"));
    const auto button = [this](int index, const QString& caption) {
        auto* b = new QPushButton(caption, editorPanel_);
        b->setObjectName(indexed(QStringLiteral("cmdAddText"), index));
        return b;
    };
    clearButton_ = button(0, QStringLiteral("清除"));
    addButton_ = button(1, QStringLiteral("添加"));
    updateButton_ = button(2, QStringLiteral("更新"));
    backButton_ = new QPushButton(QStringLiteral("返回"), editorPanel_);
    backButton_->setObjectName(QStringLiteral("cmdAddBack"));

    auto* top = new QHBoxLayout;
    top->addWidget(libraryLabel_);
    top->addWidget(libraryBox_);
    top->addSpacing(12);
    top->addWidget(typeLabel_);
    top->addWidget(typeBox_);
    top->addSpacing(12);
    top->addWidget(monthBox_);
    top->addWidget(monthLabel_);
    top->addWidget(weekBox_);
    top->addWidget(weekLabel_);
    top->addStretch();
    grid->addLayout(top, 0, 0, 1, 2);
    auto* titleRow = new QHBoxLayout;
    titleRow->addWidget(titleLabel_);
    titleRow->addWidget(titleBox_, 1);
    grid->addLayout(titleRow, 1, 0);
    grid->addWidget(textBox_, 2, 0);
    auto* side = new QVBoxLayout;
    side->addWidget(numberGrid_, 1);
    side->addWidget(pickCaption_);
    side->addWidget(pickedNumber_);
    grid->addLayout(side, 1, 1, 2, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (auto* b : {clearButton_, addButton_, updateButton_})
        buttons->addWidget(b);
    buttons->addSpacing(24);
    buttons->addWidget(backButton_);
    grid->addLayout(buttons, 3, 0, 1, 2);
    grid->setColumnStretch(0, 1);
    grid->setRowStretch(2, 1);

    // The library and type boxes take what the teacher picks from their
    // lists or types and leaves with Enter or the focus, not every keystroke.
    connect(libraryBox_, &QComboBox::activated, this, [this] { SelectLibrary(); });
    connect(libraryBox_->lineEdit(), &QLineEdit::editingFinished, this, [this] {
        if (libraryBox_->currentText().trimmed() != editor_.libraryName()) SelectLibrary();
    });
    connect(typeBox_, &QComboBox::activated, this, [this] { FillLibraryGrid(); });
    connect(typeBox_->lineEdit(), &QLineEdit::editingFinished, this, [this] { FillLibraryGrid(); });
    connect(numberGrid_, &shell::NumberGrid::numberPicked, this,
            [this](int, const QString& n) { LoadLibraryRow(n); });
    connect(clearButton_, &QPushButton::clicked, this, [this] { clearStatement(); });
    connect(addButton_, &QPushButton::clicked, this, [this] { AddStatement(); });
    connect(updateButton_, &QPushButton::clicked, this, [this] { UpdateStatement(); });
    connect(backButton_, &QPushButton::clicked, this, [this] { showEditor(false); });
    if (writer_ == Writer::Plan) {
        // A month or week out of range is refused as it is typed and the box
        // starts again from 1.
        const auto checked = [this](QLineEdit* box, shell::Outcome (*check)(const QString&, int*)) {
            connect(box, &QLineEdit::textChanged, this, [this, box, check](const QString& text) {
                if (const shell::Outcome o = check(text, nullptr); !o) {
                    tell(o);
                    box->setText(QStringLiteral("1"));
                }
            });
        };
        checked(monthBox_, &LibraryEditor::checkMonth);
        checked(weekBox_, &LibraryEditor::checkWeek);
    }
}

void WriterWindow::tell(const shell::Outcome& o) {
    shell::MessageBox::showAll(this, o.messages);
}

void WriterWindow::showEditor(bool on) {
    pages_->setCurrentIndex(on ? 1 : 0);
    // The month or week panel comes back at the next month or week stage.
    if (!on) showTimePanel(false);
}

void WriterWindow::SelectLibrary() {
    const shell::Outcome o = editor_.selectLibrary(libraryBox_->currentText());
    if (!o) {
        tell(o);
        return;
    }
    typeBox_->show();
    typeLabel_->show();
    typeBox_->clear();
    const QStringList types = editor_.types();
    typeBox_->addItems(types);
    // As though each type had been chosen in turn: the last one stays.
    typeBox_->setCurrentIndex(int(types.size()) - 1);
    FillLibraryGrid();
}

void WriterWindow::showMonthWeekBoxes(const QString& typeName) {
    if (writer_ != Writer::Plan) return;
    const bool outline = typeName == u"纲要型" || typeName == u"阐述型";
    const bool middle = editor_.libTable() == u"jhMidData";
    for (QWidget* w : std::initializer_list<QWidget*>{monthBox_, weekBox_, monthLabel_, weekLabel_}) {
        if (!outline)
            w->hide();
        else if (middle)
            w->show();
    }
}

void WriterWindow::FillLibraryGrid() {
    const QString type = typeBox_->currentText().trimmed();
    showMonthWeekBoxes(type);
    editor_.selectType(type);
    typeCode_ = editor_.typeCode();
    numberGrid_->setGrid(editor_.grid());
}

void WriterWindow::LoadLibraryRow(const QString& number) {
    pickedNumber_->setText(number);
    const auto picked = editor_.pick(number);
    if (!picked) return;
    titleBox_->setText(picked->title);
    textBox_->setPlainText(picked->text);
    if (picked->month) monthBox_->setText(QString::number(*picked->month));
    if (picked->week) weekBox_->setText(QString::number(*picked->week));
}

void WriterWindow::AddStatement() {
    const QString type = editor_.libTable().isEmpty() ? QString() : typeBox_->currentText();
    const shell::Outcome o =
        editor_.add(type, titleBox_->text(), textBox_->toPlainText(), monthBox_->text(), weekBox_->text());
    tell(o);
    if (o) numberGrid_->setGrid(editor_.grid());
}

void WriterWindow::UpdateStatement() {
    const shell::Outcome o = editor_.update(titleBox_->text(), textBox_->toPlainText());
    tell(o);
    if (o)
        numberGrid_->setGrid(editor_.grid());
    else if (o.reason == shell::Reason::Exists)
        titleBox_->setFocus();
}

void WriterWindow::clearStatement() {
    if (writer_ == Writer::Summary) {
        const shell::Outcome o = editor_.checkTitleLength(titleBox_->text());
        if (!o && o.reason == shell::Reason::Invalid) {
            tell(o);
            return;
        }
    }
    textBox_->clear();
}

QString WriterWindow::currentParagraph() const {
    return paragraphBox_->toPlainText();
}

void WriterWindow::setCurrentParagraph(const QString& t) {
    paragraphBox_->setPlainText(t);
}

void WriterWindow::nodeClicked(const QString& key, const QString& text) {
    const QString kind = key.left(2);
    if (kind == u"sw") kindCode_ = QStringLiteral("1");
    if (kind == u"gy") kindCode_ = QStringLiteral("2");
    if (kind == u"cs") kindCode_ = QStringLiteral("3");
    modeKey_ = key;
    modeText_ = text;
    HighlightStep(0);
}

} // namespace compose
