#include "Printers.h"
#include "WidgetSupport.h"
#include "lessons/model/LessonStore.h"
#include "lessons/ui/frmJiaoAn.h"
#include "shell/Windows.h"
#include "shell/core/SafeOpen.h"
#include "shell/ui/FileDialog.h"
#include "shell/ui/MessageBox.h"
#include "shell/ui/TreeView.h"
#include "store/Schema.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <gtest/gtest.h>

using namespace lessons;
using shell::FileDialog;
using shell::MessageBox;
using testing_support::child;
using testing_support::DataFolder;

namespace {

void settle() {
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

const QString kUnsavedNew = QStringLiteral("当前文档尚未保存！是否保存？");
const QString kUnsavedClose = QStringLiteral("当前文档教案设计能手尚未保存！是否保存？");

// A data folder, the window opened through the registry, and a folder for
// the teacher's files.
struct Fixture {
    DataFolder data;
    QTemporaryDir files;
    frmJiaoAn* w = nullptr;
    Fixture() {
        MessageBox::takeShown();
        FileDialog::clearNextFileNames();
        w = qobject_cast<frmJiaoAn*>(shell::Windows::instance().open(QStringLiteral("frmJiaoAn")));
        settle();
    }
    ~Fixture() {
        if (shell::Windows::instance().find(QStringLiteral("frmJiaoAn"))) {
            // Leave without saving whatever the test left behind.
            if (w->isModified()) MessageBox::setNextAnswer(MessageBox::No);
            shell::Windows::instance().unload(QStringLiteral("frmJiaoAn"));
        }
        settle();
        MessageBox::takeShown();
        FileDialog::clearNextFileNames();
    }
    QString file(const QString& name) const { return QDir(files.path()).filePath(name); }
    QTextEdit* plan() const { return child<QTextEdit>(w, QStringLiteral("ricJAnewText")); }
    // Typing at the caret (keyClicks takes Latin-1 keys only).
    void type(const QString& text) const {
        plan()->setFocus();
        plan()->insertPlainText(text);
    }
    LessonLibrary library(const QString& subject) const {
        LessonLibrary lib(data.file(store::kCommonDb));
        lib.SubjectTable(subject);
        return lib;
    }
};

} // namespace

TEST(JiaoAnReference, TreeBySubjectAndReferenceView) {
    Fixture f;
    LessonLibrary lib = f.library(QStringLiteral("历史"));
    ASSERT_TRUE(lib.AddLesson({2, QStringLiteral("丝绸之路"), QStringLiteral("第二册的教案"),
                               QStringLiteral("分析二"), QStringLiteral("https://a.example/silk")}));
    ASSERT_TRUE(lib.AddLesson({1, QStringLiteral("造纸术"), QStringLiteral("造纸"), QString(), QString()}));
    // The same topic in volume 5, stored last, without analysis or address.
    ASSERT_TRUE(
        lib.AddLesson({5, QStringLiteral("丝绸之路"), QStringLiteral("第五册的教案"), QString(), QString()}));

    auto* subject = child<QComboBox>(f.w, QStringLiteral("cobOpenText"));
    auto* tree = child<shell::TreeView>(f.w, QStringLiteral("tvwClass"));
    ASSERT_TRUE(subject && tree);
    EXPECT_EQ(tree->tree().node(0).text, QStringLiteral("中学语文教案"));
    subject->setCurrentText(QStringLiteral("历史"));
    const shell::Tree& t = tree->tree();
    EXPECT_EQ(t.node(0).text, QStringLiteral("中学历史教案"));
    EXPECT_EQ(t.childTexts(QStringLiteral("explor")).size(), 12);
    EXPECT_EQ(t.childTexts(QStringLiteral("C2")), QStringList{QStringLiteral("丝绸之路")});
    EXPECT_EQ(t.childTexts(QStringLiteral("C5")), QStringList{QStringLiteral("丝绸之路")});
    EXPECT_TRUE(t.childTexts(QStringLiteral("C3")).isEmpty());
    // A subject that is none of the eight leaves the tree as it is.
    subject->setCurrentText(QStringLiteral("政治"));
    EXPECT_EQ(tree->tree().node(0).text, QStringLiteral("中学历史教案"));

    auto* view = child<QTextEdit>(f.w, QStringLiteral("ricJAoldText(0)"));
    auto* analysis = child<QTextEdit>(f.w, QStringLiteral("ricJAoldText(1)"));
    auto* address = child<QLineEdit>(f.w, QStringLiteral("Text1"));
    auto* title = child<QLabel>(f.w, QStringLiteral("labKT(0)"));
    Q_EMIT tree->nodeDoubleClicked(QStringLiteral("kt2"), QStringLiteral("丝绸之路"));
    EXPECT_EQ(title->text(), QStringLiteral("《丝绸之路》__教案参考"));
    EXPECT_EQ(child<QLabel>(f.w, QStringLiteral("labKT(1)"))->text(), title->text());
    // The record stored last gives the text; its empty analysis and
    // address leave the earlier ones.
    EXPECT_EQ(view->toPlainText(), QStringLiteral("第五册的教案"));
    EXPECT_EQ(analysis->toPlainText(), QStringLiteral("分析二"));
    EXPECT_EQ(address->text(), QStringLiteral("https://a.example/silk"));
    // A plan without analysis keeps the analysis on screen; a volume node
    // changes nothing but the title.
    Q_EMIT tree->nodeDoubleClicked(QStringLiteral("kt1"), QStringLiteral("造纸术"));
    EXPECT_EQ(view->toPlainText(), QStringLiteral("造纸"));
    EXPECT_EQ(analysis->toPlainText(), QStringLiteral("分析二"));
    Q_EMIT tree->nodeDoubleClicked(QStringLiteral("C1"), QStringLiteral("第一册"));
    EXPECT_EQ(view->toPlainText(), QStringLiteral("造纸"));
    EXPECT_EQ(title->text(), QStringLiteral("《第一册》__教案参考"));
    EXPECT_TRUE(MessageBox::takeShown().isEmpty());
}

TEST(JiaoAnReference, CoursewareGoesThroughTheSafeOpener) {
    Fixture f;
    QStringList launched;
    shell::setLauncherForTesting([&](const shell::OpenTarget& t) {
        launched << t.text;
        return true;
    });
    const QString script = f.file(QStringLiteral("课件.sh"));
    {
        QFile s(script);
        ASSERT_TRUE(s.open(QIODevice::WriteOnly));
        s.write("#!/bin/sh\necho hi\n");
    }
    QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    LessonLibrary lib = f.library(QStringLiteral("地理"));
    ASSERT_TRUE(lib.AddLesson({1, QStringLiteral("地图"), QStringLiteral("t"), QStringLiteral("a"), script}));
    ASSERT_TRUE(lib.AddLesson({1, QStringLiteral("气候"), QStringLiteral("t"), QStringLiteral("a"),
                               QStringLiteral("https://b.example/climate")}));
    child<QComboBox>(f.w, QStringLiteral("cobOpenText"))->setCurrentText(QStringLiteral("地理"));
    auto* tree = child<shell::TreeView>(f.w, QStringLiteral("tvwClass"));
    auto* link = child<QLabel>(f.w, QStringLiteral("labViewKj"));
    ASSERT_TRUE(link);
    EXPECT_EQ(link->toolTip(), QStringLiteral("点击这里，演示课件"));

    // A script is started only after Yes.
    Q_EMIT tree->nodeDoubleClicked(QStringLiteral("kt1"), QStringLiteral("地图"));
    MessageBox::setNextAnswer(MessageBox::No);
    QTest::mouseRelease(link, Qt::LeftButton);
    EXPECT_EQ(MessageBox::takeShown().size(), 1);
    EXPECT_TRUE(launched.isEmpty());
    MessageBox::setNextAnswer(MessageBox::Yes);
    QTest::mouseRelease(link, Qt::LeftButton);
    EXPECT_EQ(launched, QStringList{script});
    MessageBox::takeShown();

    // A web address goes to the browser without a question.
    launched.clear();
    Q_EMIT tree->nodeDoubleClicked(QStringLiteral("kt2"), QStringLiteral("气候"));
    QTest::mouseRelease(link, Qt::LeftButton);
    EXPECT_TRUE(MessageBox::takeShown().isEmpty());
    EXPECT_EQ(launched, QStringList{QStringLiteral("https://b.example/climate")});
    shell::setLauncherForTesting({});
}

TEST(JiaoAnDocument, EditEntriesStartGreyed) {
    QApplication::clipboard()->setText(QStringLiteral("剪贴板"));
    Fixture f;
    for (const char* name : {"mEditCut", "mEditCopy", "mEditPaste", "mEditDelete", "pasteText"}) {
        const auto* a = f.w->findChild<QAction*>(QString::fromLatin1(name));
        ASSERT_NE(a, nullptr) << name;
        EXPECT_FALSE(a->isEnabled()) << name;
    }
    // From the first move in the plan, paste follows the clipboard.
    f.plan()->moveCursor(QTextCursor::End);
    EXPECT_TRUE(f.w->findChild<QAction*>(QStringLiteral("pasteText"))->isEnabled());
    QApplication::clipboard()->clear();
}

TEST(JiaoAnDocument, NewAndSaveFlows) {
    Fixture f;
    // Unchanged: New does nothing and asks nothing.
    f.w->newFile();
    EXPECT_EQ(f.plan()->toPlainText(), QStringLiteral(" XXXX教案"));
    EXPECT_TRUE(MessageBox::takeShown().isEmpty());

    // Changed, Yes, and the Save As dialog cancelled: the text stays.
    f.plan()->setFocus();
    QTest::keyClicks(f.plan(), QStringLiteral("abc"));
    EXPECT_TRUE(f.w->isModified());
    const QString before = f.plan()->toPlainText();
    MessageBox::setNextAnswer(MessageBox::Yes);
    FileDialog::setNextFileName(QString());
    f.w->newFile();
    EXPECT_EQ(MessageBox::takeShown(), QStringList{kUnsavedNew});
    EXPECT_EQ(f.plan()->toPlainText(), before);
    EXPECT_TRUE(f.w->isModified());

    // Yes and a name: saved as UTF-8, then emptied.
    const QString a = f.file(QStringLiteral("甲.txt"));
    MessageBox::setNextAnswer(MessageBox::Yes);
    FileDialog::setNextFileName(a);
    f.w->newFile();
    EXPECT_EQ(MessageBox::takeShown(), QStringList{kUnsavedNew});
    EXPECT_EQ(QString::fromUtf8(readAll(a)), before);
    EXPECT_TRUE(f.plan()->toPlainText().isEmpty());
    EXPECT_FALSE(f.w->isModified());
    // New forgets the name: the next Save asks for one and leaves 甲 alone.
    EXPECT_TRUE(f.w->fileName().isEmpty());
    f.type(QStringLiteral("第二篇"));
    const QString b = f.file(QStringLiteral("乙.txt"));
    FileDialog::setNextFileName(b);
    ASSERT_TRUE(f.w->saveFile());
    EXPECT_EQ(QString::fromUtf8(readAll(a)), before);
    EXPECT_EQ(QString::fromUtf8(readAll(b)), QStringLiteral("第二篇"));
    EXPECT_EQ(f.w->fileName(), b);
    // After Save, New does nothing until the text is touched again.
    f.w->newFile();
    EXPECT_EQ(f.plan()->toPlainText(), QStringLiteral("第二篇"));
    EXPECT_EQ(MessageBox::takeShown(), QStringList());

    // Changed, No: emptied without writing.
    f.type(QStringLiteral("又改"));
    MessageBox::setNextAnswer(MessageBox::No);
    f.w->newFile();
    EXPECT_TRUE(f.plan()->toPlainText().isEmpty());
    EXPECT_EQ(QString::fromUtf8(readAll(b)), QStringLiteral("第二篇"));
    EXPECT_EQ(MessageBox::takeShown(), QStringList{kUnsavedNew});

    // Moving the caret alone marks the plan changed.
    const QString c = f.file(QStringLiteral("丁.txt"));
    FileDialog::setNextFileName(c);
    f.type(QStringLiteral("丁"));
    ASSERT_TRUE(f.w->saveFile());
    EXPECT_FALSE(f.w->isModified());
    f.plan()->moveCursor(QTextCursor::Start);
    EXPECT_TRUE(f.w->isModified());
}

TEST(JiaoAnDocument, FailedSaveKeepsTheFlagAndSaysWhy) {
    Fixture f;
    f.type(QStringLiteral("教案"));
    // A folder where the file should go cannot be written.
    const QString folder = f.file(QStringLiteral("占用.txt"));
    ASSERT_TRUE(QDir().mkdir(folder));
    FileDialog::setNextFileName(folder);
    EXPECT_FALSE(f.w->saveFileAs());
    const QStringList shown = MessageBox::takeShown();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown.first().contains(QStringLiteral("占用.txt"))) << shown.first().toStdString();
    EXPECT_TRUE(f.w->isModified());
    EXPECT_TRUE(f.w->fileName().isEmpty());
}

