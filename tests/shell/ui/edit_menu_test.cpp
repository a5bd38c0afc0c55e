#include "WidgetSupport.h"
#include "shell/ui/EditMenu.h"
#include "shell/ui/MessageBox.h"
#include "shell/ui/UnsavedQuestion.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPointer>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

using shell::EditMenu;

namespace {
struct EditFixture {
    QWidget window;
    QTextEdit* box = new QTextEdit(&window);
    QMenuBar* bar = new QMenuBar(&window);
    EditMenu* edit = new EditMenu(box, &window);
    shell::BuiltMenus built;
    EditFixture() {
        built = shell::buildMenuBar(bar, {edit->menu()}, &window);
        edit->attach(built);
    }
    bool enabled(const char* name) const { return built.action(QString::fromLatin1(name))->isEnabled(); }
    void select(int from, int to) {
        QTextCursor c = box->textCursor();
        c.setPosition(from);
        c.setPosition(to, QTextCursor::KeepAnchor);
        box->setTextCursor(c);
    }
};
} // namespace

TEST(EditMenu, StatesFollowTheSelectionAndTheClipboard) {
    EditFixture f;
    QApplication::clipboard()->clear();
    f.box->setPlainText(QStringLiteral("认真备课"));
    EXPECT_EQ(f.bar->actions().first()->text(), QStringLiteral("编辑(&E)"));
    for (const char* n : {"mEditCut", "mEditCopy", "mEditDelete", "mEditPaste"})
        EXPECT_FALSE(f.enabled(n)) << n;
    EXPECT_TRUE(f.enabled("mEditAll"));
    f.select(0, 2);
    for (const char* n : {"mEditCut", "mEditCopy", "mEditDelete"})
        EXPECT_TRUE(f.enabled(n)) << n;
    QApplication::clipboard()->setText(QStringLiteral("x"));
    EXPECT_TRUE(f.enabled("mEditPaste"));
    f.select(1, 1);
    EXPECT_FALSE(f.enabled("mEditCut"));
    EXPECT_TRUE(f.enabled("mEditPaste"));
}

TEST(EditMenu, CutCopyPasteDeleteAndSelectAll) {
    EditFixture f;
    f.box->setPlainText(QStringLiteral("认真备课\n按时批改"));
    f.select(0, 2);
    f.built.action("mEditCut")->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("认真"));
    EXPECT_EQ(f.box->toPlainText(), QStringLiteral("备课\n按时批改"));

    // A cut without a selection leaves both the box and the clipboard alone.
    f.select(1, 1);
    f.edit->cut();
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("认真"));
    EXPECT_EQ(f.box->toPlainText(), QStringLiteral("备课\n按时批改"));

    // Paste takes the text only, never another program's formatting.
    auto* mime = new QMimeData;
    mime->setHtml(QStringLiteral("<b style='font-size:40pt'>加粗</b>"));
    mime->setText(QStringLiteral("加粗"));
    QApplication::clipboard()->setMimeData(mime);
    f.select(0, 0);
    f.built.action("mEditPaste")->trigger();
    EXPECT_EQ(f.box->toPlainText(), QStringLiteral("加粗备课\n按时批改"));
    EXPECT_FALSE(f.box->document()->toHtml().contains(QStringLiteral("40pt")));

    f.built.action("mEditAll")->trigger();
    f.built.action("mEditCopy")->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("加粗备课\n按时批改"));
    f.built.action("mEditDelete")->trigger();
    EXPECT_EQ(f.box->toPlainText(), QString());
}

TEST(UnsavedQuestion, AsksOnlyForAChangedDocumentAndKeepsItWhenTheSaveFails) {
    using shell::MessageBox;
    MessageBox::takeShown();
    int saves = 0;
    auto saveOk = [&] {
        ++saves;
        return true;
    };
    auto saveCancelled = [&] {
        ++saves;
        return false;
    };
    EXPECT_TRUE(shell::mayDiscard(nullptr, QStringLiteral("开学计划高手"), false, saveOk));
    EXPECT_TRUE(MessageBox::takeShown().isEmpty());

    struct Case {
        MessageBox::Answer answer;
        bool saved;
        bool goes;
        int saves;
    } cases[] = {{MessageBox::No, true, true, 0},
                 {MessageBox::Yes, true, true, 1},
                 {MessageBox::Yes, false, false, 1},
                 {MessageBox::Cancel, true, false, 0}};
    for (const Case& c : cases) {
        saves = 0;
        MessageBox::setNextAnswer(c.answer);
        EXPECT_EQ(shell::mayDiscard(nullptr, QStringLiteral("开学计划高手"), true,
                                    c.saved ? std::function<bool()>(saveOk) : saveCancelled),
                  c.goes);
        EXPECT_EQ(saves, c.saves);
        EXPECT_EQ(MessageBox::takeShown(),
                  QStringList{QStringLiteral("当前文档开学计划高手尚未保存！是否保存？")});
    }
}

// The real box, not the seam: the question offers 是, 否 and 取消 over its
// window, and 取消 (or Esc) answers Cancel.
TEST(UnsavedQuestion, TheBoxOffersCancelAndEscapeCancels) {
    using shell::MessageBox;
    QWidget window;
    window.show();
    struct Case {
        const char* press;
        shell::UnsavedAnswer expected;
    } cases[] = {{"取消", shell::UnsavedAnswer::Cancel},
                 {"Esc", shell::UnsavedAnswer::Cancel},
                 {"否(&N)", shell::UnsavedAnswer::Discard},
                 {"是(&Y)", shell::UnsavedAnswer::Save}};
    MessageBox::setTestMode(false);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.press);
        QStringList buttons;
        QString text;
        QWidget* parent = nullptr;
        // Answers the box once it is up (polling, so a slow start never
        // leaves the test waiting on a modal loop).
        std::function<void()> answer = [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) {
                QTimer::singleShot(10, answer);
                return;
            }
            text = box->text();
            parent = box->parentWidget();
            for (QAbstractButton* b : box->buttons())
                buttons << b->text();
            if (QLatin1String(c.press) == QLatin1String("Esc"))
                QTest::keyClick(box, Qt::Key_Escape);
            else
                for (QAbstractButton* b : box->buttons())
                    if (b->text() == QString::fromUtf8(c.press)) b->click();
            // A box without that button (or deaf to Esc) is ended with 否,
            // which the answer then shows.
            QPointer<QMessageBox> open(box);
            QTimer::singleShot(200, [open] {
                if (open) open->done(QMessageBox::No);
            });
        };
        QTimer::singleShot(0, answer);
        EXPECT_EQ(shell::askUnsaved(&window, QStringLiteral("教案设计能手")), c.expected);
        EXPECT_EQ(text, QStringLiteral("当前文档教案设计能手尚未保存！是否保存？"));
        EXPECT_EQ(parent, &window);
        buttons.sort();
        QStringList want{QStringLiteral("是(&Y)"), QStringLiteral("否(&N)"), QStringLiteral("取消")};
        want.sort();
        EXPECT_EQ(buttons, want);
    }
    MessageBox::setTestMode(true);
}
