#include "DialogSupport.h"
#include "WriterFixture.h"
#include "compose/ui/frmQiMoZhongJie.h"

#include <QFile>
#include <QLabel>
#include <QTemporaryDir>

using compose::Stage;
using compose::Writer;

TEST_F(WriterTest, SummaryPlacesStatementsAtTheCaretWithTheIndent) {
    add(Writer::Summary, Stage::Start, "3", "议论开头", "O");
    add(Writer::Summary, Stage::Start, "8", "通用开头", "G");
    add(Writer::Summary, Stage::Start, "2", "简述开头", "X");
    add(Writer::Summary, Stage::Middle, "3", "T", "M");
    add(Writer::Summary, Stage::Middle, "8", "通用中段", "N");
    add(Writer::Summary, Stage::Middle, "6", "纲要中段", "不列出");
    add(Writer::Summary, Stage::End, "5", "结尾", "E");
    auto* w = open("frmQiMoZhongJie");
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->windowTitle(), "期末总结枪手");
    EXPECT_TRUE(action(w, "munWindow") != nullptr || w->findChild<QObject*>("munWindow"));
    // Nothing selected, nothing on the clipboard: the edit entries wait.
    QApplication::clipboard()->clear();
    for (const char* n : {"mEditCut", "mEditCopy", "mEditDelete", "mEditPaste"})
        EXPECT_FALSE(action(w, n)->isEnabled()) << n;

    clickNode(w, "swLw1", true);
    EXPECT_EQ(items(w, 0), (QStringList{"议论开头", "通用开头"}));
    pickItem(w, 0, "议论开头", false);
    button(w, 1)->click();
    EXPECT_EQ(w->article().text(), "O");
    EXPECT_EQ(w->articleBox()->textCursor().position(), 1); // at the end
    EXPECT_EQ(items(w, 1), (QStringList{"T", "通用中段"}));

    // The first statement continues the opening's last line; the next one
    // follows on the line after it.
    pickItem(w, 1, "T", true);
    pickItem(w, 1, "通用中段", true);
    // Each statement starts its own paragraph, under its numbered heading.
    EXPECT_EQ(w->article().text(), "O\n一、T\nM\n二、通用中段\nN\n");
    for (int pos : {0, 2, 6, 8, 15})
        EXPECT_EQ(w->article().firstLineIndentAt(pos), 550) << pos;

    // With the caret after the opening, the insertion goes there and the
    // headings after it are numbered on.
    QTextCursor c = w->articleBox()->textCursor();
    c.setPosition(1);
    w->articleBox()->setTextCursor(c);
    pickItem(w, 1, "T", true);
    EXPECT_EQ(w->article().text(), "O\n一、T\nM\n二、T\nM\n三、通用中段\nN\n");
    EXPECT_EQ(w->articleBox()->textCursor().position(), 7);
    // One step back takes that statement and its renumbering away.
    w->article().document()->undo();
    EXPECT_EQ(w->article().text(), "O\n一、T\nM\n二、通用中段\nN\n");
    w->article().document()->redo();

    button(w, 3)->click();
    EXPECT_EQ(items(w, 2), QStringList{"结尾"});
    pickItem(w, 2, "结尾", true);
    EXPECT_TRUE(child<QLabel>(w, "labZJ")->isVisible());
    EXPECT_EQ(child<QLabel>(w, "labZJ")->text(), "恭完喜成你总已结");
    EXPECT_EQ(child<QLabel>(w, "labZJ")->font().family(), "华文新魏");
    EXPECT_EQ(w->highlightedStep(), 4);
}

// The starter bank's "综合·不足之处" after an opening: its heading stands on
// a line of its own and reads "一、不足之处", without the bank's label or a
// marker.
TEST_F(WriterTest, SummaryHeadingsShowOnlyTheirTextOnTheirOwnLine) {
    addStarter(Writer::Summary, Stage::Start);
    addStarter(Writer::Summary, Stage::Middle);
    auto* w = open("frmQiMoZhongJie");
    ASSERT_NE(w, nullptr);
    clickNode(w, "swJs1", true);
    const QStringList openings = items(w, 0);
    ASSERT_FALSE(openings.isEmpty());
    pickItem(w, 0, openings.first(), true);
    const QString opening = w->article().text();
    ASSERT_FALSE(opening.isEmpty());
    ASSERT_TRUE(items(w, 1).contains("综合·不足之处"));
    pickItem(w, 1, "综合·不足之处", true);
    pickItem(w, 1, "综合·今后打算", true);
    const QStringList lines = w->article().text().split(u'\n');
    ASSERT_EQ(lines.size(), 6);
    EXPECT_EQ(lines[0], opening);
    EXPECT_EQ(lines[1], "一、不足之处");
    EXPECT_EQ(lines[2], *w->library().find(Stage::Middle, "综合·不足之处"));
    EXPECT_EQ(lines[3], "二、今后打算");
    EXPECT_FALSE(w->article().text().contains(u'*'));
    EXPECT_FALSE(w->article().text().contains(u'·'));
}

