#include "CommentWindowFixture.h"

#include "XlsxReadBack.h"
#include "scores/model/ScoreModel.h"
#include "scores/ui/frmStudenCJ.h"
#include "shell/ui/DocServices.h"
#include "shell/ui/UnsavedQuestion.h"

#include <QDir>
#include <QStatusBar>
#include <QTextCursor>

namespace cm = comments;

TEST_F(CommentWindow, LoadsWithNoClassAndItsNamedControls) {
    EXPECT_EQ(w->windowTitle(), QStringLiteral("学生评语快手"));
    EXPECT_EQ(get<QLabel>(QStringLiteral("labNewClass"))->text(), QStringLiteral("班别"));
    EXPECT_EQ(names()->currentText(), QStringLiteral("学生姓名"));
    EXPECT_EQ(reference()->toPlainText(), QStringLiteral("参考往期的评语："));
    EXPECT_EQ(get<QLabel>(QStringLiteral("labOldPy"))->text(), QStringLiteral("旧评语"));
    EXPECT_FALSE(page(0)->isEnabled());
    EXPECT_FALSE(page(1)->isEnabled());
    const char* captions[] = {"确认保存", "清除评语", "取消", "修改语库", "退出系统", "学生改名"};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(button(i)->text(), QString::fromUtf8(captions[i]));
    EXPECT_FALSE(button(5)->isEnabled());
    EXPECT_TRUE(get<QRadioButton>(QStringLiteral("optMakeSelect(0)"))->isChecked());
    EXPECT_TRUE(get<QListWidget>(QStringLiteral("ListStudens"))->isHidden());
    EXPECT_TRUE(get<QWidget>(QStringLiteral("fraAddPy"))->isHidden());

    const std::pair<const char*, const char*> entries[] = {
        {"mFileExcel", "生成电子表格(&E)"}, {"mFileOut", "导出评语(&O)"},
        {"mFilePrint", "打印评语(&P)"},     {"mFilePrintAll", "打印全班评语(&A)"},
        {"mFileExit", "退出系统(&X)"},      {"mFileNew", "编写新评语(&W)"},
        {"mFileEdit", "修改评语库(&E)"},    {"mToobHT", "画图(&I)"},
        {"mToobJSB", "记事本(&N)"},         {"mToobJSQ", "计算器(&S)"},
        {"mToobTXB", "通讯簿(&T)"},         {"mHelpTopic", "技术支持(&T)"},
        {"mHelpAbout", "关于Veltrano(&A)"},
    };
    for (const auto& [name, caption] : entries) {
        QAction* a = w->entry(QString::fromLatin1(name));
        ASSERT_TRUE(a) << name;
        EXPECT_EQ(a->text(), QString::fromUtf8(caption));
    }
    // The output entries need a working class.
    for (const char* e : {"mFileExcel", "mFileOut", "mFilePrint", "mFilePrintAll"})
        EXPECT_FALSE(w->entry(QString::fromLatin1(e))->isEnabled()) << e;

    // Saving with no class open.
    names()->setEditText(QStringLiteral("张三"));
    number()->setText(QStringLiteral("1"));
    save(QStringLiteral("好"));
    EXPECT_EQ(shell::MessageBox::takeShown(), QStringList{cm::kMsgNoClass});
    // The first class to open finds the text still there, unsaved, without
    // a question that no save could answer.
    createClass(QStringLiteral("初二(3)班"));
    EXPECT_EQ(shell::MessageBox::takeShown(), QStringList());
    EXPECT_EQ(comment()->toPlainText(), QStringLiteral("好"));
    EXPECT_TRUE(w->commentChanged());
}

