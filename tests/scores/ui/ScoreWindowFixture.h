#pragma once

// The program's score window, opened through the window registry on a
// fresh data folder and closed afterwards, with helpers that find its
// controls by name and read its grid.

#include "TestSupport.h"
#include "WidgetSupport.h"
#include "classes/ui/frmOpenDatabase.h"
#include "scores/ui/frames/TaskFrame.h"
#include "scores/ui/frmStudenCJ.h"
#include "shell/Windows.h"
#include "shell/ui/GridView.h"
#include "shell/ui/MessageBox.h"

#include <QAction>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

// The program's score window on a fresh data folder, closed afterwards.
class ScoreWindow : public ::testing::Test {
protected:
    testing_support::DataFolder folder;
    scores::frmStudenCJ* w = nullptr;

    void SetUp() override {
        shell::MessageBox::takeShown();
        w = qobject_cast<scores::frmStudenCJ*>(
            shell::Windows::instance().open(QStringLiteral("frmStudenCJ")));
        ASSERT_TRUE(w);
    }
    void TearDown() override {
        shell::Windows::instance().unload(QStringLiteral("frmOpenDatabase"));
        shell::Windows::instance().unload(QStringLiteral("frmStudenCJ"));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        shell::MessageBox::takeShown();
    }

    template <typename T> T* get(QWidget* parent, const QString& name) {
        T* c = testing_support::child<T>(parent, name);
        EXPECT_TRUE(c) << name.toStdString();
        return c;
    }
    scores::frmOpenDatabase* classWindow() {
        return qobject_cast<scores::frmOpenDatabase*>(
            shell::Windows::instance().find(QStringLiteral("frmOpenDatabase")));
    }
    // Creates a class through the real class-file window.
    void createClass(const QString& typed) {
        w->entry(QStringLiteral("mFileNew"))->trigger();
        scores::frmOpenDatabase* d = classWindow();
        ASSERT_TRUE(d);
        get<QLineEdit>(d, QStringLiteral("txtFileName"))->setText(typed);
        get<QPushButton>(d, QStringLiteral("cmdFileCjYN(1)"))->click();
    }
    void clickCell(int row, int col) {
        shell::GridView* g = w->grid();
        const QRect r = g->visualRect(g->model()->index(row, col));
        QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, r.center());
    }
    template <typename T> T* get(const QString& name) { return get<T>(w, name); }
    void menu(const char* entry) { w->entry(QString::fromLatin1(entry))->trigger(); }
    QString cell(int row, int col) const { return w->grid()->grid().text(row, col); }
    QStringList names() const {
        QStringList out;
        for (int r = 1; r < w->grid()->grid().rows() && !cell(r, 1).isEmpty(); ++r)
            out << cell(r, 1);
        return out;
    }
    bool frameShown(int index) const { return w->frame(index)->isVisible(); }
};
