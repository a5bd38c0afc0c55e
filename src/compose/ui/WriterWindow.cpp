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
    Label1_ = new QLabel(QStringLiteral("选择模式"), composePanel_);
    Label1_->setObjectName(QStringLiteral("Label1"));
    Label1_->setAlignment(Qt::AlignCenter);
    QFont big = Label1_->font();
    big.setBold(true);
    Label1_->setFont(big);
    composeLayout_->addWidget(Label1_);
    tvwMode_ = new shell::TreeView(composePanel_);
    tvwMode_->setObjectName(QStringLiteral("tvwMode"));
    composeLayout_->addWidget(tvwMode_, 1);
    body_->addWidget(composePanel_);

    ric_ = new QTextEdit(composing);
    ric_->setObjectName(names_.article);
    ric_->setDocument(article_.document());
    // Pastes and drops bring text only, in the article's own font.
    ric_->setAcceptRichText(false);
    QFont songti(QStringLiteral("宋体"));
    songti.setPointSize(12);
    ric_->document()->setDefaultFont(songti);
    body_->addWidget(ric_, 1);
    pages_->addWidget(composing);

    txtDL_ = new QPlainTextEdit(this);
    txtDL_->setObjectName(QStringLiteral("txtDL"));
    txtDL_->hide();

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
    if (lists_.size() <= index) lists_.resize(index + 1);
    lists_[index] = list;
    return list;
}

QPushButton* WriterWindow::addStageButton(int index, const QString& caption) {
    auto* b = new QPushButton(caption, composePanel_);
    b->setObjectName(indexed(QStringLiteral("cmdBack"), index));
    b->hide();
    b->setEnabled(index == 0);
    if (buttons_.size() <= index) buttons_.resize(index + 1);
    buttons_[index] = b;
    // Each pair on one row, the back button on the left.
    if (index % 2 == 1) {
        auto* row = new QHBoxLayout;
        row->addWidget(buttons_[index - 1]);
        row->addWidget(b);
        composeLayout_->addLayout(row);
    }
    return b;
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
    QTextCursor c = ric_->textCursor();
    c.movePosition(QTextCursor::End);
    ric_->setTextCursor(c);
    ric_->setFocus();
}

// --- menus and output ---