TEST_F(CommentWindow, NewClassPickNavigateAndTypedNames) {
    createClass(QStringLiteral("初二(3)班"));
    EXPECT_TRUE(w->isEnabled());
    EXPECT_EQ(get<QLabel>(QStringLiteral("labNewClass"))->text(), QStringLiteral("初二(3)班"));
    EXPECT_EQ(listed(), QStringList{QStringLiteral("学生姓名")});
    for (const char* e : {"mFileExcel", "mFileOut", "mFilePrint", "mFilePrintAll"})
        EXPECT_TRUE(w->entry(QString::fromLatin1(e))->isEnabled()) << e;

    pick(0);
    EXPECT_EQ(comment()->toPlainText(), QStringLiteral("评语："));
    EXPECT_EQ(number()->text(), QStringLiteral("10001"));
    EXPECT_TRUE(button(5)->isEnabled());
    EXPECT_FALSE(page(0)->isEnabled());
    EXPECT_FALSE(page(1)->isEnabled()); // the only student is the last

    // A key in the number box while it holds a student's number.
    QTest::keyClick(number(), Qt::Key_5);
    EXPECT_EQ(shell::MessageBox::takeShown(), QStringList{cm::kMsgNumberExists});
    QTest::keyClick(number(), Qt::Key_A);
    EXPECT_EQ(shell::MessageBox::takeShown(), QStringList{QStringLiteral("分数只能以数字表示，请重做！")});

    // New students by typed name and number.
    for (const auto& [name, no] : {std::pair{"张三", "2"}, std::pair{"李四", "3"}}) {
        names()->setEditText(QString::fromUtf8(name));
        number()->setText(QString::fromLatin1(no));
        save(QStringLiteral("%1的评语。").arg(QString::fromUtf8(name)));
    }
    EXPECT_EQ(shell::MessageBox::takeShown(), QStringList());
    EXPECT_EQ(listed(), (QStringList{"学生姓名", "张三", "李四"}));
    // After a save the box shows what was saved for the student typed.
    EXPECT_EQ(comment()->toPlainText(), QStringLiteral("李四的评语。"));

    pick(0);
    page(1)->click();
    EXPECT_EQ(names()->currentText(), QStringLiteral("张三"));
    EXPECT_EQ(comment()->toPlainText(), QStringLiteral("张三的评语。"));
    EXPECT_TRUE(page(0)->isEnabled());
    page(1)->click();
    EXPECT_EQ(number()->text(), QStringLiteral("3"));
    EXPECT_FALSE(page(1)->isEnabled());

    // A typed name confirmed with Enter: not a list position.
    typeName(QStringLiteral("张三"));
    EXPECT_EQ(w->studenNumber(), 0);
    EXPECT_EQ(comment()->toPlainText(), QStringLiteral("张三的评语。"));
    EXPECT_FALSE(page(0)->isEnabled());
    EXPECT_TRUE(page(1)->isEnabled());

    // "取消" puts back what is stored; "清除评语" empties the box.
    comment()->setPlainText(QStringLiteral("改了一半"));
    button(2)->click();
    EXPECT_EQ(comment()->toPlainText(), QStringLiteral("张三的评语。"));
    button(1)->click();
    EXPECT_EQ(comment()->toPlainText(), QString());
}

TEST_F(CommentWindow, TwoStudentsOfOneNameKeepTheirOwnComments) {
    createClass(QStringLiteral("初二(3)班"));
    {
        auto rs = store::Recordset::OpenTable(classDb(), QStringLiteral("初二(3)班"));
        for (const char* no : {"1", "2"}) {
            rs->AddNew();
            rs->SetField(QStringLiteral("内容"), QStringLiteral("原%1").arg(QString::fromLatin1(no)));
            rs->SetField(QStringLiteral("姓名"), QStringLiteral("王芳"));
            rs->SetField(QStringLiteral("编号"), QString::fromLatin1(no));
            ASSERT_TRUE(rs->Update());
        }
    }
    openClass(QStringLiteral("初二(3)班"));
    ASSERT_EQ(listed(), (QStringList{"学生姓名", "王芳", "王芳"}));

    pick(1);
    page(1)->click(); // the second 王芳
    EXPECT_EQ(comment()->toPlainText(), QStringLiteral("原2"));
    save(QStringLiteral("第二位王芳"));
    EXPECT_EQ(shell::MessageBox::takeShown(), QStringList());
    pick(1);
    EXPECT_EQ(comment()->toPlainText(), QStringLiteral("原1"));
    save(QStringLiteral("第一位王芳"));

    const QStringList rows = tableTexts(classDb(), QStringLiteral("初二(3)班"));
    EXPECT_TRUE(rows[rows.size() - 2].startsWith(QStringLiteral("第一位王芳|王芳|1|")));
    EXPECT_TRUE(rows[rows.size() - 1].startsWith(QStringLiteral("第二位王芳|王芳|2|")));

    // Renaming the picked one leaves the other its name.
    names()->setEditText(QStringLiteral("王小芳"));
    button(5)->click();
    EXPECT_EQ(listed(), (QStringList{"学生姓名", "王小芳", "王芳"}));
    names()->setEditText(QStringLiteral("王芳"));
    button(5)->click();
    EXPECT_EQ(shell::MessageBox::takeShown(), QStringList{cm::kMsgNameExists});
}