TEST_F(WriterTest, SummarySampleListsItsOwnMiddlesAndEveryEnding) {
    add(Writer::Summary, Stage::Start, "11", "学校开头", "学校");
    add(Writer::Summary, Stage::Middle, "11", "学校德育", "德育");
    add(Writer::Summary, Stage::Middle, "12", "教研", "不列出");
    add(Writer::Summary, Stage::Middle, "8", "通用", "通用");
    add(Writer::Summary, Stage::End, "1", "结尾一", "一");
    add(Writer::Summary, Stage::End, "13", "结尾二", "二");
    auto* w = open("frmQiMoZhongJie");
    clickNode(w, "xxFl2", true);
    EXPECT_EQ(items(w, 0), QStringList{"学校开头"});
    pickItem(w, 0, "学校开头", true);
    EXPECT_EQ(items(w, 1), (QStringList{"学校德育", "通用"}));
    pickItem(w, 1, "学校德育", false);
    button(w, 3)->click();
    EXPECT_EQ(items(w, 2), (QStringList{"结尾一", "结尾二"}));
}

// Every way out of a writer with unsaved changes asks first.
TEST_F(WriterTest, ClosingAChangedArticleAsksOnEveryWayOut) {
    using shell::MessageBox;
    QTemporaryDir dir;
    auto& windows = shell::Windows::instance();
    const QString question = "当前文档期末总结枪手尚未保存！是否保存？";
    struct Way {
        const char* name;
        std::function<void(compose::WriterWindow*)> close;
    } ways[] = {
        {"close box", [](compose::WriterWindow* w) { w->close(); }},
        {"exit entry", [this](compose::WriterWindow* w) { action(w, "mFileExit")->trigger(); }},
        {"program exit", [&](compose::WriterWindow*) { windows.unload("frmQiMoZhongJie"); }},
    };
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        auto* w = open("frmQiMoZhongJie");
        ASSERT_NE(w, nullptr);
        // Unchanged: no question.
        w->article().setModified(false);
        w->article().append("x");
        // Yes, then the save dialog is cancelled: the window stays.
        MessageBox::setNextAnswer(MessageBox::Yes);
        shell::FileDialog::setNextFileName("");
        way.close(w);
        QApplication::processEvents();
        EXPECT_EQ(MessageBox::takeShown(), QStringList{question});
        ASSERT_EQ(windows.find("frmQiMoZhongJie"), w);
        // Yes and a folder that cannot be written: one message, still open.
        MessageBox::setNextAnswer(MessageBox::Yes);
        shell::FileDialog::setNextFileName(dir.filePath("no/such/总结.txt"));
        way.close(w);
        QApplication::processEvents();
        const QStringList shown = MessageBox::takeShown();
        ASSERT_EQ(shown.size(), 2);
        EXPECT_TRUE(shown[1].startsWith("无法写入文件“总结.txt”")) << shown[1].toStdString();
        ASSERT_EQ(windows.find("frmQiMoZhongJie"), w);
        EXPECT_TRUE(w->article().isModified());
        // Yes with a file: saved as plain text, then closed.
        MessageBox::setNextAnswer(MessageBox::Yes);
        const QString path = dir.filePath(QString::fromLatin1(way.name) + ".txt");
        shell::FileDialog::setNextFileName(path);
        way.close(w);
        QApplication::processEvents();
        EXPECT_EQ(MessageBox::takeShown(), QStringList{question});
        EXPECT_EQ(windows.find("frmQiMoZhongJie"), nullptr);
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(QString::fromUtf8(f.readAll()), "x");
    }
    // 取消: the window stays with its text and nothing is written.
    auto* w = open("frmQiMoZhongJie");
    w->article().append("y");
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        MessageBox::setNextAnswer(MessageBox::Cancel);
        shell::FileDialog::setNextFileName(dir.filePath("取消.txt"));
        way.close(w);
        QApplication::processEvents();
        shell::FileDialog::clearNextFileNames();
        EXPECT_EQ(MessageBox::takeShown(), QStringList{question});
        ASSERT_EQ(windows.find("frmQiMoZhongJie"), w);
        EXPECT_EQ(w->article().text(), "y");
        EXPECT_TRUE(w->article().isModified());
        EXPECT_FALSE(QFile::exists(dir.filePath("取消.txt")));
    }
    // No: closed without a file.
    MessageBox::setNextAnswer(MessageBox::No);
    w->close();
    QApplication::processEvents();
    EXPECT_EQ(MessageBox::takeShown(), QStringList{question});
    EXPECT_EQ(windows.find("frmQiMoZhongJie"), nullptr);
}

