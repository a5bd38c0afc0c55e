#include "MessageBox.h"

#include <QApplication>
#include <QList>
#include <QMessageBox>
#include <QPushButton>

namespace shell {

namespace {
struct Seam {
    bool on = false;
    QList<MessageBox::Answer> answers;
    QStringList shown;
};
Seam& seam() {
    static Seam s;
    return s;
}
// A box belongs to a window, which the desktop keeps it above: the window
// asking, else the window the teacher is working in.
QWidget* owner(QWidget* parent) {
    return parent ? parent->window() : QApplication::activeWindow();
}
} // namespace

const QString& MessageBox::title() {
    static const QString t = QStringLiteral("系统提示：");
    return t;
}

void MessageBox::show(QWidget* parent, const QString& text) {
    if (seam().on) {
        seam().shown << text;
        if (!seam().answers.isEmpty()) seam().answers.removeFirst();
        return;
    }
    QMessageBox box(QMessageBox::Warning, title(), text, QMessageBox::Ok, owner(parent));
    box.button(QMessageBox::Ok)->setText(QStringLiteral("确定"));
    box.exec();
}

void MessageBox::showAll(QWidget* parent, const QStringList& texts) {
    for (const QString& t : texts)
        show(parent, t);
}

bool MessageBox::ask(QWidget* parent, const QString& text) {
    if (seam().on) {
        seam().shown << text;
        const Answer a = seam().answers.isEmpty() ? Yes : seam().answers.takeFirst();
        return a == Yes;
    }
    QMessageBox box(QMessageBox::Warning, title(), text, QMessageBox::Yes | QMessageBox::No, owner(parent));
    box.button(QMessageBox::Yes)->setText(QStringLiteral("是(&Y)"));
    box.button(QMessageBox::No)->setText(QStringLiteral("否(&N)"));
    return box.exec() == QMessageBox::Yes;
}

MessageBox::Answer MessageBox::askYesNoCancel(QWidget* parent, const QString& text) {
    if (seam().on) {
        seam().shown << text;
        return seam().answers.isEmpty() ? Yes : seam().answers.takeFirst();
    }
    QMessageBox box(QMessageBox::Warning, title(), text,
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, owner(parent));
    box.button(QMessageBox::Yes)->setText(QStringLiteral("是(&Y)"));
    box.button(QMessageBox::No)->setText(QStringLiteral("否(&N)"));
    box.button(QMessageBox::Cancel)->setText(QStringLiteral("取消"));
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return Yes;
    case QMessageBox::No:
        return No;
    default:
        return Cancel;
    }
}

void MessageBox::setTestMode(bool on) {
    seam() = Seam{};
    seam().on = on;
}
bool MessageBox::testMode() {
    return seam().on;
}
void MessageBox::setNextAnswer(Answer a) {
    seam().answers << a;
}
QStringList MessageBox::takeShown() {
    QStringList s = seam().shown;
    seam().shown.clear();
    return s;
}
QString MessageBox::lastShown() {
    return seam().shown.isEmpty() ? QString() : seam().shown.last();
}

} // namespace shell
