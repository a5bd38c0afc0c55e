#include "frmStudenPY.h"

#include "PhraseEditorPanel.h"
#include "comments/model/CommentExport.h"
#include "shell/Windows.h"
#include "shell/docs/ExportFolder.h"
#include "shell/ui/DocServices.h"
#include "shell/ui/Icons.h"
#include "shell/ui/KeyFilter.h"
#include "shell/ui/MessageBox.h"
#include "shell/ui/RtfExport.h"
#include "shell/ui/StandardMenus.h"
#include "shell/ui/TreeView.h"
#include "shell/ui/UnsavedQuestion.h"
#include "shell/windows/frmViewText.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace comments {

namespace {
const QString kSelf = QStringLiteral("frmStudenPY");
const QString kPreview = QStringLiteral("frmViewText");
const QString kMsgNoWorkbook = QStringLiteral("还没有打开学生评语库，请建立或打开！");
const QString kMsgNothingToPrint = QStringLiteral("这个班级还没有写好的评语可以打印！");

QToolButton* pictureButton(const QString& name, const QString& text, const QString& icon, QWidget* parent) {
    auto* b = new QToolButton(parent);
    b->setObjectName(name);
    b->setText(text);
    b->setToolTip(text);
    b->setIcon(shell::icon(icon));
    b->setIconSize(QSize(24, 24));
    b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    b->setAutoRaise(true);
    return b;
}
// The name box. Qt also reports a typed text that matches an entry as a
// choice from the list (when editing ends); the window tells the two apart
// by whether the teacher typed since the list was last used, and the list
// counts as used when it pops up or is stepped through with the arrows.
class NameBox : public QComboBox {
public:
    NameBox(bool& typed, QWidget* parent) : QComboBox(parent), typed_(typed) {}
    void showPopup() override {
        typed_ = false;
        QComboBox::showPopup();
    }

protected:
    void keyPressEvent(QKeyEvent* e) override {
        if (e->key() == Qt::Key_Up || e->key() == Qt::Key_Down) typed_ = false;
        QComboBox::keyPressEvent(e);
    }

private:
    bool& typed_;
};
} // namespace

