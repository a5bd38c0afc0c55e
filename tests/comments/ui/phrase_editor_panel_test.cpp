// The library editor frame fraAddPy driven through its controls.
#include "WidgetSupport.h"
#include "comments/model/PhraseLibrary.h"
#include "comments/ui/PhraseEditorPanel.h"
#include "shell/core/StatementTable.h"
#include "shell/ui/MessageBox.h"
#include "shell/ui/NumberGrid.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using namespace comments;
using shell::MessageBox;
using testing_support::child;

namespace {

struct Panel {
    testing_support::DataFolder folder;
    PhraseEditorPanel panel;
    Panel() {
        panel.resize(760, 420);
        panel.show();
        MessageBox::takeShown();
    }
    QComboBox* box(int i) { return child<QComboBox>(&panel, QStringLiteral("cobAddText(%1)").arg(i)); }
    QPushButton* cmd(int i) { return child<QPushButton>(&panel, QStringLiteral("cmdAddText(%1)").arg(i)); }
    QPlainTextEdit* text() { return child<QPlainTextEdit>(&panel, "txtAddPy"); }
    shell::NumberGrid* grid() { return child<shell::NumberGrid>(&panel, "msGridPy"); }
    QLabel* number() { return child<QLabel>(&panel, "Label1"); }
    void type(int i, const QString& s) { box(i)->setEditText(s); }
    void enter(int i) {
        QTest::keyClick(box(i)->lineEdit(), Qt::Key_Return);
        QCoreApplication::processEvents();
    }
    int count() {
        auto t = shell::StatementTable::open(libraryPath(), kPhraseTable);
        return t ? t->count() : -1;
    }
};

} // namespace

TEST(PhraseEditorPanel, StartsWithItsFirstCategoryAndTitle) {
    Panel p;
    EXPECT_EQ(p.panel.objectName(), "fraAddPy");
    ASSERT_TRUE(p.box(0) && p.box(1) && p.cmd(0) && p.cmd(1) && p.cmd(2) && p.text() && p.grid() &&
                p.number());
    EXPECT_EQ(p.box(0)->currentText(), "本期印象");
    EXPECT_EQ(p.box(0)->count(), 12);
    EXPECT_EQ(p.box(1)->currentText(), "有礼貌");
    EXPECT_EQ(p.cmd(0)->text(), "打开");
    EXPECT_EQ(p.cmd(1)->text(), "添加");
    EXPECT_EQ(p.cmd(2)->text(), "更新");
    EXPECT_EQ(child<QPushButton>(&p.panel, "cmdAddBack")->text(), "返回");
    EXPECT_EQ(p.number()->text(), "xxx编号xxx");
    EXPECT_EQ(p.grid()->grid().rows(), 16);
    QSignalSpy back(&p.panel, &PhraseEditorPanel::backRequested);
    child<QPushButton>(&p.panel, "cmdAddBack")->click();
    EXPECT_EQ(back.size(), 1);
}

TEST(PhraseEditorPanel, RefusalsWriteNothing) {
    Panel p;
    QSignalSpy changed(&p.panel, &PhraseEditorPanel::libraryChanged);
    struct Case {
        QString category, title, message;
    };
    const Case cases[] = {
        {"", "有礼貌", "请输入项目名称！"},
        {"本期印象", " ", "请输入项目名称！"},
        {"本期印像", "有礼貌", "输入名称错误，请重选！"},
        {"本期印象", QString(51, QChar(u'题')), "项目名称太长，不要超过50个字！"},
    };
    p.text()->setPlainText("你很懂事。");
    for (const Case& c : cases) {
        p.type(0, c.category);
        p.type(1, c.title);
        p.cmd(1)->click();
        EXPECT_EQ(MessageBox::takeShown(), QStringList{c.message}) << c.category.toStdString();
    }
    // Update with nothing selected.
    p.cmd(2)->click();
    EXPECT_EQ(MessageBox::takeShown(), QStringList{"该条评语更新失败！"});
    EXPECT_EQ(p.count(), 0);
    EXPECT_EQ(changed.size(), 0);
    EXPECT_EQ(p.text()->toPlainText(), "你很懂事。"); // what was typed stays

    // A category typed wrong and confirmed with Enter is refused too.
    p.type(0, "行为");
    p.enter(0);
    EXPECT_EQ(MessageBox::takeShown(), QStringList{"输入名称错误，请重选！"});
}