TEST(JiaoAnDocument, OpenAsksFirstAndReadsGb18030) {
    Fixture f;
    const QString plan = QStringLiteral("第一课　春天\n教学目标：朗读。");
    const QString gbFile = f.file(QStringLiteral("旧教案.txt"));
    {
        QFile out(gbFile);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        QStringEncoder gb("GB18030");
        ASSERT_TRUE(gb.isValid());
        out.write(gb.encode(plan));
    }
    // Unsaved changes: the question first; Yes with a cancelled Save As
    // keeps the text and opens nothing.
    f.type(QStringLiteral("我的"));
    const QString mine = f.plan()->toPlainText();
    MessageBox::setNextAnswer(MessageBox::Yes);
    FileDialog::setNextFileName(QString()); // Save As cancelled
    FileDialog::setNextFileName(gbFile);
    f.w->openFile();
    EXPECT_EQ(MessageBox::takeShown(), QStringList{kUnsavedNew});
    EXPECT_EQ(f.plan()->toPlainText(), mine);
    FileDialog::clearNextFileNames();

    // No: the file is opened.
    MessageBox::setNextAnswer(MessageBox::No);
    FileDialog::setNextFileName(gbFile);
    f.w->openFile();
    EXPECT_EQ(MessageBox::takeShown(), QStringList{kUnsavedNew});
    EXPECT_EQ(f.plan()->toPlainText(), plan);
    EXPECT_EQ(f.w->fileName(), gbFile);
    EXPECT_FALSE(f.w->isModified());

    // A cancelled open dialog changes nothing.
    FileDialog::setNextFileName(QString());
    f.w->openFile();
    EXPECT_EQ(f.w->fileName(), gbFile);
    // Save writes it back to the same file as UTF-8 (the caret was at the start).
    f.type(QStringLiteral("。"));
    ASSERT_TRUE(f.w->saveFile());
    EXPECT_EQ(readAll(gbFile),
              QString(QStringLiteral("。") + plan).replace(u'\n', QStringLiteral("\r\n")).toUtf8());
    EXPECT_EQ(MessageBox::takeShown(), QStringList());
}