frmStudenPY::frmStudenPY(classes::ClassState& classes, QWidget* parent)
    : QMainWindow(parent), classes_(classes), writer_(classes), random_(systemRandom()) {
    setObjectName(kSelf);
    setWindowTitle(shell::Windows::caption(kSelf));

    // A freshly loaded window has no class open, whatever the last one had.
    classes_.close(classes::ClassState::Taker::CommentWorking);
    classes_.close(classes::ClassState::Taker::CommentReference);

    buildMenus();
    auto* central = new QWidget(this);
    setCentralWidget(central);
    auto* outer = new QVBoxLayout(central);
    outer->setContentsMargins(8, 6, 8, 8);
    outer->setSpacing(6);

    // The class and student row.
    studentRow_ = new QWidget(central);
    auto* top = new QHBoxLayout(studentRow_);
    top->setContentsMargins(0, 0, 0, 0);
    imgNewPyFile_ = pictureButton(QStringLiteral("imgNewPyFile"), QStringLiteral("新建班级"),
                                  QStringLiteral("studenBook"), studentRow_);
    imgOpenNewFile_ = pictureButton(QStringLiteral("imgOpenNewFile"), QStringLiteral("打开班级"),
                                    QStringLiteral("viewdetails"), studentRow_);
    labNewClass_ = new QLabel(QStringLiteral("班别"), studentRow_);
    labNewClass_->setObjectName(QStringLiteral("labNewClass"));
    labNewClass_->setMinimumWidth(120);
    cobNewStd_ = new NameBox(nameTyped_, studentRow_);
    cobNewStd_->setObjectName(QStringLiteral("cobNewStd"));
    cobNewStd_->setEditable(true);
    cobNewStd_->setInsertPolicy(QComboBox::NoInsert);
    // No completion: a typed name stays typed (every student of that name)
    // and only a choice from the list is one student's row.
    cobNewStd_->setCompleter(nullptr);
    cobNewStd_->setEditText(QStringLiteral("学生姓名"));
    boxName_ = cobNewStd_->currentText();
    cobNewStd_->setMinimumWidth(150);
    const QString pages[2] = {QStringLiteral("上一个"), QStringLiteral("下一个")};
    for (int i = 0; i < 2; ++i) {
        cmdNamePage_[i] = new QPushButton(pages[i], studentRow_);
        cmdNamePage_[i]->setObjectName(QStringLiteral("cmdNamePage(%1)").arg(i));
        cmdNamePage_[i]->setEnabled(false);
    }
    txtStdBH_ = new QLineEdit(studentRow_);
    txtStdBH_->setObjectName(QStringLiteral("txtStdBH"));
    txtStdBH_->setMaximumWidth(110);
    top->addWidget(imgNewPyFile_);
    top->addWidget(imgOpenNewFile_);
    top->addWidget(labNewClass_);
    top->addSpacing(12);
    top->addWidget(new QLabel(QStringLiteral("姓名："), studentRow_));
    top->addWidget(cobNewStd_);
    top->addWidget(cmdNamePage_[0]);
    top->addWidget(cmdNamePage_[1]);
    top->addSpacing(12);
    top->addWidget(new QLabel(QStringLiteral("学号："), studentRow_));
    top->addWidget(txtStdBH_);
    top->addStretch();
    outer->addWidget(studentRow_);

    writing_ = new QWidget(central);
    buildWritingView(writing_);
    outer->addWidget(writing_, 1);

    // The library editor takes the place of both rows in the editor view.
    fraAddPy_ = new PhraseEditorPanel(central);
    fraAddPy_->hide();
    outer->addWidget(fraAddPy_, 1);
    connect(fraAddPy_, &PhraseEditorPanel::backRequested, this, &frmStudenPY::showWritingView);

    using Purpose = classes::frmOpenDatabase::Purpose;
    connect(imgNewPyFile_, &QToolButton::clicked, this, [this] { openClassFile(Purpose::CommentNew); });
    connect(imgOpenNewFile_, &QToolButton::clicked, this,
            [this] { openClassFile(Purpose::CommentOpenWorking); });
    connect(imgOpenOldFile_, &QToolButton::clicked, this,
            [this] { openClassFile(Purpose::CommentOpenReference); });
    connect(&classes_, &classes::ClassState::classHandedBack, this, &frmStudenPY::classHandedBack);
    // The score manager opened another class as the shared working class:
    // the names and the comment shown here belong to the one before.
    connect(&classes_, &classes::ClassState::workingClassReplaced, this,
            [this](classes::ClassState::Taker by) {
                if (by == classes::ClassState::Taker::Scores) shell::Windows::instance().unload(this);
            });

    connect(cobNewStd_, &QComboBox::activated, this, &frmStudenPY::pickStudent);
    connect(cobNewStd_->lineEdit(), &QLineEdit::returnPressed, this, &frmStudenPY::enterStudent);
    connect(cobNewStd_->lineEdit(), &QLineEdit::textEdited, this, [this](const QString& text) {
        nameTyped_ = true;
        boxName_ = text;
    });
    connect(cmdNamePage_[0], &QPushButton::clicked, this, [this] { stepStudent(-1); });
    connect(cmdNamePage_[1], &QPushButton::clicked, this, [this] { stepStudent(+1); });
    shell::NumberKeyFilter::install(txtStdBH_);
    txtStdBH_->installEventFilter(this);

    // The phrase tree, built once as the window loads.
    if (const shell::Outcome loaded = library_.load(); !loaded) showOutcome(loaded);
    tvwPyData_->setTree(library_.BuildPhraseTree());

    updateOutputEntries();
    resize(900, 620);
    // The window opens at the screen's top left corner.
    move(0, 0);
}

