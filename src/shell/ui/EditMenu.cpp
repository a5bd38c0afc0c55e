#include "EditMenu.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QTextCursor>
#include <QTextEdit>

namespace shell {

EditMenu::EditMenu(QTextEdit* box, QObject* parent) : QObject(parent), box_(box) {
    connect(box, &QTextEdit::selectionChanged, this, &EditMenu::update);
    connect(box, &QTextEdit::copyAvailable, this, &EditMenu::update);
    connect(QApplication::clipboard(), &QClipboard::dataChanged, this, &EditMenu::update);
    // A click into the box moves the caret: paste follows the clipboard from then on.
    connect(box, &QTextEdit::cursorPositionChanged, this, &EditMenu::update);
}

const QStringList& EditMenu::actionNames() {
    static const QStringList names{QStringLiteral("mEditCut"), QStringLiteral("mEditCopy"),
                                   QStringLiteral("mEditPaste"), QStringLiteral("mEditDelete"),
                                   QStringLiteral("mEditAll")};
    return names;
}

QList<MenuEntry> EditMenu::entries() {
    return {
        {QStringLiteral("mEditCut"), QStringLiteral("剪切(&T)"), [this] { cut(); }, QStringLiteral("Ctrl+X")},
        {QStringLiteral("mEditCopy"), QStringLiteral("复制(&C)"), [this] { copy(); },
         QStringLiteral("Ctrl+C")},
        {QStringLiteral("mEditPaste"), QStringLiteral("粘贴(&P)"), [this] { paste(); },
         QStringLiteral("Ctrl+V")},
        {QStringLiteral("mEditDelete"), QStringLiteral("删除(&D)"), [this] { remove(); },
         QStringLiteral("Del")},
        MenuEntry::separator(QStringLiteral("mEditBar1")),
        {QStringLiteral("mEditAll"), QStringLiteral("全选(&A)"), [this] { selectAll(); },
         QStringLiteral("Ctrl+A")},
    };
}

MenuDef EditMenu::menu() {
    return {QStringLiteral("mnuEdit"), QStringLiteral("编辑(&E)"), entries()};
}

void EditMenu::attach(const BuiltMenus& built, Start start) {
    built_ = built;
    for (const QString& name : actionNames())
        if (QAction* a = built_.action(name)) {
            // The box takes these keys itself while it has the focus; the
            // menu's shortcuts serve the rest of the window.
            a->setShortcutContext(Qt::WindowShortcut);
        }
    if (start == Start::FromState) {
        update();
        return;
    }
    for (const QString& name : actionNames())
        if (name != u"mEditAll") setEnabled(name, false);
}

void EditMenu::setEnabled(const QString& name, bool on) {
    if (QAction* a = built_.action(name)) a->setEnabled(on);
}

void EditMenu::update() {
    const bool selected = box_ && box_->textCursor().hasSelection();
    const bool editable = box_ && !box_->isReadOnly();
    setEnabled(QStringLiteral("mEditCut"), selected && editable);
    setEnabled(QStringLiteral("mEditCopy"), selected);
    setEnabled(QStringLiteral("mEditDelete"), selected && editable);
    setEnabled(QStringLiteral("mEditPaste"), editable && !QApplication::clipboard()->text().isEmpty());
}

void EditMenu::cut() {
    // Without a selection there is nothing to cut: the clipboard keeps what
    // it holds rather than being emptied.
    if (!box_ || !box_->textCursor().hasSelection()) return;
    copy();
    remove();
}

void EditMenu::copy() {
    if (!box_) return;
    const QTextCursor c = box_->textCursor();
    if (!c.hasSelection()) return;
    QString text = c.selectedText();
    text.replace(QChar::ParagraphSeparator, u'\n').replace(QChar::LineSeparator, u'\n');
    QApplication::clipboard()->setText(text);
}

void EditMenu::paste() {
    if (!box_ || box_->isReadOnly()) return;
    const QString text = QApplication::clipboard()->text();
    if (text.isEmpty()) return;
    box_->insertPlainText(text);
}

void EditMenu::remove() {
    if (!box_ || box_->isReadOnly()) return;
    QTextCursor c = box_->textCursor();
    if (!c.hasSelection()) return;
    c.removeSelectedText();
    box_->setTextCursor(c);
}

void EditMenu::selectAll() {
    if (!box_) return;
    box_->setFocus();
    box_->selectAll();
}

} // namespace shell