TEST(JiaoAnDocument, CloseWithEachAnswer) {
    shell::Windows& reg = shell::Windows::instance();
    {
        // No: closes without writing anything.
        Fixture f;
        f.type(QStringLiteral("未存"));
        MessageBox::setNextAnswer(MessageBox::No);
        EXPECT_TRUE(reg.unload(QStringLiteral("frmJiaoAn")));
        settle();
        EXPECT_EQ(MessageBox::takeShown(), QStringList{kUnsavedClose});
        EXPECT_EQ(reg.find(QStringLiteral("frmJiaoAn")), nullptr);
        EXPECT_TRUE(QDir(f.files.path()).isEmpty());
    }
    {
        // Yes and a cancelled Save As: the window refuses to go and keeps the text.
        Fixture f;
        f.type(QStringLiteral("留下"));
        const QString text = f.plan()->toPlainText();
        MessageBox::setNextAnswer(MessageBox::Yes);
        FileDialog::setNextFileName(QString());
        EXPECT_FALSE(reg.unload(QStringLiteral("frmJiaoAn")));
        settle();
        ASSERT_EQ(reg.find(QStringLiteral("frmJiaoAn")), f.w);
        EXPECT_EQ(f.plan()->toPlainText(), text);
        EXPECT_TRUE(f.w->isModified());
        // Yes and a name: saved, then closed.
        const QString path = f.file(QStringLiteral("丙.txt"));
        MessageBox::setNextAnswer(MessageBox::Yes);
        FileDialog::setNextFileName(path);
        EXPECT_TRUE(reg.unload(QStringLiteral("frmJiaoAn")));
        settle();
        EXPECT_EQ(QString::fromUtf8(readAll(path)), text);
    }
}

