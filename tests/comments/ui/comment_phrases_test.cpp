// The comment writer's phrase tree, its editor view and the rich-text export,
// driven through the window's controls.
#include "CommentWindowFixture.h"

#include "comments/model/CommentWriter.h"
#include "comments/model/PhraseEditor.h"
#include "comments/model/PhraseLibrary.h"
#include "shell/core/StarterContent.h"
#include "shell/core/Units.h"
#include "shell/ui/UnsavedQuestion.h"
#include "shell/windows/frmViewText.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPrintPreviewDialog>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTreeWidgetItem>

namespace cm = comments;

namespace {

const QString kTitle = QStringLiteral("测验标题");

// A title of its own in the first category, so the test knows every phrase
// it holds whatever the starter bank brings.
void addTestTitle() {
    cm::PhraseEditor editor;
    for (const char* text : {"甲。", "乙。", "丙。"})
        ASSERT_TRUE(editor.add(QStringLiteral("本期印象"), kTitle, QString::fromUtf8(text)));
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// LibreOffice's plain text of an RTF file, whatever its extension (copied
// under an .rtf name so the converter judges the content); empty without
// LibreOffice.
QString officeText(const QTemporaryDir& dir, const QString& file) {
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty()) return {};
    const QString copy = dir.filePath(QStringLiteral("readback.rtf"));
    QFile::remove(copy);
    QFile::copy(file, copy);
    QProcess p;
    p.start(soffice,
            {QStringLiteral("-env:UserInstallation=file://") + dir.filePath(QStringLiteral("profile")),
             QStringLiteral("--headless"), QStringLiteral("--convert-to"),
             QStringLiteral("txt:Text (encoded):UTF8"), QStringLiteral("--outdir"),
             dir.filePath(QStringLiteral("out")), copy});
    p.waitForFinished(180000);
    QString back = QString::fromUtf8(readAll(dir.filePath(QStringLiteral("out/readback.txt"))));
    if (back.startsWith(QChar(0xFEFF))) back.remove(0, 1);
    return back.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

// What pdftotext reads, in the form a test compares: compatibility forms
// folded, without blanks and line ends.
QString squeezed(QString t) {
    t = t.normalized(QString::NormalizationForm_KC);
    for (const QChar c : {QChar(u' '), QChar(u'\n')})
        t.remove(c);
    return t;
}

// The pages of a PDF as pdftotext reads them, squeezed.
QStringList pdfPages(const QString& pdf) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"),
            {QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdf, QStringLiteral("-")});
    if (!p.waitForFinished(30000)) return {QStringLiteral("<pdftotext failed>")};
    QStringList pages = QString::fromUtf8(p.readAllStandardOutput()).split(u'\f');
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty()) pages.removeLast();
    for (QString& page : pages)
        page = squeezed(page);
    return pages;
}

QPrintPreviewDialog* openPreview() {
    for (QWidget* top : QApplication::topLevelWidgets())
        if (auto* p = qobject_cast<QPrintPreviewDialog*>(top); p && p->isVisible()) return p;
    return nullptr;
}

} // namespace

class CommentPhrases : public CommentWindow {
protected:
    QList<int> draws; // the n of every draw of the random source

