#pragma once

// The program's comment writer, opened through the window registry on a
// fresh data folder, with a class made through the real class-file window.

#include "CommentsFixture.h"
#include "WidgetSupport.h"
#include "classes/ui/frmOpenDatabase.h"
#include "comments/ui/frmStudenPY.h"
#include "shell/Windows.h"
#include "shell/ui/FileDialog.h"
#include "shell/ui/MessageBox.h"
#include "shell/ui/TreeView.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>

class CommentWindow : public ::testing::Test {
protected:
    testing_support::DataFolder folder;
    comments::frmStudenPY* w = nullptr;

    void SetUp() override {
        shell::MessageBox::takeShown();
        openWindow();
    }
    void TearDown() override {
        // A comment left unsaved by the test goes without a question.
        if (auto* open = qobject_cast<comments::frmStudenPY*>(
                shell::Windows::instance().find(QStringLiteral("frmStudenPY")));
            open && open->commentChanged())
            shell::MessageBox::setNextAnswer(shell::MessageBox::No);
        for (const char* name : {"frmOpenDatabase", "frmViewText", "frmStudenPY"})
            shell::Windows::instance().unload(QString::fromLatin1(name));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        shell::MessageBox::takeShown();
        shell::FileDialog::clearNextFileNames();
    }
    void openWindow() {
        w = qobject_cast<comments::frmStudenPY*>(
            shell::Windows::instance().open(QStringLiteral("frmStudenPY")));
        ASSERT_TRUE(w);
    }
    void reopenWindow() {
        if (w->commentChanged()) shell::MessageBox::setNextAnswer(shell::MessageBox::No);
        shell::Windows::instance().unload(QStringLiteral("frmStudenPY"));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        openWindow();
    }

    template <typename T> T* get(const QString& name, QWidget* parent = nullptr) {
        T* c = testing_support::child<T>(parent ? parent : w, name);
        EXPECT_TRUE(c) << name.toStdString();
        return c;
    }
    QComboBox* names() { return get<QComboBox>(QStringLiteral("cobNewStd")); }
    QPlainTextEdit* comment() { return get<QPlainTextEdit>(QStringLiteral("Text2")); }
    QPlainTextEdit* reference() { return get<QPlainTextEdit>(QStringLiteral("Text1")); }
    QLineEdit* number() { return get<QLineEdit>(QStringLiteral("txtStdBH")); }
    QPushButton* button(int i) { return get<QPushButton>(QStringLiteral("cmdYesNo(%1)").arg(i)); }
    QPushButton* page(int i) { return get<QPushButton>(QStringLiteral("cmdNamePage(%1)").arg(i)); }
    QString classDb() const { return folder.file(store::kClassDb); }

    scores::frmOpenDatabase* classWindow() {
        return qobject_cast<scores::frmOpenDatabase*>(
            shell::Windows::instance().find(QStringLiteral("frmOpenDatabase")));
    }
    // Creates (button 1) or opens (button 2) a class through the class-file
    // window the picture `picture` opens.
    void throughClassWindow(const char* picture, const QString& name, int action) {
        get<QToolButton>(QString::fromLatin1(picture))->click();
        scores::frmOpenDatabase* d = classWindow();
        ASSERT_TRUE(d);
        auto* box = get<QLineEdit>(QStringLiteral("txtFileName"), d);
        if (box->isReadOnly()) {
            const QStringList listed = scores::ClassFiles::list();
            ASSERT_TRUE(listed.contains(name));
            d->pick(int(listed.indexOf(name)) + 1);
        } else {
            box->setText(name);
        }
        get<QPushButton>(QStringLiteral("cmdFileYN(%1)").arg(action), d)->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    void createClass(const QString& name) { throughClassWindow("imgNewPyFile", name, 1); }
    void openClass(const QString& name) { throughClassWindow("imgOpenNewFile", name, 2); }
    void openReference(const QString& name) { throughClassWindow("imgOpenOldFile", name, 2); }

    // A pick from the name box's list with the mouse.
    void pick(int index) {
        names()->showPopup();
        names()->hidePopup();
        names()->setCurrentIndex(index);
        Q_EMIT names()->activated(index);
    }
    void typeName(const QString& name) {
        names()->lineEdit()->clear();
        // Key by key, as the teacher types (QTest's key clicks are ASCII).
        for (const QChar ch : name)
            QTest::sendKeyEvent(QTest::Click, names()->lineEdit(), Qt::Key_unknown, QString(ch),
                                Qt::NoModifier);
        QTest::keyClick(names(), Qt::Key_Return); // the box hands it to its line edit
    }
    QStringList listed() {
        QStringList out;
        for (int i = 0; i < names()->count(); ++i)
            out << names()->itemText(i);
        return out;
    }
    // Types a comment into the box and saves it.
    void save(const QString& text) {
        comment()->setPlainText(text);
        button(0)->click();
    }
};
