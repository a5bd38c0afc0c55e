#include "frmOpenDatabase.h"

#include "classes/model/ClassFiles.h"

#include "shell/Windows.h"
#include "shell/ui/GridView.h"
#include "shell/ui/MessageBox.h"

#include <QCloseEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolTip>

namespace scores {

namespace {
const QString kCommentWindow = QStringLiteral("frmStudenPY");
const QString kScoreWindow = QStringLiteral("frmStudenCJ");
const QString kSelf = QStringLiteral("frmOpenDatabase");

// The tool that opens the window for `purpose`.
QString callerOf(frmOpenDatabase::Purpose purpose) {
    using P = frmOpenDatabase::Purpose;
    return purpose == P::ScoreNew || purpose == P::ScoreOpen ? kScoreWindow : kCommentWindow;
}

void enableWindow(const QString& name, bool on) {
    if (QWidget* w = shell::Windows::instance().find(name)) w->setEnabled(on);
}
} // namespace

// A dialog: it belongs to the tool that opened it and stays above it.
frmOpenDatabase::frmOpenDatabase(ClassState& classes, QWidget* parent)
    : QWidget(parent, Qt::Dialog), classes_(classes) {
    setObjectName(kSelf);
    setWindowTitle(shell::Windows::caption(QStringLiteral("frmOpenDatabase")));

    folderLabel_ = new QLabel(QStringLiteral("文件夹：studens"), this);
    folderLabel_->setObjectName(QStringLiteral("labFileName(0)"));
    nameLabel_ = new QLabel(QStringLiteral("文件名："), this);
    nameLabel_->setObjectName(QStringLiteral("labFileName(1)"));

    grid_ = new shell::GridView(this);
    grid_->setObjectName(QStringLiteral("MSFlexGrid1"));
    grid_->viewport()->installEventFilter(this);
    list_ = ClassFiles::listGrid();
    grid_->setGrid(list_);
    connect(grid_, &shell::GridView::cellClicked, this, [this](int r, int) { pick(r); });
    // A double click on a class opens it where the window is there to open
    // one; where it makes a new class it only fills the name in.
    connect(grid_, &shell::GridView::cellDoubleClicked, this, [this](int r, int) {
        pick(r);
        QPushButton* open = commentRow() ? fileYN_[2] : fileCjYN_[2];
        if (open->isVisible() && open->isEnabled()) open->click();
    });

    name_ = new QLineEdit(this);
    name_->setObjectName(QStringLiteral("txtFileName"));
    connect(name_, &QLineEdit::textChanged, this, &frmOpenDatabase::nameChanged);

    mode_ = new QLabel(this);
    mode_->setObjectName(QStringLiteral("labNO"));
    mode_->hide();

    const QString captions[3] = {QStringLiteral("取消"), QStringLiteral("新建"), QStringLiteral("打开")};
    for (int i = 0; i < 3; ++i) {
        fileYN_[i] = new QPushButton(captions[i], this);
        fileYN_[i]->setObjectName(QStringLiteral("cmdFileYN(%1)").arg(i));
        fileCjYN_[i] = new QPushButton(captions[i], this);
        fileCjYN_[i]->setObjectName(QStringLiteral("cmdFileCjYN(%1)").arg(i));
        fileYN_[i]->hide();
        fileCjYN_[i]->hide();
        // A button with the focus takes Enter, as in any dialog.
        fileYN_[i]->setAutoDefault(true);
        fileCjYN_[i]->setAutoDefault(true);
    }
    for (QPushButton** row : {fileYN_, fileCjYN_}) {
        connect(row[0], &QPushButton::clicked, this, &QWidget::close);
        connect(row[1], &QPushButton::clicked, this, &frmOpenDatabase::create);
        connect(row[2], &QPushButton::clicked, this, &frmOpenDatabase::open);
    }
    setMinimumSize(360, 240);
    resize(480, 270);
}

frmOpenDatabase* frmOpenDatabase::openFor(Purpose purpose) {
    shell::Windows& windows = shell::Windows::instance();
    // Every use gets a fresh window.
    windows.unload(kSelf);
    auto* w = qobject_cast<frmOpenDatabase*>(windows.load(kSelf));
    if (!w) return nullptr;
    w->setup(purpose);
    windows.open(kSelf, windows.find(callerOf(purpose)));
    return w;
}

void frmOpenDatabase::setup(Purpose purpose) {
    purpose_ = purpose;
    for (int i = 0; i < 3; ++i) {
        fileYN_[i]->hide();
        fileCjYN_[i]->hide();
        fileYN_[i]->setDefault(false);
        fileCjYN_[i]->setDefault(false);
    }
    QPushButton** row = fileCjYN_;
    int action = 2;
    bool editable = false;
    QString mode = QStringLiteral("new");
    QString caller = kScoreWindow;
    bool disableCaller = true;
    switch (purpose) {
    case Purpose::CommentNew:
        row = fileYN_, action = 1, editable = true, mode.clear(), caller = kCommentWindow;
        break;
    case Purpose::CommentOpenWorking:
        row = fileYN_, caller = kCommentWindow;
        break;
    case Purpose::CommentOpenReference:
        row = fileYN_, mode = QStringLiteral("old"), caller = kCommentWindow, disableCaller = false;
        break;
    case Purpose::ScoreNew:
        action = 1, editable = true;
        break;
    case Purpose::ScoreOpen:
        break;
    }
    row[0]->show();
    row[action]->show();
    // Enter anywhere in the window does what the visible 新建 or 打开 does.
    row[action]->setDefault(true);
    name_->setReadOnly(!editable);
    mode_->setText(mode);
    nameChanged();
    if (disableCaller) enableWindow(caller, false);
}

bool frmOpenDatabase::commentRow() const {
    return !fileYN_[1]->isHidden() || !fileYN_[2]->isHidden();
}

void frmOpenDatabase::nameChanged() {
    const bool any = !name_->text().isEmpty();
    QPushButton** row = commentRow() ? fileYN_ : fileCjYN_;
    row[1]->setEnabled(any);
    row[2]->setEnabled(any);
}

void frmOpenDatabase::pick(int row) {
    name_->setText(ClassFiles::pickedName(list_, row));
}

QString frmOpenDatabase::toolTipFor(int row, int col) const {
    return col == 1 ? list_.text(row, 1) : QString();
}

void frmOpenDatabase::create() {
    const shell::Outcome out = ClassFiles::create(name_->text(), commentRow());
    switch (out.reason) {
    case shell::Reason::None:
        finish(ClassFiles::tableName(name_->text()));
        return;
    case shell::Reason::Invalid:
        // A missing or reserved name can be typed again in place.
        shell::MessageBox::showAll(this, out.messages);
        return;
    default:
        // The caller keeps the class it had.
        shell::MessageBox::showAll(this, out.messages);
        close();
        return;
    }
}

void frmOpenDatabase::open() {
    const QString name = name_->text().trimmed();
    if (name.isEmpty()) {
        shell::MessageBox::show(this, ClassFiles::kMsgNoName);
        return;
    }
    if (ClassFiles::isReservedName(name)) {
        shell::MessageBox::show(this, ClassFiles::kMsgNotAClass);
        return;
    }
    const bool listed = ClassFiles::list().contains(name);
    if (!listed && !ClassFiles::exists(name)) {
        shell::MessageBox::show(this, ClassFiles::kMsgNoSuchClass);
        return;
    }
    // A listed class whose table is gone or damaged is named with the
    // reason, and stays closed: nothing may be written to it.
    if (const QString why = ClassFiles::classProblem(name); !why.isEmpty()) {
        shell::MessageBox::show(this, ClassFiles::unreadableMessage(name, why));
        return;
    }
    finish(name);
}

void frmOpenDatabase::finish(const QString& name) {
    classes_.handBack(purpose_ == Purpose::CommentOpenReference ? ClassState::Taker::CommentReference
                      : commentRow()                            ? ClassState::Taker::CommentWorking
                                                                : ClassState::Taker::Scores,
                      name);
    const Purpose p = purpose_;
    // Re-enable the caller before it reloads, so that it can take the focus.
    enableWindow(commentRow() ? kCommentWindow : kScoreWindow, true);
    Q_EMIT handedBack(name, p);
    close();
}

void frmOpenDatabase::closeEvent(QCloseEvent* event) {
    enableWindow(commentRow() ? kCommentWindow : kScoreWindow, true);
    QWidget::closeEvent(event);
}

void frmOpenDatabase::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const int w = width(), h = height();
    folderLabel_->setGeometry(10, 6, w - 20, 20);
    grid_->setGeometry(10, 28, w - 20, h - 28 - 84);
    nameLabel_->setGeometry(10, h - 76, 60, 24);
    name_->setGeometry(72, h - 76, w - 82, 24);
    for (QPushButton** row : {fileYN_, fileCjYN_}) {
        row[1]->setGeometry(w - 220, h - 40, 100, 30);
        row[2]->setGeometry(w - 220, h - 40, 100, 30);
        row[0]->setGeometry(w - 110, h - 40, 100, 30);
    }
    // However the window is sized, the list keeps at least six rows.
    if (list_.rows() < 6) {
        ClassFiles::ensureListRows(list_);
        grid_->setGrid(list_);
    }
}

void frmOpenDatabase::keyPressEvent(QKeyEvent* event) {
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) {
        QWidget::keyPressEvent(event);
        return;
    }
    // In the list, Enter takes the class under the cursor first.
    if (grid_->hasFocus() && grid_->currentIndex().isValid()) pick(grid_->currentIndex().row());
    QPushButton** row = commentRow() ? fileYN_ : fileCjYN_;
    for (int i = 1; i < 3; ++i)
        if (row[i]->isDefault() && row[i]->isVisible() && row[i]->isEnabled()) row[i]->click();
}

bool frmOpenDatabase::eventFilter(QObject* watched, QEvent* event) {
    if (watched == grid_->viewport() && event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const auto [r, c] = grid_->cellAt(help->pos());
        const QString tip = toolTipFor(r, c);
        if (tip.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), tip, grid_->viewport());
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace scores