    void SetUp() override {
        CommentWindow::SetUp();
        addTestTitle();
        // The tree is built as the window loads.
        reopenWindow();
        // Always the last phrase, so the append is known.
        w->setRandomSource([this](int n) {
            draws << n;
            return n - 1;
        });
    }
    // Triggers a print entry and saves its preview as a PDF: the pages read
    // back.
    QStringList printedPages(const char* entry) {
        w->entry(QString::fromLatin1(entry))->trigger();
        QPrintPreviewDialog* preview = openPreview();
        if (!preview) return {QStringLiteral("<no preview>")};
        auto* toPdf = preview->findChild<QAction*>(QStringLiteral("actSavePdf"));
        if (!toPdf) return {QStringLiteral("<no PDF action>")};
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("评语.pdf"));
        shell::FileDialog::setNextFileName(pdf);
        toPdf->trigger();
        preview->close();
        return pdfPages(pdf);
    }
    shell::TreeView* tree() { return get<shell::TreeView>(QStringLiteral("tvwPyData")); }
    QListWidget* list() { return get<QListWidget>(QStringLiteral("ListStudens")); }
    QWidget* visible(const char* name) { return get<QWidget>(QString::fromLatin1(name)); }
    QString titleKey() {
        const shell::Tree& t = tree()->tree();
        for (const int i : t.children(QStringLiteral("C1")))
            if (t.node(i).text == kTitle) return t.node(i).key;
        return {};
    }
    // The tree's and the list's own signals, as their mouse handling sends
    // them.
    void doubleClickNode(const QString& key) {
        QTreeWidgetItem* item = tree()->item(key);
        ASSERT_TRUE(item) << key.toStdString();
        Q_EMIT tree()->itemDoubleClicked(item, 0);
    }
    void clickRow(int row, bool twice) {
        QListWidgetItem* item = list()->item(row);
        ASSERT_TRUE(item);
        if (twice)
            Q_EMIT list()->itemDoubleClicked(item);
        else
            Q_EMIT list()->itemClicked(item);
    }
    shell::frmViewText* preview() {
        return qobject_cast<shell::frmViewText*>(
            shell::Windows::instance().find(QStringLiteral("frmViewText")));
    }
    bool writingViewShown() {
        for (const char* f : {"fraMakeSelect", "fraNameSelect", "fraOldText", "fraNewText", "imgNewPyFile",
                              "imgOpenNewFile", "cobNewStd", "cmdNamePage(0)", "cmdNamePage(1)"})
            if (!visible(f)->isVisible()) return false;
        return !visible("fraAddPy")->isVisible();
    }
    bool editorViewShown() {
        for (const char* f : {"fraMakeSelect", "fraNameSelect", "fraOldText", "fraNewText", "imgNewPyFile",
                              "imgOpenNewFile", "cobNewStd", "cmdNamePage(0)", "cmdNamePage(1)"})
            if (visible(f)->isVisible()) return false;
        return visible("fraAddPy")->isVisible();
    }
};