void frmStudenPY::buildMenus() {
    using shell::MenuEntry;
    const QList<shell::MenuDef> menus{
        {QStringLiteral("mnuFile"),
         QStringLiteral("文件(&F)"),
         {
             {QStringLiteral("mFileExcel"), QStringLiteral("生成电子表格(&E)"),
              [this] { exportSpreadsheet(); }},
             {QStringLiteral("mFileOut"), QStringLiteral("导出评语(&O)"), [this] { exportComments(); }},
             {QStringLiteral("mFilePrint"), QStringLiteral("打印评语(&P)"), [this] { printComment(); },
              QStringLiteral("Ctrl+P")},
             {QStringLiteral("mFilePrintAll"), QStringLiteral("打印全班评语(&A)"),
              [this] { printClassComments(); }},
             MenuEntry::separator(QStringLiteral("mFileBar0")),
             {QStringLiteral("mFileExit"), QStringLiteral("退出系统(&X)"), [this] { close(); },
              QStringLiteral("Ctrl+Q")},
         }},
        {QStringLiteral("mnuEdit"),
         QStringLiteral("编辑(&E)"),
         {
             {QStringLiteral("mFileNew"), QStringLiteral("编写新评语(&W)"), [this] { showWritingView(); }},
             {QStringLiteral("mFileEdit"), QStringLiteral("修改评语库(&E)"), [this] { showEditorView(); }},
         }},
        shell::toolsMenu(),
        shell::helpMenu([this] { shell::Windows::instance().open(QStringLiteral("frmHelpAbout"), this); }),
    };
    menus_ = shell::buildMenuBar(menuBar(), menus, this);
}

