#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace shell {

// Every message and question of the program: a "系统提示：" box with the
// warning icon. Tests switch on the seam, queue answers and read the texts
// that would have been shown, without a modal loop.
class MessageBox {
public:
    enum Answer { Ok = 1, Cancel = 2, Yes = 6, No = 7 };

    static void show(QWidget* parent, const QString& text);
    // Each text in turn (an Outcome's messages).
    static void showAll(QWidget* parent, const QStringList& texts);
    // Yes/No question; true on Yes.
    static bool ask(QWidget* parent, const QString& text);
    // Yes/No/Cancel question (the unsaved-document question); Esc and the
    // close box answer Cancel.
    static Answer askYesNoCancel(QWidget* parent, const QString& text);

    // --- test seam ---
    static void setTestMode(bool on);
    static bool testMode();
    static void setNextAnswer(Answer a); // for the next ask(); default Yes
    static QStringList takeShown();      // texts shown since the last call
    static QString lastShown();

    static const QString& title();
};

} // namespace shell