TEST_F(CommentWindow, AStudentNamedLikeASubjectLeavesTheSettingsRowsAlone) {
    createClass(QStringLiteral("初二(3)班"));
    {
        classes::ClassState other;
        scores::ScoreModel m(other);
        ASSERT_TRUE(m.classOpened(QStringLiteral("初二(3)班")).ok);
        ASSERT_TRUE(m.addSubject("语文", "100").ok);
    }
    const QStringList settings = tableTexts(classDb(), QStringLiteral("初二(3)班")).mid(0, 13);
    names()->setEditText(QStringLiteral("语文"));
    number()->setText(QStringLiteral("7"));
    save(QStringLiteral("语文课代表。"));
    EXPECT_EQ(shell::MessageBox::takeShown(), QStringList());
    const QStringList rows = tableTexts(classDb(), QStringLiteral("初二(3)班"));
    EXPECT_EQ(rows.mid(0, 13), settings);
    EXPECT_EQ(rows.last(), QStringLiteral("语文课代表。|语文|7|0|0|0|0|0|0|0|0|0|0|0|0|0"));
    EXPECT_EQ(listed(), (QStringList{"学生姓名", "语文"}));
}

TEST_F(CommentWindow, RefusedAndFailedSavesSayWhyAndKeepTheText) {
    createClass(QStringLiteral("初二(3)班"));
    pick(0);
    struct Case {
        const char* name;
        const char* number;
        const char* text;
        QString message;
    };
    const Case cases[] = {
        {"学生姓名", "", "评语", cm::kMsgNoName},
        {"一二三四五六七八九", "5", "评语", cm::kMsgNameTooLong},
        {"学生姓名", "10001", "  ", cm::kMsgNoComment},
        {"赵六", "listKM4", "评语", cm::kMsgNumberReserved},
        {"赵六", "10001", "评语", cm::kMsgNumberExists},
    };
    const QStringList before = tableTexts(classDb(), QStringLiteral("初二(3)班"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        names()->setEditText(QString::fromUtf8(c.name));
        number()->setText(QString::fromUtf8(c.number));
        save(QString::fromUtf8(c.text));
        EXPECT_EQ(shell::MessageBox::takeShown(), QStringList{c.message});
        EXPECT_EQ(comment()->toPlainText(), QString::fromUtf8(c.text));
    }
    EXPECT_EQ(tableTexts(classDb(), QStringLiteral("初二(3)班")), before);

    execSql(classDb(), QStringLiteral("CREATE TRIGGER refuse BEFORE UPDATE ON \"初二(3)班\" "
                                      "BEGIN SELECT RAISE(ABORT, '磁盘已满'); END"));
    shell::MessageBox::setNextAnswer(shell::MessageBox::No); // the refused text goes
    pick(0);
    shell::MessageBox::takeShown();
    save(QStringLiteral("一段写了很久的评语"));
    const QStringList shown = shell::MessageBox::takeShown();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown[0].startsWith(QStringLiteral("保存失败：")));
    EXPECT_TRUE(shown[0].contains(QStringLiteral("磁盘已满")));
    EXPECT_EQ(comment()->toPlainText(), QStringLiteral("一段写了很久的评语"));
    EXPECT_EQ(tableTexts(classDb(), QStringLiteral("初二(3)班")), before);
}