TEST_F(WriterTest, ExportWritesRtfWithIndentsAndAFailureKeepsTheArticleChanged) {
    QTemporaryDir dir;
    auto* w = open("frmKaiXueJiHua");
    w->article().replaceAll("第一段\n第二段");
    w->article().setIndentsAt(0, 550, 0);
    shell::FileDialog::setNextFileName(dir.filePath("no/such/plan.doc"));
    action(w, "mFileOut")->trigger();
    EXPECT_EQ(shell::MessageBox::takeShown().size(), 1);
    EXPECT_TRUE(w->article().isModified());

    // The dialog offers "开学计划.txt" with the TXT entry chosen, and a .txt
    // gets the article as text a Windows editor reads.
    testing_support::DialogSeen seen;
    testing_support::onFileDialog(testing_support::lookAndCancel(&seen));
    action(w, "mFileOut")->trigger();
    EXPECT_EQ(seen.name, "开学计划.txt");
    EXPECT_EQ(seen.filter, "TXT文件(*.txt)");
    shell::FileDialog::setNextFileName(dir.filePath("开学计划.txt"));
    action(w, "mFileOut")->trigger();
    EXPECT_EQ(QFile(dir.filePath("开学计划.txt")).size(), 3 + QString("第一段\r\n第二段").toUtf8().size());
    {
        QFile txt(dir.filePath("开学计划.txt"));
        ASSERT_TRUE(txt.open(QIODevice::ReadOnly));
        EXPECT_EQ(txt.readAll(), "\xEF\xBB\xBF" + QString("第一段\r\n第二段").toUtf8());
    }

    shell::FileDialog::setNextFileName(dir.filePath("plan")); // no extension added
    QTest::mouseClick(child<QLabel>(w, "labGCtext(5)"), Qt::LeftButton);
    EXPECT_EQ(w->highlightedStep(), 4);
    QFile f(dir.filePath("plan"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray rtf = f.readAll();
    EXPECT_TRUE(rtf.startsWith("{\\rtf1"));
    EXPECT_TRUE(rtf.contains("\\fi550"));
    EXPECT_FALSE(w->article().isModified());
    EXPECT_TRUE(shell::MessageBox::takeShown().isEmpty());
}

// The summary writer (and the lesson designer) open with cut, copy, paste
// and delete greyed even with text on the clipboard; from the first move in
// the article they follow the selection and the clipboard. The plan writer
// shows the clipboard's state at once.
TEST_F(WriterTest, EditEntriesStartGreyedInTheSummaryAndThenFollowTheArticle) {
    QApplication::clipboard()->setText("剪贴板上的字");
    auto* w = open("frmQiMoZhongJie");
    ASSERT_NE(w, nullptr);
    QApplication::processEvents();
    for (const char* n : {"mEditCut", "mEditCopy", "mEditDelete", "mEditPaste"})
        EXPECT_FALSE(action(w, n)->isEnabled()) << n;
    EXPECT_TRUE(action(w, "mEditAll")->isEnabled());

    w->article().replaceAll("开头的话");
    QTextCursor c = w->articleBox()->textCursor();
    c.setPosition(2);
    w->articleBox()->setTextCursor(c);
    EXPECT_TRUE(action(w, "mEditPaste")->isEnabled());
    EXPECT_FALSE(action(w, "mEditCut")->isEnabled());
    c.setPosition(0, QTextCursor::KeepAnchor);
    w->articleBox()->setTextCursor(c);
    for (const char* n : {"mEditCut", "mEditCopy", "mEditDelete"})
        EXPECT_TRUE(action(w, n)->isEnabled()) << n;
    QApplication::clipboard()->clear();
    EXPECT_FALSE(action(w, "mEditPaste")->isEnabled());

    QApplication::clipboard()->setText("剪贴板上的字");
    auto* plan = open("frmKaiXueJiHua");
    ASSERT_NE(plan, nullptr);
    EXPECT_TRUE(action(plan, "mEditPaste")->isEnabled());
    QApplication::clipboard()->clear();
}
