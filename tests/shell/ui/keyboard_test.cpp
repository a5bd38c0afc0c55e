// The keyboard in the program's windows: the usual shortcuts reach their
// menu entries in a shown window, no window gives one key to two entries
// (Qt then runs neither), and the class-file window opens a class on a
// double click or Enter.

#include "TestSupport.h"
#include "WidgetSupport.h"
#include "classes/model/ClassFiles.h"
#include "scores/ui/frmStudenCJ.h"
#include "shell/Windows.h"
#include "shell/ui/FileDialog.h"
#include "shell/ui/GridView.h"
#include "shell/ui/MessageBox.h"

#include <QAction>
#include <QApplication>
#include <QKeySequence>
#include <QLineEdit>
#include <QMap>
#include <QPushButton>
#include <QShortcut>
#include <QShortcutEvent>
#include <QTest>
#include <gtest/gtest.h>

using shell::Windows;

namespace {

class Keyboard : public ::testing::Test {
protected:
    testing_support::DataFolder folder;

    void SetUp() override { shell::MessageBox::takeShown(); }
    void TearDown() override {
        closeAll();
        shell::MessageBox::takeShown();
        shell::FileDialog::clearNextFileNames();
    }
    static void closeAll() {
        for (const QString& name : Windows::instance().loadedNames())
            Windows::instance().unload(name);
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible()) w->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    QWidget* openActive(const QString& name) {
        QWidget* w = Windows::instance().open(name);
        EXPECT_TRUE(w) << name.toStdString();
        if (!w) return nullptr;
        w->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(w)) << name.toStdString();
        return w;
    }
};

// Takes the shortcut events of one action without running it, so that a key
// can be checked without printing or closing anything.
class ShortcutCatcher : public QObject {
public:
    explicit ShortcutCatcher(QAction* a) : a_(a) { a->installEventFilter(this); }
    ~ShortcutCatcher() override {
        if (a_) a_->removeEventFilter(this);
    }
    int fired = 0;
    int ambiguous = 0;

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() != QEvent::Shortcut) return false;
        if (static_cast<QShortcutEvent*>(e)->isAmbiguous())
            ++ambiguous;
        else
            ++fired;
        return true;
    }

private:
    QPointer<QAction> a_;
};

} // namespace

TEST_F(Keyboard, UsualShortcutsReachTheirMenuEntries) {
    struct Case {
        const char* window;
        QKeyCombination key;
        const char* entry;
    };
    const Case cases[] = {
        {"frmStudenCJ", Qt::CTRL | Qt::Key_N, "mFileNew"},
        {"frmStudenCJ", Qt::CTRL | Qt::Key_O, "mFileOpem"},
        {"frmStudenCJ", Qt::CTRL | Qt::Key_Q, "mFileExit"},
        {"frmStudenCJ", QKeyCombination(Qt::Key_F1), "mHelpTopic"},
        {"frmStudenPY", Qt::CTRL | Qt::Key_Q, "mFileExit"},
        {"frmStudenPY", QKeyCombination(Qt::Key_F1), "mHelpTopic"},
        {"frmKaiXueJiHua", Qt::CTRL | Qt::Key_S, "mFileOut"},
        {"frmKaiXueJiHua", Qt::CTRL | Qt::Key_P, "mFilePrint"},
        {"frmKaiXueJiHua", Qt::CTRL | Qt::Key_Q, "mFileExit"},
        {"frmKaiXueJiHua", QKeyCombination(Qt::Key_F1), "mHelpTopic"},
        {"frmQiMoZhongJie", Qt::CTRL | Qt::Key_S, "mFileOut"},
        {"frmQiMoZhongJie", Qt::CTRL | Qt::Key_P, "mFilePrint"},
        {"frmQiMoZhongJie", Qt::CTRL | Qt::Key_Q, "mFileExit"},
        {"frmQiMoZhongJie", QKeyCombination(Qt::Key_F1), "mHelpTopic"},
        {"frmJiaoAn", Qt::CTRL | Qt::Key_N, "mFileNew"},
        {"frmJiaoAn", Qt::CTRL | Qt::Key_O, "mFileOpen"},
        {"frmJiaoAn", Qt::CTRL | Qt::Key_S, "mFileSave"},
        {"frmJiaoAn", Qt::CTRL | Qt::Key_P, "mFilePrint"},
        {"frmJiaoAn", Qt::CTRL | Qt::Key_Q, "mFileQuit"},
        {"frmJiaoAn", QKeyCombination(Qt::Key_F1), "mHelpTopic"},
    };
    for (const Case& c : cases) {
        const QString what =
            QStringLiteral("%1 %2").arg(QString::fromLatin1(c.window), QKeySequence(c.key).toString());
        SCOPED_TRACE(what.toStdString());
        QWidget* w = Windows::instance().find(QString::fromLatin1(c.window));
        if (!w) w = openActive(QString::fromLatin1(c.window));
        ASSERT_TRUE(w);
        auto* a = w->findChild<QAction*>(QString::fromLatin1(c.entry));
        ASSERT_TRUE(a);
        ShortcutCatcher catcher(a);
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : w;
        QTest::keyClick(target, c.key.key(), c.key.keyboardModifiers());
        EXPECT_EQ(catcher.fired, 1);
        EXPECT_EQ(catcher.ambiguous, 0);
    }

    // And for real: Ctrl+O in the score window brings up its class files,
    // Ctrl+Q closes a writer.
    closeAll();
    QWidget* scores = openActive(QStringLiteral("frmStudenCJ"));
    ASSERT_TRUE(scores);
    QTest::keyClick(scores, Qt::Key_O, Qt::ControlModifier);
    QWidget* classes = Windows::instance().find(QStringLiteral("frmOpenDatabase"));
    ASSERT_TRUE(classes);
    EXPECT_TRUE(classes->isVisible());
    Windows::instance().unload(QStringLiteral("frmOpenDatabase"));
    QPointer<QWidget> plan = openActive(QStringLiteral("frmKaiXueJiHua"));
    ASSERT_TRUE(plan);
    QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : plan.data(), Qt::Key_Q,
                    Qt::ControlModifier);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(!plan || !plan->isVisible());
}