TEST_F(CommentWindow, ReferenceClassShowsLastTermsComment) {
    ASSERT_TRUE(classes::ClassFiles::create(QStringLiteral("上学期"), true));
    createClass(QStringLiteral("本学期"));
    names()->setEditText(QStringLiteral("张三"));
    number()->setText(QStringLiteral("2"));
    save(QStringLiteral("新评语"));
    // No reference class yet: the box keeps its text.
    EXPECT_EQ(reference()->toPlainText(), QStringLiteral("参考往期的评语："));

    get<QToolButton>(QStringLiteral("imgOpenOldFile"))->click();
    EXPECT_TRUE(w->isEnabled()); // the reference pick leaves the writer usable
    shell::Windows::instance().unload(QStringLiteral("frmOpenDatabase"));
    openReference(QStringLiteral("上学期"));
    EXPECT_EQ(get<QLabel>(QStringLiteral("labOldClass"))->text(), QStringLiteral("上学期"));
    EXPECT_EQ(get<QLabel>(QStringLiteral("labNewClass"))->text(), QStringLiteral("本学期"));

    pick(0);
    EXPECT_EQ(reference()->toPlainText(), QStringLiteral("评语："));
    EXPECT_EQ(get<QLabel>(QStringLiteral("labOldPy"))->text(), QStringLiteral("学生姓名"));
    pick(1);
    EXPECT_EQ(reference()->toPlainText(), cm::kMsgNoReference);
}

TEST_F(CommentWindow, AClassTheScoreManagerCreatesBecomesTheWorkingClassShown) {
    createClass(QStringLiteral("评语班"));
    classes::frmOpenDatabase* d =
        classes::frmOpenDatabase::openFor(classes::frmOpenDatabase::Purpose::ScoreNew, nullptr);
    ASSERT_TRUE(d);
    get<QLineEdit>(QStringLiteral("txtFileName"), d)->setText(QStringLiteral("成绩班"));
    get<QPushButton>(QStringLiteral("cmdFileCjYN(1)"), d)->click();
    EXPECT_EQ(get<QLabel>(QStringLiteral("labNewClass"))->text(), QStringLiteral("成绩班"));
    EXPECT_EQ(listed(), QStringList());
}