void frmStudenPY::buildWritingView(QWidget* page) {
    auto* layout = new QHBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);

    // Left: how comments are made, and the phrase library.
    auto* left = new QVBoxLayout;
    auto* make = new QGroupBox(QStringLiteral("生成方式"), page);
    make->setObjectName(QStringLiteral("fraMakeSelect"));
    auto* makeLayout = new QHBoxLayout(make);
    const QString modes[2] = {QStringLiteral("自动生成"), QStringLiteral("手工编写")};
    for (int i = 0; i < 2; ++i) {
        optMakeSelect_[i] = new QRadioButton(modes[i], make);
        optMakeSelect_[i]->setObjectName(QStringLiteral("optMakeSelect(%1)").arg(i));
        makeLayout->addWidget(optMakeSelect_[i]);
    }
    optMakeSelect_[0]->setChecked(true);
    left->addWidget(make);

    auto* names = new QGroupBox(QStringLiteral("评语库"), page);
    names->setObjectName(QStringLiteral("fraNameSelect"));
    auto* namesLayout = new QVBoxLayout(names);
    tvwPyData_ = new shell::TreeView(names);
    tvwPyData_->setObjectName(QStringLiteral("tvwPyData"));
    ListStudens_ = new QListWidget(names);
    ListStudens_->setObjectName(QStringLiteral("ListStudens"));
    ListStudens_->setToolTip(QStringLiteral("单击浏览；双击选中!"));
    ListStudens_->setWordWrap(true);
    ListStudens_->hide();
    cmdBack_ = new QPushButton(QStringLiteral("关闭列表"), names);
    cmdBack_->setObjectName(QStringLiteral("cmdBack"));
    cmdBack_->hide();
    namesLayout->addWidget(tvwPyData_, 1);
    namesLayout->addWidget(ListStudens_, 1);
    namesLayout->addWidget(cmdBack_);
    left->addWidget(names, 1);
    layout->addLayout(left, 3);

    // Right: the earlier comment above the one being written.
    auto* right = new QVBoxLayout;
    auto* old = new QGroupBox(QStringLiteral("参考旧评语"), page);
    old->setObjectName(QStringLiteral("fraOldText"));
    auto* oldLayout = new QGridLayout(old);
    imgOpenOldFile_ = pictureButton(QStringLiteral("imgOpenOldFile"), QStringLiteral("打开参考班级"),
                                    QStringLiteral("viewdetails"), old);
    labOldPy_ = new QLabel(QStringLiteral("旧评语"), old);
    labOldPy_->setObjectName(QStringLiteral("labOldPy"));
    labOldClass_ = new QLabel(QStringLiteral("班别"), old);
    labOldClass_->setObjectName(QStringLiteral("labOldClass"));
    Text1_ = new QPlainTextEdit(QStringLiteral("参考往期的评语："), old);
    Text1_->setObjectName(QStringLiteral("Text1"));
    Text1_->setReadOnly(true);
    oldLayout->addWidget(imgOpenOldFile_, 0, 0);
    oldLayout->addWidget(labOldClass_, 0, 1);
    oldLayout->addWidget(labOldPy_, 0, 2);
    oldLayout->setColumnStretch(2, 1);
    oldLayout->addWidget(Text1_, 1, 0, 1, 3);
    right->addWidget(old, 2);

    auto* now = new QGroupBox(QStringLiteral("编写新评语"), page);
    now->setObjectName(QStringLiteral("fraNewText"));
    auto* nowLayout = new QVBoxLayout(now);
    Text2_ = new QPlainTextEdit(now);
    Text2_->setObjectName(QStringLiteral("Text2"));
    Text2_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    nowLayout->addWidget(Text2_, 1);
    auto* buttons = new QHBoxLayout;
    const QString captions[6] = {QStringLiteral("确认保存"), QStringLiteral("清除评语"),
                                 QStringLiteral("取消"),     QStringLiteral("修改语库"),
                                 QStringLiteral("退出系统"), QStringLiteral("学生改名")};
    for (int i = 0; i < 6; ++i) {
        cmdYesNo_[i] = new QPushButton(captions[i], now);
        cmdYesNo_[i]->setObjectName(QStringLiteral("cmdYesNo(%1)").arg(i));
        buttons->addWidget(cmdYesNo_[i]);
    }
    cmdYesNo_[5]->setEnabled(false);
    nowLayout->addLayout(buttons);
    right->addWidget(now, 3);
    layout->addLayout(right, 5);

    connect(tvwPyData_, &shell::TreeView::nodeDoubleClicked, this, &frmStudenPY::phraseNodeDoubleClicked);
    connect(ListStudens_, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { previewPhrase(item->text()); });
    connect(ListStudens_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        appendPhrase(item->text());
        closePreview();
        showPhraseList(false);
    });
    connect(cmdBack_, &QPushButton::clicked, this, [this] {
        showPhraseList(false);
        closePreview();
    });
    connect(cmdYesNo_[0], &QPushButton::clicked, this, [this] { saveComment(cobNewStd_->currentText()); });
    connect(cmdYesNo_[1], &QPushButton::clicked, Text2_, &QPlainTextEdit::clear);
    connect(cmdYesNo_[2], &QPushButton::clicked, this, &frmStudenPY::cancelEdit);
    connect(cmdYesNo_[3], &QPushButton::clicked, this, &frmStudenPY::showEditorView);
    connect(cmdYesNo_[4], &QPushButton::clicked, this, &QWidget::close);
    connect(cmdYesNo_[5], &QPushButton::clicked, this, &frmStudenPY::renameStudent);
}

bool frmStudenPY::editorView() const {
    return !fraAddPy_->isHidden();
}

void frmStudenPY::showOutcome(const shell::Outcome& o) {
    shell::MessageBox::showAll(this, o.messages);
}

// ------------------------------------------------------------ classes