// 取消 on the question keeps everything where it was: the window on close,
// the text on New and on Open, and nothing is written or opened.
TEST(JiaoAnDocument, CancelKeepsTheWindowAndItsText) {
    shell::Windows& reg = shell::Windows::instance();
    Fixture f;
    const QString other = f.file(QStringLiteral("别的.txt"));
    {
        QFile out(other);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write("other plan");
    }
    f.type(QStringLiteral("写了一半"));
    const QString text = f.plan()->toPlainText();
    struct Way {
        const char* name;
        QString question;
        std::function<void()> run;
    } ways[] = {
        {"new", kUnsavedNew, [&] { f.w->newFile(); }},
        {"open", kUnsavedNew, [&] { f.w->openFile(); }},
        {"close", kUnsavedClose, [&] { EXPECT_FALSE(reg.unload(QStringLiteral("frmJiaoAn"))); }},
    };
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        MessageBox::setNextAnswer(MessageBox::Cancel);
        // Were a dialog shown, it would save or open this.
        FileDialog::setNextFileName(other);
        way.run();
        settle();
        FileDialog::clearNextFileNames();
        EXPECT_EQ(MessageBox::takeShown(), QStringList{way.question});
        ASSERT_EQ(reg.find(QStringLiteral("frmJiaoAn")), f.w);
        EXPECT_EQ(f.plan()->toPlainText(), text);
        EXPECT_TRUE(f.w->isModified());
        EXPECT_TRUE(f.w->fileName().isEmpty());
        EXPECT_EQ(readAll(other), QByteArray("other plan"));
    }
}