void WriterWindow::buildMenus() {
    edit_ = new shell::EditMenu(ric_, this);
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
    const QStringList labels{QStringLiteral("语库："), QStringLiteral("类型："), QStringLiteral("请选编号："),
                             QStringLiteral("月"),     QStringLiteral("周"),     QStringLiteral("标题：")};
    for (int i = 0; i < 6; ++i) {
        labAddText_[i] = new QLabel(labels[i], editorPanel_);
        labAddText_[i]->setObjectName(indexed(QStringLiteral("labAddText"), i));
    }
    for (int i = 0; i < 2; ++i) {
        cobAddText_[i] = new QComboBox(editorPanel_);
        cobAddText_[i]->setObjectName(indexed(QStringLiteral("cobAddText"), i));
        cobAddText_[i]->setEditable(true);
        cobAddText_[i]->setMinimumWidth(140);
    }
    cobAddText_[0]->addItems(LibraryEditor::libraryNames());
    cobAddText_[0]->setCurrentText(QStringLiteral("开头语句"));
    cobAddText_[1]->hide();
    labAddText_[1]->hide();
    for (int i = 0; i < 3; ++i) {
        txtMW_[i] = new QLineEdit(i < 2 ? QStringLiteral("1") : QString(), editorPanel_);
        txtMW_[i]->setObjectName(indexed(QStringLiteral("txtMW"), i));
    }
    txtMW_[0]->setMaximumWidth(48);
    txtMW_[1]->setMaximumWidth(48);
    for (QWidget* w : {static_cast<QWidget*>(txtMW_[0]), static_cast<QWidget*>(txtMW_[1]),
                       static_cast<QWidget*>(labAddText_[3]), static_cast<QWidget*>(labAddText_[4])})
        w->hide();
    txtAdd_ = new QTextEdit(editorPanel_);
    txtAdd_->setObjectName(names_.editorText);
    txtAdd_->setAcceptRichText(false);
    txtAdd_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    grid_ = new shell::NumberGrid(editorPanel_);
    grid_->setObjectName(names_.editorGrid);
    grid_->setFixedWidth(110);
    labNumber_ = new QLabel(QStringLiteral("xxx编号xxx"), editorPanel_);
    labNumber_->setObjectName(QStringLiteral("labNumber"));
    const QStringList captions{QStringLiteral("清除"), QStringLiteral("添加"), QStringLiteral("更新")};
    for (int i = 0; i < 3; ++i) {
        cmdAddText_[i] = new QPushButton(captions[i], editorPanel_);
        cmdAddText_[i]->setObjectName(indexed(QStringLiteral("cmdAddText"), i));
    }
    cmdAddBack_ = new QPushButton(QStringLiteral("返回"), editorPanel_);
    cmdAddBack_->setObjectName(QStringLiteral("cmdAddBack"));

    auto* top = new QHBoxLayout;
    top->addWidget(labAddText_[0]);
    top->addWidget(cobAddText_[0]);
    top->addSpacing(12);
    top->addWidget(labAddText_[1]);
    top->addWidget(cobAddText_[1]);
    top->addSpacing(12);
    top->addWidget(txtMW_[0]);
    top->addWidget(labAddText_[3]);
    top->addWidget(txtMW_[1]);
    top->addWidget(labAddText_[4]);
    top->addStretch();
    grid->addLayout(top, 0, 0, 1, 2);
    auto* titleRow = new QHBoxLayout;
    titleRow->addWidget(labAddText_[5]);
    titleRow->addWidget(txtMW_[2], 1);
    grid->addLayout(titleRow, 1, 0);
    grid->addWidget(txtAdd_, 2, 0);
    auto* side = new QVBoxLayout;
    side->addWidget(grid_, 1);
    side->addWidget(labAddText_[2]);
    side->addWidget(labNumber_);
    grid->addLayout(side, 1, 1, 2, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (auto* b : cmdAddText_)
        buttons->addWidget(b);
    buttons->addSpacing(24);
    buttons->addWidget(cmdAddBack_);
    grid->addLayout(buttons, 3, 0, 1, 2);
    grid->setColumnStretch(0, 1);
    grid->setRowStretch(2, 1);

    // The library and type boxes take what the teacher picks from their
    // lists or types and leaves with Enter or the focus, not every keystroke.
    connect(cobAddText_[0], &QComboBox::activated, this, [this] { SelectLibrary(); });
    connect(cobAddText_[0]->lineEdit(), &QLineEdit::editingFinished, this, [this] {
        if (cobAddText_[0]->currentText().trimmed() != editor_.libraryName()) SelectLibrary();
    });
    connect(cobAddText_[1], &QComboBox::activated, this, [this] { FillLibraryGrid(); });
    connect(cobAddText_[1]->lineEdit(), &QLineEdit::editingFinished, this, [this] { FillLibraryGrid(); });
    connect(grid_, &shell::NumberGrid::numberPicked, this,
            [this](int, const QString& n) { LoadLibraryRow(n); });
    connect(cmdAddText_[0], &QPushButton::clicked, this, [this] { clearStatement(); });
    connect(cmdAddText_[1], &QPushButton::clicked, this, [this] { AddStatement(); });
    connect(cmdAddText_[2], &QPushButton::clicked, this, [this] { UpdateStatement(); });
    connect(cmdAddBack_, &QPushButton::clicked, this, [this] { showEditor(false); });
    if (writer_ == Writer::Plan) {
        for (int i = 0; i < 2; ++i)
            connect(txtMW_[i], &QLineEdit::textChanged, this, [this, i](const QString& text) {
                const shell::Outcome o = i == 0 ? LibraryEditor::checkMonth(text, nullptr)
                                                : LibraryEditor::checkWeek(text, nullptr);
                if (o) return;
                tell(o);
                txtMW_[i]->setText(QStringLiteral("1"));
            });
    }
}

void WriterWindow::tell(const shell::Outcome& o) {
    shell::MessageBox::showAll(this, o.messages);
}

void WriterWindow::showEditor(bool on) {
    pages_->setCurrentIndex(on ? 1 : 0);
    if (!on) composingShown();
}

void WriterWindow::SelectLibrary() {
    const shell::Outcome o = editor_.selectLibrary(cobAddText_[0]->currentText());
    if (!o) {
        tell(o);
        return;
    }
    cobAddText_[1]->show();
    labAddText_[1]->show();
    cobAddText_[1]->clear();
    const QStringList types = editor_.types();
    cobAddText_[1]->addItems(types);
    // As though each type had been chosen in turn: the last one stays.
    cobAddText_[1]->setCurrentIndex(int(types.size()) - 1);
    FillLibraryGrid();
}

void WriterWindow::editorTypeChosen(const QString& typeName) {
    if (writer_ != Writer::Plan) return;
    const bool outline = typeName == u"纲要型" || typeName == u"阐述型";
    const bool middle = editor_.libTable() == u"jhMidData";
    QWidget* boxes[] = {txtMW_[0], txtMW_[1], labAddText_[3], labAddText_[4]};
    for (QWidget* w : boxes) {
        if (!outline)
            w->hide();
        else if (middle)
            w->show();
    }
}

void WriterWindow::FillLibraryGrid() {
    const QString type = cobAddText_[1]->currentText().trimmed();
    editorTypeChosen(type);
    editor_.selectType(type);
    typeCode_ = editor_.typeCode();
    grid_->setGrid(editor_.grid());
}

void WriterWindow::LoadLibraryRow(const QString& number) {
    labNumber_->setText(number);
    const auto picked = editor_.pick(number);
    if (!picked) return;
    txtMW_[2]->setText(picked->title);
    txtAdd_->setPlainText(picked->text);
    if (picked->month) txtMW_[0]->setText(QString::number(*picked->month));
    if (picked->week) txtMW_[1]->setText(QString::number(*picked->week));
}

void WriterWindow::AddStatement() {
    const QString type = editor_.libTable().isEmpty() ? QString() : cobAddText_[1]->currentText();
    const shell::Outcome o =
        editor_.add(type, txtMW_[2]->text(), txtAdd_->toPlainText(), txtMW_[0]->text(), txtMW_[1]->text());
    tell(o);
    if (o) grid_->setGrid(editor_.grid());
}

void WriterWindow::UpdateStatement() {
    const shell::Outcome o = editor_.update(txtMW_[2]->text(), txtAdd_->toPlainText());
    tell(o);
    if (o)
        grid_->setGrid(editor_.grid());
    else if (o.reason == shell::Reason::Exists)
        txtMW_[2]->setFocus();
}

void WriterWindow::clearStatement() {
    if (writer_ == Writer::Summary) {
        const shell::Outcome o = editor_.checkTitleLength(txtMW_[2]->text());
        if (!o && o.reason == shell::Reason::Invalid) {
            tell(o);
            return;
        }
    }
    txtAdd_->clear();
}

QString WriterWindow::currentParagraph() const {
    return txtDL_->toPlainText();
}

void WriterWindow::setCurrentParagraph(const QString& t) {
    txtDL_->setPlainText(t);
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