void frmStudenPY::classHandedBack(classes::ClassState::Taker taker, const QString& name) {
    switch (taker) {
    case classes::ClassState::Taker::CommentWorking:
        workingClassChanged(name);
        break;
    case classes::ClassState::Taker::CommentReference:
        labOldClass_->setText(name);
        break;
    case classes::ClassState::Taker::Scores:
        // The working class is one name for both tools: a class the score
        // manager creates becomes this window's too, and the names shown
        // must be the students the next save writes to. A comment still
        // unsaved is asked about first; a teacher who stays keeps the class
        // the comment belongs to.
        if (writer_.workingOpen() && mayLeaveComment(cobNewStd_->currentText())) workingClassChanged(name);
        break;
    }
}

void frmStudenPY::openClassFile(classes::frmOpenDatabase::Purpose purpose) {
    // Another class replaces the name list and the comment box.
    if (purpose != classes::frmOpenDatabase::Purpose::CommentOpenReference && writer_.workingOpen() &&
        !mayLeaveComment(cobNewStd_->currentText()))
        return;
    classes::frmOpenDatabase::openFor(purpose, this);
}

void frmStudenPY::workingClassChanged(const QString& name) {
    // Text typed before any class was open belongs to no student yet: it
    // stays in the box (still unsaved) for the class that comes.
    const bool hadClass = !writer_.pinnedClass().isEmpty();
    writer_.pinClass(name);
    labNewClass_->setText(name);
    // Positions in the old name list mean nothing in the new one.
    studenNumber_ = 0;
    studentKey_ = -1;
    studenName_.clear();
    if (hadClass) {
        Text2_->clear();
        storedComment_.clear();
    }
    LoadStudentNames();
    cmdNamePage_[0]->setEnabled(false);
    cmdNamePage_[1]->setEnabled(false);
    cmdYesNo_[5]->setEnabled(false);
    updateOutputEntries();
}

void frmStudenPY::updateOutputEntries() {
    const bool open = writer_.workingOpen();
    for (const char* e : {"mFileExcel", "mFileOut", "mFilePrint", "mFilePrintAll"})
        menus_.action(QString::fromLatin1(e))->setEnabled(open);
}

void frmStudenPY::LoadStudentNames() {
    // The box keeps the text it shows; only its list is new.
    const QString shown = cobNewStd_->currentText();
    cobNewStd_->clear();
    students_.clear();
    if (const shell::Outcome read = writer_.students(students_);
        !read && read.reason != shell::Reason::NotOpen)
        showOutcome(read);
    QStringList names;
    names.reserve(students_.size());
    for (const Student& s : students_)
        names << s.name;
    cobNewStd_->addItems(names);
    cobNewStd_->setCurrentIndex(-1);
    cobNewStd_->setEditText(shown);
    // The selected student keeps its place in the new list.
    if (studentKey_ >= 0) {
        studenNumber_ = 0;
        for (int i = 0; i < students_.size(); ++i)
            if (students_[i].key == studentKey_) studenNumber_ = i + 1;
    }
}

void frmStudenPY::ShowStudentComment() {
    if (writer_.workingOpen()) {
        Text2_->clear();
        QString error;
        if (const auto s = writer_.find(Target{studenName_, studentKey_}, &error)) {
            Text2_->setPlainText(s->comment);
            txtStdBH_->setText(s->number);
        } else if (!error.isEmpty()) {
            shell::MessageBox::show(this, error);
        }
        storedComment_ = Text2_->toPlainText();
    }
    Text2_->setFocus();
}

void frmStudenPY::ShowReferenceComment() {
    if (!writer_.referenceOpen()) return;
    Text1_->setPlainText(kMsgNoReference);
    labOldPy_->setText(studenName_);
    QString error;
    if (const auto old = writer_.referenceComment(studenName_, &error))
        Text1_->setPlainText(*old);
    else if (!error.isEmpty())
        shell::MessageBox::show(this, error);
}

void frmStudenPY::setNavigationButtons() {
    cmdNamePage_[0]->setEnabled(studenNumber_ > 1);
    cmdNamePage_[1]->setEnabled(studenNumber_ != cobNewStd_->count());
}