TEST(JiaoAnDocument, ExportWritesRtfAndLeavesThePlanAlone) {
    Fixture f;
    f.plan()->selectAll();
    f.type(QStringLiteral("一、目标{理解}"));
    QTest::keyClick(f.plan(), Qt::Key_Return);
    f.type(QStringLiteral("二、过程"));
    const QString doc = f.file(QStringLiteral("导出.doc"));
    FileDialog::setNextFileName(doc);
    f.w->exportFile();
    EXPECT_TRUE(f.w->isModified());
    EXPECT_TRUE(f.w->fileName().isEmpty());
    const QByteArray rtf = readAll(doc);
    ASSERT_TRUE(rtf.startsWith("{\\rtf1")) << rtf.left(40).toStdString();

    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty()) GTEST_SKIP() << "LibreOffice is not installed (scripts/deps.sh installs it)";
    // Read back under an .rtf name, so the converter judges the content.
    const QString copy = f.file(QStringLiteral("readback.rtf"));
    ASSERT_TRUE(QFile::copy(doc, copy));
    QProcess p;
    p.start(soffice, {"-env:UserInstallation=file://" + f.file("profile"), "--headless", "--convert-to",
                      "txt:Text (encoded):UTF8", "--outdir", f.file("out"), copy});
    ASSERT_TRUE(p.waitForFinished(180000));
    QString back = QString::fromUtf8(readAll(f.file("out/readback.txt")));
    if (back.startsWith(QChar(0xFEFF))) back.remove(0, 1);
    back.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    EXPECT_EQ(back.trimmed(), QStringLiteral("一、目标{理解}\n二、过程")) << back.toStdString();
}

