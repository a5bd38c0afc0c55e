#include "frmSetInternet.h"

#include "shell/Windows.h"
#include "shell/core/AppPaths.h"
#include "shell/ui/MessageBox.h"
#include "store/Schema.h"
#include "web/capture/BrowserCapture.h"
#include "web/model/Addresses.h"
#include "web/model/Bookmarks.h"

#include <QClipboard>
#include <QComboBox>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

namespace web {

namespace {
frmSetInternet::CaptureFactory& factory() {
    static frmSetInternet::CaptureFactory f;
    return f;
}
constexpr int kMaxName = 25;
constexpr int kMaxCategory = 20;
} // namespace

void frmSetInternet::setCaptureFactory(CaptureFactory f) {
    factory() = std::move(f);
}

frmSetInternet::frmSetInternet(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("frmSetInternet"));
    setWindowTitle(shell::Windows::caption(QStringLiteral("frmSetInternet")));
    capture_ = factory() ? factory()() : capture::BrowserCapture::forDesktop();

    auto label = [this](const QString& name, const QString& text) {
        auto* l = new QLabel(text, this);
        l->setObjectName(name);
        return l;
    };
    txt_ = new QLineEdit(this);
    txt_->setObjectName(QStringLiteral("txt"));
    txtAddress_ = new QLineEdit(QStringLiteral("Text1"), this);
    txtAddress_->setObjectName(QStringLiteral("txtAddress"));
    txtAddress_->setMaxLength(capture::kMaxCapturedAddress);
    cobAddText_ = new QComboBox(this);
    cobAddText_->setObjectName(QStringLiteral("cobAddText"));
    cobAddText_->setEditable(true);
    cobAddText_->setInsertPolicy(QComboBox::NoInsert);
    Command1_ = new QPushButton(QStringLiteral("确定"), this);
    Command1_->setObjectName(QStringLiteral("Command1"));
    Command1_->setDefault(true);
    cmdWinHide_ = new QPushButton(QStringLiteral("取消"), this);
    cmdWinHide_->setObjectName(QStringLiteral("cmdWinHide"));
    Command2_ = new QPushButton(QStringLiteral("刷新"), this);
    Command2_->setObjectName(QStringLiteral("Command2"));
    tim_ = new QTimer(this);
    tim_->setObjectName(QStringLiteral("tim"));
    tim_->setInterval(100);

    auto* form = new QVBoxLayout;
    form->setSpacing(4);
    form->addWidget(label(QStringLiteral("Label1"), QStringLiteral("网页名称：")));
    form->addWidget(txt_);
    form->addSpacing(6);
    form->addWidget(label(QStringLiteral("Label2"), QStringLiteral("网页地址：")));
    form->addWidget(txtAddress_);
    labHint_ = new QLabel(QStringLiteral("没有找到当前网页的地址：请在浏览器的地址栏中复制网址"
                                         "（先按 Ctrl+L，再按 Ctrl+C），这里会自动填上。"),
                          this);
    labHint_->setObjectName(QStringLiteral("labHint"));
    labHint_->setWordWrap(true);
    labHint_->setStyleSheet(QStringLiteral("color: #a04000;"));
    labHint_->hide();
    form->addWidget(labHint_);
    form->addSpacing(6);
    form->addWidget(label(QStringLiteral("Label3"), QStringLiteral("选择或输入网页类别")));
    form->addWidget(cobAddText_);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Command2_);
    buttons->addStretch();
    buttons->addWidget(Command1_);
    buttons->addWidget(cmdWinHide_);
    auto* all = new QVBoxLayout(this);
    all->setContentsMargins(16, 14, 16, 14);
    all->addLayout(form);
    all->addSpacing(12);
    all->addLayout(buttons);
    all->addStretch();
    // Measured with the hint shown, so that all of its lines fit when it
    // shows; while it is hidden the room goes to the stretch at the foot.
    labHint_->show();
    const int height = std::max(sizeHint().height(), heightForWidth(520));
    labHint_->hide();
    resize(520, height);

    connect(tim_, &QTimer::timeout, this, &frmSetInternet::tick);
    connect(txt_, &QLineEdit::textChanged, this, &frmSetInternet::nameCheck);
    connect(cobAddText_, &QComboBox::currentTextChanged, this, &frmSetInternet::categoryCheck);
    connect(txtAddress_, &QLineEdit::textChanged, this, [this](const QString& t) {
        Command1_->setEnabled(!t.isEmpty());
        labHint_->setVisible(t.isEmpty());
    });
    connect(Command1_, &QPushButton::clicked, this, &frmSetInternet::confirm);
    connect(cmdWinHide_, &QPushButton::clicked, this, &QWidget::close);
    connect(Command2_, &QPushButton::clicked, this, [this] { txt_->clear(); });

    // Clicking a browser's address bar selects the address (the X
    // selection), copying puts it on the clipboard: either is kept as the
    // last resort for the address. What they hold as the window opens
    // counts too: the teacher often copies the address first.
    if (QClipboard* cb = QGuiApplication::clipboard()) {
        connect(cb, &QClipboard::dataChanged, this,
                [this, cb] { noteCopied(cb->text(QClipboard::Clipboard)); });
        connect(cb, &QClipboard::selectionChanged, this,
                [this, cb] { noteCopied(cb->text(QClipboard::Selection)); });
        if (cb->supportsSelection()) capture_->noteClipboard(cb->text(QClipboard::Selection));
        capture_->noteClipboard(cb->text(QClipboard::Clipboard));
    }

    FillCategoryList();
    tim_->start();
}