// ------------------------------------------------------------ students

bool frmStudenPY::commentChanged() const {
    return Text2_->toPlainText() != storedComment_;
}

bool frmStudenPY::mayLeaveComment(const QString& owner) {
    const QString name = owner.trimmed();
    const QString caption = name.isEmpty() ? windowTitle() : name + QStringLiteral("的评语");
    return shell::mayDiscard(this, caption, commentChanged(), [this, owner] { return saveComment(owner); });
}

void frmStudenPY::putBackNameBox(const QString& text) {
    if (studenNumber_ > 0 && studenNumber_ <= cobNewStd_->count() && text == studenName_) {
        cobNewStd_->setCurrentIndex(studenNumber_ - 1);
        nameTyped_ = false;
    } else {
        cobNewStd_->setCurrentIndex(-1);
        cobNewStd_->setEditText(text);
        nameTyped_ = true;
    }
    boxName_ = text;
}

void frmStudenPY::pickStudent(int index) {
    // A typed name is Enter's business, even when it matches an entry.
    if (nameTyped_ || index < 0 || index >= students_.size()) return;
    // The box shows the pick already; the comment in it is still the one
    // written under the name the box held before.
    const qint64 key = students_[index].key;
    if (!mayLeaveComment(boxName_)) return putBackNameBox(boxName_);
    // A save may have added a student; the picked one keeps its row.
    int position = 0;
    for (int i = 0; i < students_.size(); ++i)
        if (students_[i].key == key) position = i + 1;
    if (position == 0) return;
    showStudentAt(position);
}

void frmStudenPY::enterStudent() {
    const QString text = cobNewStd_->currentText();
    const int index = cobNewStd_->currentIndex();
    // An entry chosen from the list is that student's row; a typed name is
    // every student of that name.
    const bool listed =
        !nameTyped_ && index >= 0 && index < students_.size() && cobNewStd_->itemText(index) == text;
    const qint64 key = listed ? students_[index].key : -1;
    // The name just typed is where the teacher goes; the comment in the box
    // is the shown student's.
    const QString owner = studenName_.isEmpty() ? text : studenName_;
    if (!mayLeaveComment(owner)) return putBackNameBox(studenName_.isEmpty() ? text : studenName_);
    Text2_->clear();
    studenNumber_ = 0;
    if (key >= 0)
        for (int i = 0; i < students_.size(); ++i)
            if (students_[i].key == key) studenNumber_ = i + 1;
    if (studenNumber_ > 0) cobNewStd_->setCurrentIndex(studenNumber_ - 1);
    cobNewStd_->setEditText(text);
    studentKey_ = studenNumber_ > 0 ? key : -1;
    studenName_ = text;
    boxName_ = text;
    ShowStudentComment();
    ShowReferenceComment();
    setNavigationButtons();
    cmdYesNo_[5]->setEnabled(true);
}

void frmStudenPY::stepStudent(int delta) {
    const int n = studenNumber_ + delta;
    if (n < 1 || n > students_.size()) return;
    const qint64 key = students_[n - 1].key;
    if (!mayLeaveComment(cobNewStd_->currentText())) return;
    for (int i = 0; i < students_.size(); ++i)
        if (students_[i].key == key) showStudentAt(i + 1);
}

// Shows the student at `position` (1-based) of the name list.
void frmStudenPY::showStudentAt(int position) {
    studenNumber_ = position;
    nameTyped_ = false;
    cobNewStd_->setCurrentIndex(position - 1);
    studenName_ = cobNewStd_->currentText();
    boxName_ = studenName_;
    studentKey_ = students_[position - 1].key;
    ShowStudentComment();
    ShowReferenceComment();
    setNavigationButtons();
    cmdYesNo_[5]->setEnabled(true);
}

bool frmStudenPY::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txtStdBH_ && event->type() == QEvent::KeyPress) numberKey(static_cast<QKeyEvent*>(event));
    return QMainWindow::eventFilter(watched, event);
}

