#pragma once

#include "MenuTable.h"

#include <QObject>
#include <QPointer>

class QTextEdit;

namespace shell {

// The Edit menu of a writer window over its article box: cut, copy, paste
// (as plain text, so a paste never brings another program's fonts into the
// article), delete and select all. Cut, copy and delete are enabled while
// the box has a selection, paste while the clipboard holds text; the states
// follow the box's selection and the clipboard as they change.
//
//   auto* edit = new EditMenu(article, this);
//   BuiltMenus built = buildMenuBar(bar, {..., edit->menu(), ...}, this);
//   edit->attach(built);
class EditMenu : public QObject {
    Q_OBJECT
public:
    EditMenu(QTextEdit* box, QObject* parent);

    // The rows mEditCut, mEditCopy, mEditPaste, mEditDelete, mEditBar1,
    // mEditAll, for a window's menu table.
    QList<MenuEntry> entries();
    // The whole menu: mnuEdit "编辑(&E)" with those rows.
    MenuDef menu();
    // Takes the built actions (by name) and sets their states: from the
    // selection and the clipboard now, or (Disabled) cut, copy, paste and
    // delete off until the box's selection, its caret or the clipboard
    // changes, as a window that opens with them greyed wants.
    enum class Start { FromState, Disabled };
    void attach(const BuiltMenus& built, Start start = Start::FromState);
    // Sets the states from the selection and the clipboard now.
    void update();

    void cut();
    void copy();
    void paste();
    void remove();
    void selectAll();

    static const QStringList& actionNames();

private:
    void setEnabled(const QString& name, bool on);

    QPointer<QTextEdit> box_;
    BuiltMenus built_;
};

} // namespace shell