frmSetInternet::~frmSetInternet() = default;

bool frmSetInternet::searching() const {
    return tim_->isActive();
}

void frmSetInternet::FillCategoryList() {
    QList<Bookmark> records;
    const shell::Outcome read = readBookmarks(shell::AppPaths::file(store::kCommonDb), &records);
    loading_ = true;
    cobAddText_->setEditText(QStringLiteral("教育综合资源"));
    for (const QString& c : bookmarkCategories(records)) {
        cobAddText_->addItem(c);
        cobAddText_->setEditText(c);
    }
    loading_ = false;
    // The window still records pages when the list cannot be read; the
    // teacher is told why it is empty once the window is up.
    if (!read) QTimer::singleShot(0, this, [this, read] { say(read.messages); });
}

void frmSetInternet::CaptureBrowserAddress() {
    txtAddress_->clear();
    const capture::CaptureResult r = capture_->tick();
    if (!r.found && r.address.isEmpty()) return;
    txtAddress_->setText(r.address);
    txt_->setText(r.pageName);
}

void frmSetInternet::noteCopied(const QString& text) {
    capture_->noteClipboard(text);
    // Told how to get an address, the teacher copies it while the name is
    // held (no tick runs then): it goes where it was asked for.
    if (txtAddress_->text().isEmpty() && !capture_->clipboardAddress().isEmpty())
        txtAddress_->setText(capture_->clipboardAddress());
}

void frmSetInternet::tick() {
    if (ticking_ || speaking_) return;
    ticking_ = true;
    const QString before = txt_->text();
    CaptureBrowserAddress();
    ticking_ = false;
    // A name the tick put in was checked as it changed.
    if (txt_->text() == before) nameCheck();
}

void frmSetInternet::nameCheck() {
    if (txt_->text().isEmpty())
        tim_->start();
    else
        tim_->stop();
    if (txt_->text().trimmed().size() > kMaxName)
        say({QStringLiteral("为节约资源，输入网页名称不要超过25个字！")});
}

void frmSetInternet::categoryCheck() {
    if (loading_) return;
    const QString c = cobAddText_->currentText().trimmed();
    if (c.isEmpty())
        say({QStringLiteral("请选择或输入类别名称！")});
    else if (c.size() > kMaxCategory)
        say({QStringLiteral("为节约资源，输入类别名称不要超过20个字！")});
}

void frmSetInternet::say(const QStringList& texts) {
    if (texts.isEmpty()) return;
    tim_->stop();
    speaking_ = true;
    shell::MessageBox::showAll(this, texts);
    speaking_ = false;
    if (txt_->text().isEmpty()) tim_->start();
}

void frmSetInternet::confirm() {
    const QString category = cobAddText_->currentText().trimmed();
    if (txt_->text().trimmed().isEmpty() || category.isEmpty()) {
        say({QStringLiteral("名称或类别不能为空，请输入名称！")});
        return;
    }
    const QString db = shell::AppPaths::file(store::kCommonDb);
    // A page kept already is saved again only when the teacher says so.
    // (When the table cannot be read, saving tells why.)
    QList<Bookmark> records;
    if (readBookmarks(db, &records)) {
        const QString address = normalizedAddress(txtAddress_->text());
        for (const Bookmark& b : records) {
            if (address.isEmpty() || normalizedAddress(b.address) != address) continue;
            tim_->stop();
            const bool again = shell::MessageBox::ask(
                this,
                QStringLiteral("这个网址已经收藏为《%1》（%2），还要再保存一次吗？").arg(b.name, b.category));
            if (!again) return;
            break;
        }
    }
    const QDate day = today_.isValid() ? today_ : QDate::currentDate();
    const shell::Outcome added = addBookmark(db, txt_->text(), category, day, txtAddress_->text());
    if (added.ok) {
        close();
        return;
    }
    // Nothing was stored: the window stays open with what was typed.
    say(added.messages.isEmpty() ? QStringList{shell::Outcome::saveFailedText({})} : added.messages);
}

} // namespace web