TEST_F(CommentPhrases, TreeByCategoryAndTitleAppendsAtRandomOrByHand) {
    // Root, the twelve categories in their order, titles under them.
    const shell::Tree& t = tree()->tree();
    ASSERT_GE(t.count(), 1 + 12 + 1);
    EXPECT_EQ(t.node(0).key, QStringLiteral("explor"));
    EXPECT_EQ(t.node(0).text, QStringLiteral("学生评语库"));
    QStringList categoryKeys;
    for (int c = 1; c <= 12; ++c)
        categoryKeys << QStringLiteral("C%1").arg(c);
    EXPECT_EQ(t.childKeys(QStringLiteral("explor")), categoryKeys);
    EXPECT_EQ(t.childTexts(QStringLiteral("explor")), cm::categoryNames());
    const QString title = titleKey();
    ASSERT_TRUE(title.startsWith(QStringLiteral("kt"))) << title.toStdString();

    comment()->setPlainText(QStringLiteral("开头"));
    // A category holds titles, not phrases: nothing happens.
    doubleClickNode(QStringLiteral("C1"));
    EXPECT_EQ(comment()->toPlainText(), QStringLiteral("开头"));
    EXPECT_TRUE(draws.isEmpty());

    // Automatic: one of the title's three phrases, straight after the text.
    doubleClickNode(title);
    EXPECT_EQ(draws, QList<int>{3});
    EXPECT_EQ(comment()->toPlainText(), QStringLiteral("开头丙。"));
    EXPECT_TRUE(tree()->isVisible());
    EXPECT_FALSE(list()->isVisible());

    // By hand: the list takes the tree's place; a click shows the phrase in
    // the preview, a double click appends it and brings the tree back.
    get<QRadioButton>(QStringLiteral("optMakeSelect(1)"))->click();
    doubleClickNode(title);
    EXPECT_EQ(draws.size(), 1);
    ASSERT_TRUE(list()->isVisible());
    EXPECT_FALSE(tree()->isVisible());
    EXPECT_TRUE(visible("cmdBack")->isVisible());
    ASSERT_EQ(list()->count(), 3);
    EXPECT_EQ(list()->item(0)->text(), QStringLiteral("甲。"));
    clickRow(0, false);
    ASSERT_TRUE(preview());
    EXPECT_EQ(preview()->txtViewText()->toPlainText(), QStringLiteral("甲。"));
    clickRow(1, true);
    EXPECT_EQ(comment()->toPlainText(), QStringLiteral("开头丙。乙。"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(preview());
    EXPECT_TRUE(tree()->isVisible());
    EXPECT_FALSE(list()->isVisible());
    EXPECT_FALSE(visible("cmdBack")->isVisible());

    // "关闭列表" goes back without appending and closes the preview.
    doubleClickNode(title);
    clickRow(2, false);
    ASSERT_TRUE(preview());
    get<QPushButton>(QStringLiteral("cmdBack"))->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(preview());
    EXPECT_TRUE(tree()->isVisible());
    EXPECT_FALSE(list()->isVisible());
    EXPECT_EQ(comment()->toPlainText(), QStringLiteral("开头丙。乙。"));
    EXPECT_TRUE(shell::MessageBox::takeShown().isEmpty());
}

TEST_F(CommentPhrases, AppendingAfterYouNeverWritesYouYou) {
    // Automatic, from the starter bank, after a new student's "你".
    execSql(cm::libraryPath(), QStringLiteral("DELETE FROM \"studenPy\""));
    ASSERT_EQ(shell::loadStarterContent({{cm::libraryPath(), cm::kPhraseTable}}), QStringList());
    addTestTitle();
    cm::PhraseEditor editor;
    ASSERT_TRUE(editor.add(QStringLiteral("本期印象"), kTitle, QStringLiteral("你很棒。")));
    reopenWindow();
    w->setRandomSource([](int n) { return n - 1; });
    const shell::Tree& t = tree()->tree();
    QString polite;
    for (const int i : t.children(QStringLiteral("C1")))
        if (t.node(i).text == QStringLiteral("有礼貌")) polite = t.node(i).key;
    ASSERT_FALSE(polite.isEmpty());
    cm::PhraseLibrary library;
    ASSERT_TRUE(library.load());
    const QString last = library.ListPhrases(QStringLiteral("有礼貌")).last();
    ASSERT_TRUE(last.startsWith(u'你'));
    comment()->setPlainText(QStringLiteral("你"));
    doubleClickNode(polite);
    EXPECT_EQ(comment()->toPlainText(), last);

    // By hand, a phrase the teacher added, after a sentence that ends in 你.
    get<QRadioButton>(QStringLiteral("optMakeSelect(1)"))->click();
    comment()->setPlainText(QStringLiteral("同学们都说你"));
    doubleClickNode(titleKey());
    ASSERT_EQ(list()->count(), 4);
    clickRow(3, true);
    EXPECT_EQ(comment()->toPlainText(), QStringLiteral("同学们都说你很棒。"));
}

TEST_F(CommentPhrases, EditorViewComesAndGoesAndItsPhrasesAreOfferedOnReturn) {
    ASSERT_TRUE(writingViewShown());
    auto* panelText = get<QPlainTextEdit>(QStringLiteral("txtAddPy"));
    auto* number = get<QLabel>(QStringLiteral("Label1"));
    // Each way in with each way out; entering forgets the last selection.
    const std::pair<std::function<void()>, std::function<void()>> ways[] = {
        {[this] { w->entry(QStringLiteral("mFileEdit"))->trigger(); },
         [this] { get<QPushButton>(QStringLiteral("cmdAddBack"))->click(); }},
        {[this] { button(3)->click(); }, [this] { w->entry(QStringLiteral("mFileNew"))->trigger(); }},
    };
    for (const auto& [in, out] : ways) {
        panelText->setPlainText(QStringLiteral("上次的"));
        in();
        EXPECT_TRUE(w->editorView());
        EXPECT_TRUE(editorViewShown());
        EXPECT_TRUE(panelText->toPlainText().isEmpty());
        EXPECT_TRUE(number->text().isEmpty());
        out();
        EXPECT_FALSE(w->editorView());
        EXPECT_TRUE(writingViewShown());
    }

    // A phrase added in the editor is offered the next time its title is
    // listed, without reopening the window.
    w->entry(QStringLiteral("mFileEdit"))->trigger();
    get<QComboBox>(QStringLiteral("cobAddText(0)"))->setEditText(QStringLiteral("本期印象"));
    get<QComboBox>(QStringLiteral("cobAddText(1)"))->setEditText(kTitle);
    panelText->setPlainText(QStringLiteral("丁。"));
    get<QPushButton>(QStringLiteral("cmdAddText(1)"))->click();
    EXPECT_EQ(shell::MessageBox::takeShown(), QStringList{QStringLiteral("该条评语已经成功添加！")});
    get<QPushButton>(QStringLiteral("cmdAddBack"))->click();

    get<QRadioButton>(QStringLiteral("optMakeSelect(1)"))->click();
    doubleClickNode(titleKey());
    ASSERT_EQ(list()->count(), 4);
    EXPECT_EQ(list()->item(3)->text(), QStringLiteral("丁。"));

    // A picture of the editor view for a look at its layout.
    if (const QString dir = qEnvironmentVariable("VELTRANO_SHOT_DIR"); !dir.isEmpty()) {
        get<QPushButton>(QStringLiteral("cmdBack"))->click();
        w->entry(QStringLiteral("mFileEdit"))->trigger();
        get<QPushButton>(QStringLiteral("cmdAddText(0)"))->click();
        QCoreApplication::processEvents();
        EXPECT_TRUE(w->grab().save(QDir(dir).filePath(QStringLiteral("py-editor.png"))));
    }
}

TEST_F(CommentPhrases, ExportWritesEveryCommentAsRtfUnderTheChosenName) {
    createClass(QStringLiteral("初二(3)班"));
    names()->setEditText(QStringLiteral("张三"));
    number()->setText(QStringLiteral("10002"));
    // Characters RTF gives a meaning of its own.
    save(QStringLiteral("你是一个{勤奋}的学生\\好样的。"));
    names()->setEditText(QStringLiteral("李四"));
    number()->setText(QStringLiteral("10003"));
    save(QStringLiteral("加油。"));
    ASSERT_EQ(shell::MessageBox::takeShown(), QStringList());
    ASSERT_TRUE(w->entry(QStringLiteral("mFileOut"))->isEnabled());

    QTemporaryDir dir;
    // Cancelled: nothing written, nothing said.
    shell::FileDialog::setNextFileName(QString());
    w->entry(QStringLiteral("mFileOut"))->trigger();
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());
    EXPECT_TRUE(shell::MessageBox::takeShown().isEmpty());

    // A .wps name holds RTF too.
    const QString file = dir.filePath(QStringLiteral("评语.wps"));
    shell::FileDialog::setNextFileName(file);
    w->entry(QStringLiteral("mFileOut"))->trigger();
    EXPECT_TRUE(shell::MessageBox::takeShown().isEmpty());
    ASSERT_TRUE(readAll(file).startsWith("{\\rtf1")) << readAll(file).left(80).toStdString();

    const QString back = officeText(dir, file);
    if (back.isEmpty()) GTEST_SKIP() << "soffice (LibreOffice) is not installed: the RTF is not read back";
    // The sample student first, then both saved, in order.
    EXPECT_EQ(back.toStdString(),
              QStringLiteral("学生姓名:\n评语：\n张三:\n你是一个{勤奋}的学生\\好样的。\n李四:\n加油。\n")
                  .toStdString());
}

TEST_F(CommentPhrases, PrintIsTheCommentBeingWrittenUnsavedHeadedWithWhoseItIs) {
    createClass(QStringLiteral("初二(3)班"));
    pick(0);
    // Printed as it stands in the box, before any save.
    comment()->setPlainText(QStringLiteral("张三同学：\n你是一个勤奋的学生。"));
    const QStringList pages = printedPages("mFilePrint");
    // pdftotext gives full-width punctuation in its compatibility form.
    EXPECT_EQ(pages, QStringList{squeezed(QStringLiteral("姓名：学生姓名\n班级：初二(3)班\n日期：%1\n\n"
                                                         "张三同学：\n你是一个勤奋的学生。")
                                              .arg(shell::dateText(QDate::currentDate())))});
    EXPECT_TRUE(shell::MessageBox::takeShown().isEmpty());
    EXPECT_TRUE(w->commentChanged()); // printing saves nothing
}

TEST_F(CommentPhrases, PrintClassPutsEachStudentsCommentOnAPageOfItsOwn) {
    createClass(QStringLiteral("初二(3)班"));
    {
        auto rs = store::Recordset::OpenTable(classDb(), QStringLiteral("初二(3)班"));
        const std::tuple<const char*, const char*, QString> rows[] = {
            {"张三", "2", QStringLiteral("你热爱集体。")},
            {"李四", "3", QString()}, // nothing written yet: no page
            // Long enough to run over several lines of its page.
            {"王五", "4", QStringLiteral("你上课认真听讲，积极发言。").repeated(12)},
        };
        for (const auto& [name, no, text] : rows) {
            rs->AddNew();
            rs->SetField(QStringLiteral("内容"), text);
            rs->SetField(QStringLiteral("姓名"), QString::fromUtf8(name));
            rs->SetField(QStringLiteral("编号"), QString::fromLatin1(no));
            ASSERT_TRUE(rs->Update());
        }
    }
    openClass(QStringLiteral("初二(3)班"));
    // The comment being written is asked about and, saved, printed as it
    // now stands.
    pick(1);
    comment()->setPlainText(QStringLiteral("你热爱集体，乐于助人。"));
    const QStringList pages = printedPages("mFilePrintAll");
    EXPECT_EQ(shell::MessageBox::takeShown(), QStringList{shell::unsavedText(QStringLiteral("张三的评语"))});
    const QString date = shell::dateText(QDate::currentDate());
    auto page = [&](const char* name, const QString& text) {
        return squeezed(QStringLiteral("姓名：%1\n班级：初二(3)班\n日期：%2\n\n%3")
                            .arg(QString::fromUtf8(name), date, text));
    };
    EXPECT_EQ(pages, (QStringList{page("学生姓名", QStringLiteral("评语：")),
                                  page("张三", QStringLiteral("你热爱集体，乐于助人。")),
                                  page("王五", QStringLiteral("你上课认真听讲，积极发言。").repeated(12))}));
    EXPECT_FALSE(w->commentChanged());

    // 取消 prints nothing and keeps the text.
    comment()->setPlainText(QStringLiteral("还没想好"));
    shell::MessageBox::setNextAnswer(shell::MessageBox::Cancel);
    w->entry(QStringLiteral("mFilePrintAll"))->trigger();
    EXPECT_EQ(shell::MessageBox::takeShown(), QStringList{shell::unsavedText(QStringLiteral("张三的评语"))});
    EXPECT_FALSE(openPreview());
    EXPECT_EQ(comment()->toPlainText(), QStringLiteral("还没想好"));
}