TEST(JiaoAnEditor, PanelChecksAddAndUpdate) {
    Fixture f;
    QTest::mouseClick(child<QPushButton>(f.w, QStringLiteral("cmdSelectText(1)")), Qt::LeftButton);
    auto* panel = child<QWidget>(f.w, QStringLiteral("fraJAclass(2)"));
    ASSERT_TRUE(panel && panel->isVisible());
    EXPECT_FALSE(child<QWidget>(f.w, QStringLiteral("fraJAclass(0)"))->isVisible());
    auto* subject = child<QComboBox>(f.w, QStringLiteral("cobAddText(0)"));
    auto* volume = child<QComboBox>(f.w, QStringLiteral("cobAddText(1)"));
    auto* topic = child<QComboBox>(f.w, QStringLiteral("cobAddText(2)"));
    auto* text = child<QTextEdit>(f.w, QStringLiteral("ricJAaddText"));
    auto* analysis = child<QTextEdit>(f.w, QStringLiteral("ricAddTextFX"));
    auto* address = child<QLineEdit>(f.w, QStringLiteral("txtKj"));
    auto* add = child<QPushButton>(f.w, QStringLiteral("cmdAddText(1)"));
    auto* update = child<QPushButton>(f.w, QStringLiteral("cmdAddText(2)"));
    ASSERT_TRUE(subject && volume && topic && text && analysis && address && add && update);
    EXPECT_EQ(volume->currentText(), QStringLiteral("1"));
    EXPECT_EQ(text->toPlainText(), QStringLiteral("增加新教案内容"));

    // No topic yet.
    QTest::mouseClick(add, Qt::LeftButton);
    EXPECT_EQ(MessageBox::takeShown(), QStringList{QStringLiteral("请输入课题名称！")});

    subject->setCurrentText(QStringLiteral("生物"));
    topic->setEditText(QStringLiteral("细胞"));
    address->clear();
    QTest::mouseClick(add, Qt::LeftButton);
    EXPECT_EQ(MessageBox::takeShown(), QStringList{QStringLiteral("该课已经成功保存！")});
    // The blank address became the maker's page before it was stored.
    EXPECT_EQ(address->text(), defaultCoursewareAddress());
    EXPECT_EQ(text->toPlainText(), QString(10, u' '));
    EXPECT_EQ(analysis->toPlainText(), QStringLiteral("注："));
    // Ten blanks count as no plan.
    QTest::mouseClick(add, Qt::LeftButton);
    EXPECT_EQ(MessageBox::takeShown(),
              QStringList{QStringLiteral("添加教案框或教案注析框没有内容，请添加！")});
    text->setPlainText(QStringLiteral("新写的"));
    QTest::mouseClick(add, Qt::LeftButton);
    EXPECT_EQ(MessageBox::takeShown(),
              QStringList{QStringLiteral("该册的课题名称已经存在，请另起名来区分保存！")});

    // A subject outside the eight and a volume outside 1–12 write nothing.
    const auto refused = [&](const QString& subj, const QString& vol, const QString& message) {
        subject->setCurrentText(subj);
        volume->setCurrentText(vol);
        topic->setEditText(QStringLiteral("新课"));
        QTest::mouseClick(add, Qt::LeftButton);
        EXPECT_EQ(MessageBox::takeShown(), QStringList{message}) << subj.toStdString() << vol.toStdString();
    };
    refused(QStringLiteral("政治"), QStringLiteral("1"), text::unknownSubject());
    refused(QStringLiteral("生物"), QStringLiteral("abc"), text::badVolume());
    refused(QStringLiteral("生物"), QStringLiteral("13"), text::badVolume());
    for (const QString& s : subjectNames()) {
        QStringList topics;
        LessonLibrary lib = f.library(s);
        ASSERT_TRUE(lib.ListTopics(1, &topics));
        EXPECT_FALSE(topics.contains(QStringLiteral("新课"))) << s.toStdString();
    }

    // Update in volume 1; the same topic in volume 2 is not there.
    subject->setCurrentText(QStringLiteral("生物"));
    volume->setCurrentText(QStringLiteral("2"));
    topic->setEditText(QStringLiteral("细胞"));
    QTest::mouseClick(update, Qt::LeftButton);
    EXPECT_EQ(MessageBox::takeShown(), QStringList{QStringLiteral("该册的课题名称不存在，请另写名称！")});
    volume->setCurrentText(QStringLiteral("1"));
    QTest::mouseClick(update, Qt::LeftButton);
    EXPECT_EQ(MessageBox::takeShown(), QStringList{QStringLiteral("该课教案已经成功更新！")});
    LessonPlan stored;
    ASSERT_TRUE(f.library(QStringLiteral("生物")).LoadLesson(1, QStringLiteral("细胞"), &stored));
    EXPECT_EQ(stored.text, QStringLiteral("新写的"));

    // Choosing a volume lists its topics, the last one in the box; an empty
    // volume leaves the box empty.
    volume->setCurrentIndex(0);
    Q_EMIT volume->activated(0);
    EXPECT_EQ(topic->count(), 1);
    EXPECT_EQ(topic->currentText(), QStringLiteral("细胞"));
    volume->setCurrentIndex(2);
    Q_EMIT volume->activated(2);
    EXPECT_EQ(topic->count(), 0);
    EXPECT_TRUE(topic->currentText().isEmpty());
    EXPECT_TRUE(MessageBox::takeShown().isEmpty());

    // Back to the reference: the tree is rebuilt.
    QTest::mouseClick(child<QPushButton>(f.w, QStringLiteral("cmdSelectText(0)")), Qt::LeftButton);
    EXPECT_FALSE(panel->isVisible());
}