TEST_F(Keyboard, NoWindowGivesOneKeyToTwoEntries) {
    QStringList names = Windows::knownNames();
    names << QStringLiteral("frmImport");
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        QWidget* w = Windows::instance().open(name);
        ASSERT_TRUE(w);
        QMap<QString, QStringList> byKey;
        for (QAction* a : w->findChildren<QAction*>())
            for (const QKeySequence& k : a->shortcuts())
                byKey[k.toString()] << a->objectName();
        for (QShortcut* s : w->findChildren<QShortcut*>())
            byKey[s->key().toString()] << s->objectName();
        for (auto it = byKey.cbegin(); it != byKey.cend(); ++it)
            EXPECT_EQ(it.value().size(), 1)
                << it.key().toStdString() << ": " << it.value().join(u',').toStdString();
    }
}

TEST_F(Keyboard, ClassFileWindowOpensAClassOnDoubleClickOrEnter) {
    ASSERT_TRUE(scores::ClassFiles::create(QStringLiteral("初一1班"), false));
    ASSERT_TRUE(scores::ClassFiles::create(QStringLiteral("初一2班"), false));
    auto& classes = testing_support::programClasses();
    auto* scoreWindow = qobject_cast<scores::frmStudenCJ*>(openActive(QStringLiteral("frmStudenCJ")));
    ASSERT_TRUE(scoreWindow);
    auto classWindow = [] { return Windows::instance().find(QStringLiteral("frmOpenDatabase")); };
    auto rowCentre = [](shell::GridView* g, int row) {
        return g->visualRect(g->model()->index(row, 1)).center();
    };

    struct Case {
        const char* what;
        const char* entry; // the score window's menu entry that opens the window
        bool doubleClick;  // else a click on the row, then Enter in the list
        int row;
        const char* opened; // the class open afterwards; empty: the window stays, nothing opened
        const char* named;  // what the name box then holds
    };
    const Case cases[] = {
        {"double click to open", "mFileOpem", true, 2, "初一2班", ""},
        {"Enter in the list", "mFileOpem", false, 1, "初一1班", ""},
        // Where the window makes a new class, a double click only names it.
        {"double click to make a class", "mFileNew", true, 1, "", "初一1班"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        classes.close(scores::ClassState::Taker::Scores);
        scoreWindow->entry(QString::fromLatin1(c.entry))->trigger();
        QWidget* d = classWindow();
        ASSERT_TRUE(d);
        auto* grid = d->findChild<shell::GridView*>(QStringLiteral("MSFlexGrid1"));
        ASSERT_TRUE(grid);
        if (c.doubleClick) {
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, rowCentre(grid, c.row));
            QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, rowCentre(grid, c.row));
        } else {
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, rowCentre(grid, c.row));
            grid->setFocus();
            QTest::keyClick(grid, Qt::Key_Return);
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (*c.opened) {
            EXPECT_FALSE(classWindow());
            EXPECT_TRUE(classes.scoresOpen());
            EXPECT_EQ(classes.workingClass(), QString::fromUtf8(c.opened));
            EXPECT_TRUE(scoreWindow->isEnabled());
        } else {
            ASSERT_TRUE(classWindow());
            EXPECT_FALSE(classes.scoresOpen());
            EXPECT_EQ(d->findChild<QLineEdit*>(QStringLiteral("txtFileName"))->text(),
                      QString::fromUtf8(c.named));
            EXPECT_EQ(shell::MessageBox::takeShown(), QStringList());
            Windows::instance().unload(QStringLiteral("frmOpenDatabase"));
        }
    }

    // Enter in the name box does what the visible button does: here it makes
    // the class typed.
    scoreWindow->entry(QStringLiteral("mFileNew"))->trigger();
    QWidget* d = classWindow();
    ASSERT_TRUE(d);
    auto* name = d->findChild<QLineEdit*>(QStringLiteral("txtFileName"));
    name->setFocus();
    name->setText(QStringLiteral("初一3班"));
    QTest::keyClick(name, Qt::Key_Enter);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(classWindow());
    EXPECT_TRUE(scores::ClassFiles::list().contains(QStringLiteral("初一3班")));
    EXPECT_EQ(classes.workingClass(), QStringLiteral("初一3班"));
}