// Another existing class opened in the score manager replaces the shared
// working class: the writer, showing the names of the one before, closes.
TEST_F(CommentWindow, AClassTheScoreManagerOpensClosesTheWriter) {
    createClass(QStringLiteral("评语班"));
    ASSERT_TRUE(classes::ClassFiles::create(QStringLiteral("成绩班"), false));
    auto* scoreWindow =
        qobject_cast<scores::frmStudenCJ*>(shell::Windows::instance().open(QStringLiteral("frmStudenCJ")));
    ASSERT_TRUE(scoreWindow);
    scoreWindow->entry(QStringLiteral("mFileOpem"))->trigger();
    classes::frmOpenDatabase* d = classWindow();
    ASSERT_TRUE(d);
    d->pick(int(classes::ClassFiles::list().indexOf(QStringLiteral("成绩班"))) + 1);
    get<QPushButton>(QStringLiteral("cmdFileCjYN(2)"), d)->click();
    EXPECT_FALSE(shell::Windows::instance().find(QStringLiteral("frmStudenPY")));
    EXPECT_TRUE(scoreWindow->isEnabled());
    EXPECT_EQ(testing_support::programClasses().workingClass(), QStringLiteral("成绩班"));
    w = nullptr;
    shell::Windows::instance().unload(QStringLiteral("frmStudenCJ"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST_F(CommentWindow, SpreadsheetOfTheClassIsWrittenAndOpened) {
    createClass(QStringLiteral("初二(3)班"));
    shell::takeShellOpened();
    w->entry(QStringLiteral("mFileExcel"))->trigger();
    const QStringList opened = shell::takeShellOpened();
    ASSERT_EQ(opened.size(), 1);
    EXPECT_TRUE(opened[0].endsWith(QStringLiteral(".xlsx")));
    EXPECT_EQ(
        shell::MessageBox::takeShown(),
        QStringList{QStringLiteral("评语电子表格已保存在：%1").arg(QDir::toNativeSeparators(opened[0]))});
    const testing_support::XlsxBook b = testing_support::readXlsx(opened[0]);
    ASSERT_TRUE(b.ok()) << b.error.toStdString();
    EXPECT_EQ(b.value(QStringLiteral("A1")).toString(), QStringLiteral("学生姓名"));
    EXPECT_EQ(b.value(QStringLiteral("A2")).toString(), QStringLiteral("评语："));
    EXPECT_EQ(b.dimensions, QStringLiteral("A1:A2"));
}

// A class of the sample student and 张伟, 陈静 and 李娜, opened in the writer.
class CommentClassOfThree : public CommentWindow {
protected:
    const QString cls = QStringLiteral("初二(3)班");
    void SetUp() override {
        CommentWindow::SetUp();
        ASSERT_TRUE(classes::ClassFiles::create(cls, true));
        auto rs = store::Recordset::OpenTable(classDb(), cls);
        const std::pair<const char*, const char*> students[] = {{"张伟", "2"}, {"陈静", "3"}, {"李娜", "4"}};
        for (const auto& [name, no] : students) {
            rs->AddNew();
            rs->SetField(QStringLiteral("内容"),
                         QStringLiteral("%1原来的评语。").arg(QString::fromUtf8(name)));
            rs->SetField(QStringLiteral("姓名"), QString::fromUtf8(name));
            rs->SetField(QStringLiteral("编号"), QString::fromLatin1(no));
            ASSERT_TRUE(rs->Update());
        }
        rs.reset();
        openClass(cls);
        ASSERT_EQ(listed(), (QStringList{"学生姓名", "张伟", "陈静", "李娜"}));
    }
    // The stored comment of the student with that number.
    QString stored(const char* number) {
        for (const QString& row : tableTexts(classDb(), cls)) {
            const QStringList f = row.split(u'|');
            if (f.value(2) == QString::fromLatin1(number)) return f.value(0);
        }
        return QStringLiteral("<none>");
    }
    QString storedName(const char* number) {
        for (const QString& row : tableTexts(classDb(), cls)) {
            const QStringList f = row.split(u'|');
            if (f.value(2) == QString::fromLatin1(number)) return f.value(1);
        }
        return QStringLiteral("<none>");
    }
    void typeComment(const QString& text) {
        QTextCursor end = comment()->textCursor();
        end.movePosition(QTextCursor::End);
        comment()->setTextCursor(end);
        comment()->insertPlainText(text);
    }
    QString status() { return w->statusBar()->currentMessage(); }
};

TEST_F(CommentClassOfThree, RenameChangesTheStudentShownWhateverWasPickedBefore) {
    pick(1); // 张伟, with the mouse
    page(1)->click();
    ASSERT_EQ(names()->currentText(), QStringLiteral("陈静"));
    names()->setEditText(QStringLiteral("陈静怡"));
    button(5)->click();
    EXPECT_EQ(shell::MessageBox::takeShown(), QStringList());
    EXPECT_EQ(storedName("2"), QStringLiteral("张伟"));
    EXPECT_EQ(storedName("3"), QStringLiteral("陈静怡"));
    EXPECT_EQ(listed(), (QStringList{"学生姓名", "张伟", "陈静怡", "李娜"}));
    EXPECT_EQ(w->studenName(), QStringLiteral("陈静怡"));
    EXPECT_EQ(w->studenNumber(), 3);
    EXPECT_EQ(comment()->toPlainText(), QStringLiteral("陈静原来的评语。"));

    // A student reached with Enter is the one renamed too.
    typeName(QStringLiteral("李娜"));
    names()->setEditText(QStringLiteral("李娜娜"));
    button(5)->click();
    EXPECT_EQ(storedName("4"), QStringLiteral("李娜娜"));
    EXPECT_EQ(storedName("2"), QStringLiteral("张伟"));
}

TEST_F(CommentClassOfThree, RenameOfANameTwoStudentsShareIsRefused) {
    {
        auto rs = store::Recordset::OpenTable(classDb(), cls);
        rs->AddNew();
        rs->SetField(QStringLiteral("姓名"), QStringLiteral("张伟"));
        rs->SetField(QStringLiteral("编号"), QStringLiteral("5"));
        ASSERT_TRUE(rs->Update());
    }
    openClass(cls);
    typeName(QStringLiteral("张伟")); // typed: both of them
    const QStringList before = tableTexts(classDb(), cls);
    names()->setEditText(QStringLiteral("张小伟"));
    button(5)->click();
    EXPECT_EQ(shell::MessageBox::takeShown(), QStringList{cm::kMsgSameNames});
    EXPECT_EQ(tableTexts(classDb(), cls), before);

    // Picked from the list, the second 张伟 alone.
    pick(4);
    names()->setEditText(QStringLiteral("张小伟"));
    button(5)->click();
    EXPECT_EQ(storedName("2"), QStringLiteral("张伟"));
    EXPECT_EQ(storedName("5"), QStringLiteral("张小伟"));
}

TEST_F(CommentClassOfThree, SaveSaysItSaved) {
    pick(1);
    typeComment(QStringLiteral("你很努力。"));
    EXPECT_TRUE(w->commentChanged());
    button(0)->click();
    EXPECT_EQ(stored("2"), QStringLiteral("张伟原来的评语。你很努力。"));
    EXPECT_EQ(status(), QStringLiteral("张伟的评语已保存。"));
    EXPECT_FALSE(w->commentChanged());
}

TEST_F(CommentClassOfThree, LeavingAnUnsavedCommentAsksFirstOnEveryWayOut) {
    const QString question = shell::unsavedText(QStringLiteral("张伟的评语"));
    const QString mine = QStringLiteral("张伟原来的评语。你很努力。");
    // Each way to another student; 否 lets the text go, 是 saves it for the
    // student it was written for, never for the one gone to, 取消 stays.
    struct Way {
        const char* what;
        std::function<void()> go;
        const char* arrivedAt;
    };
    const Way ways[] = {
        {"下一个", [this] { page(1)->click(); }, "陈静"},
        {"list pick", [this] { pick(3); }, "李娜"},
        {"Enter", [this] { typeName(QStringLiteral("陈静")); }, "陈静"},
    };
    for (const Way& way : ways) {
        for (const auto answer : {shell::MessageBox::No, shell::MessageBox::Yes, shell::MessageBox::Cancel}) {
            SCOPED_TRACE(std::string(way.what) + " answer " + std::to_string(int(answer)));
            execSql(classDb(),
                    QStringLiteral("UPDATE \"%1\" SET \"内容\" = \"姓名\" || '原来的评语。'").arg(cls));
            if (w->commentChanged()) button(2)->click(); // 取消: back to what is stored
            pick(1);
            ASSERT_EQ(shell::MessageBox::takeShown(), QStringList());
            typeComment(QStringLiteral("你很努力。"));
            shell::MessageBox::setNextAnswer(answer);
            way.go();
            EXPECT_EQ(shell::MessageBox::takeShown(), QStringList{question});
            if (answer == shell::MessageBox::Cancel) {
                // Still with 张伟 and what was typed; the name box says so.
                EXPECT_EQ(names()->currentText(), QStringLiteral("张伟"));
                EXPECT_EQ(w->studenName(), QStringLiteral("张伟"));
                EXPECT_EQ(w->studenNumber(), 2);
                EXPECT_EQ(comment()->toPlainText(), mine);
                EXPECT_EQ(stored("2"), QStringLiteral("张伟原来的评语。"));
                continue;
            }
            EXPECT_EQ(names()->currentText(), QString::fromUtf8(way.arrivedAt));
            EXPECT_EQ(comment()->toPlainText(),
                      QString::fromUtf8(way.arrivedAt) + QStringLiteral("原来的评语。"));
            EXPECT_EQ(stored("2"),
                      answer == shell::MessageBox::Yes ? mine : QStringLiteral("张伟原来的评语。"));
            EXPECT_EQ(stored("3"), QStringLiteral("陈静原来的评语。"));
            EXPECT_EQ(stored("4"), QStringLiteral("李娜原来的评语。"));
        }
    }
    // Nothing changed: no question.
    button(2)->click();
    pick(1);
    page(1)->click();
    EXPECT_EQ(shell::MessageBox::takeShown(), QStringList());

    // A save that is refused keeps the student and the text.
    pick(1);
    comment()->setPlainText(QStringLiteral("  "));
    page(1)->click();
    EXPECT_EQ(shell::MessageBox::takeShown(), (QStringList{question, cm::kMsgNoComment}));
    EXPECT_EQ(names()->currentText(), QStringLiteral("张伟"));
    EXPECT_EQ(w->studenNumber(), 2);
    EXPECT_EQ(comment()->toPlainText(), QStringLiteral("  "));
}

TEST_F(CommentClassOfThree, AnotherClassOrClosingAsksAboutTheUnsavedComment) {
    ASSERT_TRUE(classes::ClassFiles::create(QStringLiteral("初二(4)班"), true));
    pick(1);
    typeComment(QStringLiteral("你很努力。"));
    shell::MessageBox::setNextAnswer(shell::MessageBox::Yes);
    openClass(QStringLiteral("初二(4)班"));
    EXPECT_EQ(shell::MessageBox::takeShown(), QStringList{shell::unsavedText(QStringLiteral("张伟的评语"))});
    EXPECT_EQ(stored("2"), QStringLiteral("张伟原来的评语。你很努力。"));
    EXPECT_EQ(get<QLabel>(QStringLiteral("labNewClass"))->text(), QStringLiteral("初二(4)班"));

    // The score manager creates a class that becomes the writer's too: the
    // comment is saved into the class it was written for.
    openClass(cls);
    pick(2);
    typeComment(QStringLiteral("你很文静。"));
    classes::frmOpenDatabase* d =
        classes::frmOpenDatabase::openFor(classes::frmOpenDatabase::Purpose::ScoreNew, nullptr);
    ASSERT_TRUE(d);
    get<QLineEdit>(QStringLiteral("txtFileName"), d)->setText(QStringLiteral("成绩班"));
    get<QPushButton>(QStringLiteral("cmdFileCjYN(1)"), d)->click();
    EXPECT_EQ(shell::MessageBox::takeShown(), QStringList{shell::unsavedText(QStringLiteral("陈静的评语"))});
    EXPECT_EQ(stored("3"), QStringLiteral("陈静原来的评语。你很文静。"));
    EXPECT_EQ(get<QLabel>(QStringLiteral("labNewClass"))->text(), QStringLiteral("成绩班"));

    // 取消 keeps the class and the text; the class-file window stays shut.
    openClass(cls);
    pick(3);
    typeComment(QStringLiteral("你很活泼。"));
    shell::MessageBox::setNextAnswer(shell::MessageBox::Cancel);
    get<QToolButton>(QStringLiteral("imgOpenNewFile"))->click();
    EXPECT_EQ(shell::MessageBox::takeShown(), QStringList{shell::unsavedText(QStringLiteral("李娜的评语"))});
    EXPECT_FALSE(classWindow());
    EXPECT_EQ(comment()->toPlainText(), QStringLiteral("李娜原来的评语。你很活泼。"));

    // Closing: 取消 keeps the window; 是 saves, then the window goes.
    shell::MessageBox::setNextAnswer(shell::MessageBox::Cancel);
    EXPECT_FALSE(w->close());
    EXPECT_EQ(shell::MessageBox::takeShown(), QStringList{shell::unsavedText(QStringLiteral("李娜的评语"))});
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(stored("4"), QStringLiteral("李娜原来的评语。"));
    EXPECT_TRUE(w->close());
    EXPECT_EQ(shell::MessageBox::takeShown(), QStringList{shell::unsavedText(QStringLiteral("李娜的评语"))});
    EXPECT_EQ(stored("4"), QStringLiteral("李娜原来的评语。你很活泼。"));
}