void frmStudenPY::numberKey(QKeyEvent* key) {
    // Rejected keys are the number filter's; an accepted key while the box
    // holds a student's number says so, once per such student.
    const QString typed = key->text();
    const bool backspace = key->key() == Qt::Key_Backspace;
    if (!backspace && (typed.size() != 1 || !shell::NumberKeyFilter::accepts(typed[0]))) return;
    if (!writer_.workingOpen()) return;
    const int same = writer_.studentsWithNumber(txtStdBH_->text());
    for (int i = 0; i < same; ++i)
        shell::MessageBox::show(this, kMsgNumberExists);
}

bool frmStudenPY::saveComment(const QString& typedName) {
    qint64 saved = -1;
    const shell::Outcome o = writer_.save(Target{studenName_, studentKey_}, typedName, txtStdBH_->text(),
                                          Text2_->toPlainText(), &saved);
    if (!o) {
        // The comment stays in the box to be saved again.
        showOutcome(o);
        return false;
    }
    // The student just written is the one shown from now on.
    studenName_ = typedName.trimmed();
    studentKey_ = saved;
    LoadStudentNames();
    ShowStudentComment();
    ShowReferenceComment();
    setNavigationButtons();
    cmdYesNo_[5]->setEnabled(true);
    statusBar()->showMessage(QStringLiteral("%1的评语已保存。").arg(studenName_));
    return true;
}

void frmStudenPY::cancelEdit() {
    if (!writer_.workingOpen()) return;
    const QString name = cobNewStd_->currentText().trimmed();
    QString error;
    if (const auto s = writer_.find(Target{name, name == studenName_ ? studentKey_ : -1}, &error)) {
        Text2_->setPlainText(s->comment);
        if (name == studenName_) storedComment_ = s->comment;
    } else if (!error.isEmpty()) {
        shell::MessageBox::show(this, error);
    }
}

void frmStudenPY::renameStudent() {
    const QString name = cobNewStd_->currentText().trimmed();
    // The student shown is the one renamed, however it was reached; a
    // student picked earlier with the mouse has nothing to do with it.
    const shell::Outcome o = writer_.rename(Target{studenName_, studentKey_}, name);
    if (!o) {
        showOutcome(o);
        return;
    }
    studenName_ = name;
    boxName_ = name;
    if (studenNumber_ == 0) {
        // A typed name named the one student of it; that row is shown now.
        if (const auto s = writer_.find(Target{name})) studentKey_ = s->key;
    }
    LoadStudentNames();
    // What is being written for the student stays; only a box as stored
    // is read again.
    if (!commentChanged()) ShowStudentComment();
    ShowReferenceComment();
    setNavigationButtons();
    statusBar()->showMessage(QStringLiteral("学生已改名为%1。").arg(name));
}

// ------------------------------------------------------------ phrases

void frmStudenPY::phraseNodeDoubleClicked(const QString& key, const QString& text) {
    // Category nodes hold titles, not phrases.
    if (key.startsWith(u'C')) return;
    // Phrases added in the editor since the window opened count too.
    library_.load();
    ListStudens_->clear();
    ListStudens_->addItems(library_.ListPhrases(text));
    if (optMakeSelect_[0]->isChecked())
        AppendRandomPhrase();
    else
        showPhraseList(true);
}

void frmStudenPY::AppendRandomPhrase() {
    QStringList phrases;
    for (int i = 0; i < ListStudens_->count(); ++i)
        phrases << ListStudens_->item(i)->text();
    if (phrases.isEmpty()) return;
    appendPhrase(randomPhrase(phrases, random_));
}

void frmStudenPY::appendPhrase(const QString& phrase) {
    // Straight after the text there is, with no separator.
    QTextCursor end = Text2_->textCursor();
    end.movePosition(QTextCursor::End);
    end.insertText(phraseToAppend(Text2_->toPlainText(), phrase));
    Text2_->setTextCursor(end);
}