TEST(PhraseEditorPanel, AddPickAndUpdate) {
    Panel p;
    QSignalSpy changed(&p.panel, &PhraseEditorPanel::libraryChanged);
    p.type(0, "行为纪律");
    p.type(1, "守纪律");
    p.text()->setPlainText("你遵守课堂纪律。");
    p.cmd(1)->click();
    EXPECT_EQ(MessageBox::takeShown(), QStringList{"该条评语已经成功添加！"});
    p.text()->setPlainText("你按时到校。");
    p.cmd(1)->click();
    EXPECT_EQ(MessageBox::takeShown(), QStringList{"该条评语已经成功添加！"});
    EXPECT_EQ(p.count(), 2);
    EXPECT_EQ(changed.size(), 2);
    EXPECT_EQ(p.grid()->grid().text(2, 1), "2");

    // Choosing the category lists its titles and shows the last one.
    p.type(1, "");
    p.enter(0);
    EXPECT_EQ(p.box(1)->count(), 1);
    EXPECT_EQ(p.box(1)->currentText(), "守纪律");

    // Entering the editor view clears the selection; a picked row shows
    // its number and text, and 更新 changes that phrase only.
    p.panel.enter();
    EXPECT_TRUE(p.number()->text().isEmpty());
    EXPECT_TRUE(p.text()->toPlainText().isEmpty());
    p.enter(1);
    EXPECT_TRUE(MessageBox::takeShown().isEmpty());
    const QRect r = p.grid()->visualRect(p.grid()->model()->index(1, 1));
    QTest::mouseClick(p.grid()->viewport(), Qt::LeftButton, {}, r.center());
    EXPECT_EQ(p.number()->text(), "1");
    EXPECT_EQ(p.text()->toPlainText(), "你遵守课堂纪律。");
    p.text()->setPlainText("你自觉遵守课堂纪律。");
    p.cmd(2)->click();
    EXPECT_EQ(MessageBox::takeShown(), QStringList{"该条评语已经成功更新！"});
    auto t = shell::StatementTable::open(libraryPath(), kPhraseTable);
    EXPECT_EQ(t->rows()[0].text, "你自觉遵守课堂纪律。");
    EXPECT_EQ(t->rows()[1].text, "你按时到校。");
    EXPECT_EQ(t->rows()[0].category, "2");
}

TEST(PhraseEditorPanel, AfterAddTheNewPhraseIsTheOneShownAndUpdateChangesOnlyIt) {
    Panel p;
    p.type(0, "行为纪律");
    p.type(1, "守纪律");
    for (const char* text : {"你遵守课堂纪律。", "你按时到校。"}) {
        p.text()->setPlainText(QString::fromUtf8(text));
        p.cmd(1)->click();
    }
    MessageBox::takeShown();
    const QRect second = p.grid()->visualRect(p.grid()->model()->index(2, 1));
    QTest::mouseClick(p.grid()->viewport(), Qt::LeftButton, {}, second.center());
    ASSERT_EQ(p.number()->text(), "2");

    // A new title and phrase, added: the editor now shows that phrase.
    p.type(1, " 爱劳动 ");
    p.text()->setPlainText("你热爱劳动。");
    p.cmd(1)->click();
    EXPECT_EQ(MessageBox::takeShown(), QStringList{"该条评语已经成功添加！"});
    EXPECT_EQ(p.number()->text(), "3");
    EXPECT_EQ(p.box(1)->currentText(), "爱劳动");
    EXPECT_EQ(p.text()->toPlainText(), "你热爱劳动。");
    p.text()->setPlainText("你热爱劳动，积极参加值日。");
    p.cmd(2)->click();
    EXPECT_EQ(MessageBox::takeShown(), QStringList{"该条评语已经成功更新！"});
    auto t = shell::StatementTable::open(libraryPath(), kPhraseTable);
    ASSERT_EQ(t->count(), 3);
    EXPECT_EQ(t->rows()[0].text, "你遵守课堂纪律。");
    EXPECT_EQ(t->rows()[1].text, "你按时到校。");
    EXPECT_EQ(t->rows()[2].text, "你热爱劳动，积极参加值日。");

    // A phrase picked under one title is not changed from another title's
    // grid.
    p.type(1, "守纪律");
    p.cmd(0)->click();
    QTest::mouseClick(p.grid()->viewport(), Qt::LeftButton, {}, second.center());
    ASSERT_EQ(p.number()->text(), "2");
    p.type(1, "爱劳动");
    p.cmd(0)->click();
    EXPECT_TRUE(p.number()->text().isEmpty());
    p.text()->setPlainText("不应写入。");
    p.cmd(2)->click();
    EXPECT_EQ(MessageBox::takeShown(), QStringList{"该条评语更新失败！"});
    t = shell::StatementTable::open(libraryPath(), kPhraseTable);
    EXPECT_EQ(t->rows()[1].text, "你按时到校。");
}
