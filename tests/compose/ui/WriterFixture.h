#pragma once

#include "Printers.h"
#include "WidgetSupport.h"
#include "compose/model/Statements.h"
#include "compose/ui/WriterWindow.h"
#include "shell/Windows.h"
#include "shell/core/StarterContent.h"
#include "shell/core/StatementTable.h"
#include "shell/ui/FileDialog.h"
#include "shell/ui/GridView.h"
#include "shell/ui/MessageBox.h"
#include "shell/ui/TreeView.h"
#include "store/Store.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <gtest/gtest.h>

using testing_support::child;

// A data folder whose statement libraries hold only what a test adds, and
// a writer window opened by name over it.
class WriterTest : public ::testing::Test {
protected:
    testing_support::DataFolder folder;

    void SetUp() override {
        shell::MessageBox::takeShown();
        shell::FileDialog::clearNextFileNames();
        for (auto w : {compose::Writer::Plan, compose::Writer::Summary})
            for (auto s : {compose::Stage::Start, compose::Stage::Middle, compose::Stage::End}) {
                auto rs = store::Recordset::OpenTable(folder.file(compose::libraryFile(w)),
                                                      compose::tableName(w, s));
                ASSERT_TRUE(rs);
                for (rs->MoveFirst(); !rs->isEOF();)
                    ASSERT_TRUE(rs->Delete());
            }
    }
    void TearDown() override {
        auto& windows = shell::Windows::instance();
        const QString shots = qEnvironmentVariable("VELTRANO_SHOT_DIR");
        for (const char* name : {"frmKaiXueJiHua", "frmQiMoZhongJie"})
            if (auto* w = qobject_cast<compose::WriterWindow*>(windows.find(QString::fromLatin1(name)))) {
                // A picture of the window as the test left it, for looking at by eye.
                if (!shots.isEmpty())
                    w->grab().save(
                        shots + u'/' +
                        QString::fromUtf8(::testing::UnitTest::GetInstance()->current_test_info()->name()) +
                        ".png");
                w->article().setModified(false);
                windows.unload(QString::fromLatin1(name));
            }
        QApplication::processEvents();
        shell::MessageBox::takeShown();
    }

    void add(compose::Writer w, compose::Stage s, const QString& category, const QString& title,
             const QString& text, QVariant month = {}, QVariant week = {}) {
        auto t = shell::StatementTable::open(folder.file(compose::libraryFile(w)), compose::tableName(w, s));
        ASSERT_TRUE(t);
        ASSERT_TRUE(t->append(category, title, text, month, week));
    }

    // The bank's starter statements, as the program carries them.
    void addStarter(compose::Writer w, compose::Stage s) {
        const QString table = compose::tableName(w, s);
        QString why;
        const auto rows = shell::starterRows(table, &why);
        ASSERT_TRUE(rows) << why.toStdString();
        const auto field = [&](const QStringList& cells, const char* name) {
            return cells.value(int(rows->fields.indexOf(QString::fromUtf8(name))));
        };
        const auto number = [&](const QStringList& cells, const char* name) {
            const QString v = field(cells, name);
            return v.isEmpty() ? QVariant() : QVariant(v.toInt());
        };
        for (const QStringList& cells : rows->rows)
            add(w, s, field(cells, "类别"), field(cells, "标题"), field(cells, "内容"), number(cells, "月份"),
                number(cells, "周别"));
    }

    compose::WriterWindow* open(const char* name) {
        auto* w =
            qobject_cast<compose::WriterWindow*>(shell::Windows::instance().load(QString::fromLatin1(name)));
        if (w) w->show();
        return w;
    }
    static void clickNode(QWidget* w, const QString& key, bool twice) {
        auto* tree = child<shell::TreeView>(w, "tvwMode");
        QTreeWidgetItem* item = tree->item(key);
        ASSERT_NE(item, nullptr) << key.toStdString();
        tree->setCurrentItem(item);
        Q_EMIT tree->itemClicked(item, 0);
        if (twice) Q_EMIT tree->itemDoubleClicked(item, 0);
    }
    static QListWidget* list(QWidget* w, int i) {
        return child<QListWidget>(w, QStringLiteral("ListJHBT(%1)").arg(i));
    }
    // A click on the item with that text, then a double click when asked.
    static void pickItem(QWidget* w, int listIndex, const QString& text, bool twice) {
        QListWidget* l = list(w, listIndex);
        ASSERT_NE(l, nullptr);
        const auto found = l->findItems(text, Qt::MatchExactly);
        ASSERT_FALSE(found.isEmpty()) << text.toStdString();
        l->setCurrentItem(found.first());
        Q_EMIT l->itemClicked(found.first());
        if (twice) Q_EMIT l->itemDoubleClicked(found.first());
    }
    static QPushButton* button(QWidget* w, int i) {
        return child<QPushButton>(w, QStringLiteral("cmdBack(%1)").arg(i));
    }
    static QStringList items(QWidget* w, int i) {
        QStringList out;
        for (int r = 0; r < list(w, i)->count(); ++r)
            out << list(w, i)->item(r)->text();
        return out;
    }
    static QAction* action(QWidget* w, const char* name) {
        for (QAction* a : w->findChildren<QAction*>())
            if (a->objectName() == QLatin1String(name)) return a;
        return nullptr;
    }
};