void frmStudenPY::showPhraseList(bool on) {
    tvwPyData_->setVisible(!on);
    ListStudens_->setVisible(on);
    cmdBack_->setVisible(on);
}

void frmStudenPY::previewPhrase(const QString& phrase) {
    auto* view = qobject_cast<shell::frmViewText*>(shell::Windows::instance().open(kPreview, this));
    preview_ = view;
    if (view) view->setText(phrase);
}

void frmStudenPY::closePreview() {
    shell::Windows::instance().unload(preview_.data());
}

// ------------------------------------------------------------ views

void frmStudenPY::showWritingView() {
    fraAddPy_->hide();
    writing_->show();
    studentRow_->show();
}

void frmStudenPY::showEditorView() {
    closePreview();
    writing_->hide();
    studentRow_->hide();
    fraAddPy_->enter();
    fraAddPy_->show();
}

// ------------------------------------------------------------ output

void frmStudenPY::exportComments() {
    // With no class open the last export's text is saved again (empty at
    // first), so the entry never refuses.
    if (writer_.workingOpen()) {
        QList<CommentEntry> entries;
        if (const shell::Outcome read = commentListing(writer_.workingClass(), entries); !read)
            return showOutcome(read);
        exportText_ = exportText(entries);
    }
    // A cancelled dialog writes nothing and says nothing; a failed write has
    // been told by the helper.
    shell::exportTextAsRtf(this, QStringLiteral("评语导出"), shell::kDocExportFilter, exportText_);
}

void frmStudenPY::exportSpreadsheet() {
    if (!writer_.workingOpen()) {
        shell::MessageBox::show(this, kMsgNoWorkbook);
        return;
    }
    const QString cls = writer_.workingClass();
    QList<CommentEntry> entries;
    if (const shell::Outcome read = commentListing(cls, entries); !read) return showOutcome(read);
    const shell::ExportTarget target =
        shell::newExportFile(cls + QStringLiteral("评语"), QStringLiteral("xlsx"));
    if (!target.outcome) return showOutcome(target.outcome);
    const shell::Outcome written = writeCommentWorkbook(entries, target.path);
    if (!written) return showOutcome(written);
    // The workbook opens in the desktop's spreadsheet program; where it was
    // saved is said, since nothing else asks for a name (and whether the
    // desktop could open it does not change that).
    (void)shell::openPath(target.path);
    QStringList messages{
        QStringLiteral("评语电子表格已保存在：%1").arg(QDir::toNativeSeparators(target.path))};
    messages << written.messages;
    shell::MessageBox::showAll(this, messages);
}

void frmStudenPY::printComment() {
    // The comment as it stands in the box, saved or not, headed with whose
    // it is.
    shell::PrintViaWord(printedComment(writer_.workingClass(), cobNewStd_->currentText().trimmed(),
                                       QDate::currentDate(), Text2_->toPlainText()),
                        this);
}

void frmStudenPY::printClassComments() {
    if (!writer_.workingOpen()) return shell::MessageBox::show(this, kMsgNoWorkbook);
    // The stored comments are printed: the one being written is saved
    // first if the teacher wants it on paper too.
    if (!mayLeaveComment(cobNewStd_->currentText())) return;
    QList<CommentEntry> entries;
    if (const shell::Outcome read = commentListing(writer_.workingClass(), entries); !read)
        return showOutcome(read);
    const QString pages = printedClass(writer_.workingClass(), entries, QDate::currentDate());
    if (pages.isEmpty()) return shell::MessageBox::show(this, kMsgNothingToPrint);
    shell::PrintViaWord(pages, this);
}

void frmStudenPY::closeEvent(QCloseEvent* event) {
    if (!mayLeaveComment(cobNewStd_->currentText())) {
        event->ignore();
        return;
    }
    closePreview();
    QMainWindow::closeEvent(event);
}

} // namespace comments
