#include "PhraseEditorPanel.h"

#include "comments/model/PhraseLibrary.h"
#include "shell/core/Units.h"
#include "shell/ui/MessageBox.h"
#include "shell/ui/NumberGrid.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace comments {

namespace {
QLabel* label(const QString& name, const QString& text, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    return l;
}
QPushButton* button(const QString& name, const QString& text, QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    return b;
}
QComboBox* comboBox(const QString& name, QWidget* parent) {
    auto* c = new QComboBox(parent);
    c->setObjectName(name);
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert);
    return c;
}
} // namespace

PhraseEditorPanel::PhraseEditorPanel(QWidget* parent, const QString& dbPath)
    : QWidget(parent), editor_(dbPath) {
    setObjectName(QStringLiteral("fraAddPy"));

    category_ = comboBox(QStringLiteral("cobAddText(0)"), this);
    category_->addItems(categoryNames());
    category_->setCurrentIndex(0); // "本期印象"
    title_ = comboBox(QStringLiteral("cobAddText(1)"), this);
    title_->addItem(QStringLiteral("有礼貌"));
    title_->setMinimumContentsLength(10);
    auto* open = button(QStringLiteral("cmdAddText(0)"), QStringLiteral("打开"), this);
    auto* add = button(QStringLiteral("cmdAddText(1)"), QStringLiteral("添加"), this);
    auto* update = button(QStringLiteral("cmdAddText(2)"), QStringLiteral("更新"), this);
    auto* back = button(QStringLiteral("cmdAddBack"), QStringLiteral("返回"), this);

    grid_ = new shell::NumberGrid(this);
    grid_->setObjectName(QStringLiteral("msGridPy"));
    // Both columns and a scroll bar, with room to spare.
    grid_->setMinimumWidth(shell::twipsToPx(500 + 700) + 40);
    grid_->setMaximumWidth(shell::twipsToPx(500 + 700) + 60);

    number_ = label(QStringLiteral("Label1"), QStringLiteral("xxx编号xxx"), this);
    number_->setMinimumWidth(80);
    text_ = new QPlainTextEdit(this);
    text_->setObjectName(QStringLiteral("txtAddPy"));
    text_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    auto* top = new QHBoxLayout;
    top->addWidget(label(QStringLiteral("labAddText(0)"), QStringLiteral("类别："), this));
    top->addWidget(category_, 1);
    top->addSpacing(12);
    top->addWidget(label(QStringLiteral("labAddText(1)"), QStringLiteral("项目："), this));
    top->addWidget(title_, 2);
    top->addSpacing(12);
    top->addWidget(open);

    auto* numberRow = new QHBoxLayout;
    numberRow->addWidget(label(QStringLiteral("labAddText(2)"), QStringLiteral("请选编号："), this));
    numberRow->addWidget(number_);
    numberRow->addStretch(1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(add);
    buttons->addWidget(update);
    buttons->addSpacing(12);
    buttons->addWidget(back);

    auto* right = new QVBoxLayout;
    right->addLayout(numberRow);
    right->addWidget(text_, 1);
    right->addLayout(buttons);

    auto* body = new QHBoxLayout;
    body->addWidget(grid_);
    body->addLayout(right, 1);

    auto* all = new QVBoxLayout(this);
    all->addLayout(top);
    all->addLayout(body, 1);

    // Enter in an editable box can reach us twice in one key press (the
    // line's returnPressed and the box's own activated): one choice each.
    connect(category_, &QComboBox::activated, this, [this] {
        if (firstInThisEvent(0)) chooseCategory();
    });
    connect(category_->lineEdit(), &QLineEdit::returnPressed, this, [this] {
        if (firstInThisEvent(0)) chooseCategory();
    });
    connect(title_, &QComboBox::activated, this, [this] {
        if (firstInThisEvent(1)) chooseTitle();
    });
    connect(title_->lineEdit(), &QLineEdit::returnPressed, this, [this] {
        if (firstInThisEvent(1)) chooseTitle();
    });
    connect(open, &QPushButton::clicked, this, [this] { openTitle(); });
    connect(add, &QPushButton::clicked, this, [this] { addPhrase(); });
    connect(update, &QPushButton::clicked, this, [this] { updatePhrase(); });
    connect(back, &QPushButton::clicked, this, &PhraseEditorPanel::backRequested);
    connect(grid_, &shell::NumberGrid::numberPicked, this, [this](int row, const QString&) { pickRow(row); });
}

bool PhraseEditorPanel::firstInThisEvent(int box) {
    if (busy_[box]) return false;
    busy_[box] = true;
    QTimer::singleShot(0, this, [this, box] { busy_[box] = false; });
    return true;
}

bool PhraseEditorPanel::showOutcome(const shell::Outcome& o) {
    shell::MessageBox::showAll(this, o.messages);
    return o.ok;
}

void PhraseEditorPanel::showGrid() {
    grid_->setGrid(editor_.grid());
}

void PhraseEditorPanel::enter() {
    editor_.reset();
    showGrid();
    number_->clear();
    text_->clear();
}

void PhraseEditorPanel::chooseCategory() {
    if (!showOutcome(editor_.chooseCategory(category_->currentText()))) return;
    // The list is made again; the box keeps its text unless a title comes,
    // and ends showing the last title.
    const QString typed = title_->currentText();
    title_->clear();
    title_->addItems(editor_.titles());
    title_->setEditText(editor_.titles().isEmpty() ? typed : editor_.titles().last());
    title_->setFocus();
}

void PhraseEditorPanel::chooseTitle() {
    if (fillGrid()) text_->setFocus();
}

void PhraseEditorPanel::openTitle() {
    fillGrid();
}

bool PhraseEditorPanel::fillGrid() {
    if (!showOutcome(editor_.openTitle(category_->currentText(), title_->currentText()))) return false;
    showGrid();
    showSelection();
    return true;
}

void PhraseEditorPanel::showSelection() {
    const QString& n = editor_.selectedNumber();
    number_->setText(n == u"0" ? QString() : n);
}

void PhraseEditorPanel::addPhrase() {
    const shell::Outcome o =
        editor_.add(category_->currentText(), title_->currentText(), text_->toPlainText());
    // The grid first, so the teacher sees the new phrase behind the message;
    // the boxes show the phrase as it was stored, the one 更新 changes now.
    if (o.ok) {
        showGrid();
        showSelection();
        title_->setEditText(editor_.title());
    }
    showOutcome(o);
    if (o.ok) Q_EMIT libraryChanged();
}

void PhraseEditorPanel::updatePhrase() {
    if (showOutcome(editor_.update(text_->toPlainText()))) Q_EMIT libraryChanged();
}

void PhraseEditorPanel::pickRow(int row) {
    const std::optional<QString> text = editor_.selectRow(row);
    number_->setText(editor_.selectedNumber());
    if (text) text_->setPlainText(*text);
}

} // namespace comments
