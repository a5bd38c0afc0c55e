#include "ScoreWindowFixture.h"
#include "ScoresFixture.h"
#include "WidgetSupport.h"

#include "classes/ui/frmOpenDatabase.h"
#include "scores/ui/frames/GapLabel.h"
#include "scores/ui/frames/TaskFrame.h"
#include "scores/ui/frmStudenCJ.h"
#include "shell/Windows.h"
#include "shell/core/Units.h"
#include "shell/ui/GridView.h"
#include "shell/ui/MessageBox.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <sqlite3.h>

using scores::frmOpenDatabase;
using testing_support::child;
namespace msg = scores::msg;

namespace {} // namespace

TEST_F(ScoreWindow, CreateAndOpenClassesThroughTheClassFileWindow) {
    EXPECT_FALSE(w->findChild<QMenu*>(QStringLiteral("mnuEdit"))->menuAction()->isVisible());
    EXPECT_FALSE(w->entry(QStringLiteral("mFilePrint"))->isEnabled());

    w->entry(QStringLiteral("mFileNew"))->trigger();
    frmOpenDatabase* d = classWindow();
    ASSERT_TRUE(d);
    EXPECT_FALSE(w->isEnabled()); // the caller waits for the class-file window
    auto* create = get<QPushButton>(d, QStringLiteral("cmdFileCjYN(1)"));
    EXPECT_FALSE(create->isHidden());
    EXPECT_FALSE(create->isEnabled());
    EXPECT_TRUE(get<QPushButton>(d, QStringLiteral("cmdFileCjYN(2)"))->isHidden());
    EXPECT_TRUE(get<QPushButton>(d, QStringLiteral("cmdFileYN(1)"))->isHidden());
    EXPECT_EQ(get<QLabel>(d, QStringLiteral("labNO"))->text(), QStringLiteral("new"));
    get<QLineEdit>(d, QStringLiteral("txtFileName"))->setText(QStringLiteral("  初一2班 "));
    EXPECT_TRUE(create->isEnabled());
    create->click();

    EXPECT_TRUE(w->isEnabled());
    EXPECT_TRUE(testing_support::programClasses().scoresOpen());
    EXPECT_EQ(testing_support::programClasses().workingClass(), QStringLiteral("初一2班"));
    EXPECT_EQ(w->statusPanel(0)->text(), QStringLiteral("初一2班"));
    EXPECT_EQ(w->statusPanel(2)->text(), QStringLiteral("共 0 位学生"));
    EXPECT_TRUE(w->findChild<QMenu*>(QStringLiteral("mnuEdit"))->menuAction()->isVisible());
    EXPECT_TRUE(w->entry(QStringLiteral("mFilePrint"))->isEnabled());
    EXPECT_EQ(shell::MessageBox::takeShown(), QStringList());

    // The same name again, in another case: refused, nothing listed twice.
    createClass(QStringLiteral("初一2班"));
    EXPECT_EQ(shell::MessageBox::takeShown(), QStringList{scores::ClassFiles::kMsgExists});
    EXPECT_EQ(scores::ClassFiles::list(), QStringList{QStringLiteral("初一2班")});
    EXPECT_TRUE(w->isEnabled());

    // Opening: the name box only takes picks; the heading row picks nothing.
    w->entry(QStringLiteral("mFileOpem"))->trigger();
    d = classWindow();
    ASSERT_TRUE(d);
    auto* name = get<QLineEdit>(d, QStringLiteral("txtFileName"));
    auto* open = get<QPushButton>(d, QStringLiteral("cmdFileCjYN(2)"));
    EXPECT_TRUE(name->isReadOnly());
    EXPECT_FALSE(open->isEnabled());
    d->pick(1);
    EXPECT_EQ(name->text(), QStringLiteral("初一2班"));
    EXPECT_EQ(d->toolTipFor(1, 1), QStringLiteral("初一2班"));
    EXPECT_EQ(d->toolTipFor(1, 0), QString());
    d->pick(0);
    EXPECT_EQ(name->text(), QString());
    EXPECT_FALSE(open->isEnabled());
    d->pick(1);
    open->click();
    EXPECT_TRUE(w->isEnabled());
    EXPECT_EQ(w->statusPanel(0)->text(), QStringLiteral("初一2班"));
    EXPECT_EQ(shell::MessageBox::takeShown(), QStringList());
}

TEST_F(ScoreWindow, CommentWriterRowCreatesWithSampleAndOpensReference) {
    frmOpenDatabase* d = frmOpenDatabase::openFor(frmOpenDatabase::Purpose::CommentNew);
    ASSERT_TRUE(d);
    EXPECT_FALSE(get<QPushButton>(d, QStringLiteral("cmdFileYN(1)"))->isHidden());
    EXPECT_TRUE(get<QPushButton>(d, QStringLiteral("cmdFileCjYN(1)"))->isHidden());
    EXPECT_EQ(get<QLabel>(d, QStringLiteral("labNO"))->text(), QString());
    QString handed;
    QObject::connect(d, &frmOpenDatabase::handedBack,
                     [&](const QString& n, frmOpenDatabase::Purpose) { handed = n; });
    get<QLineEdit>(d, QStringLiteral("txtFileName"))->setText(QStringLiteral("评语班"));
    get<QPushButton>(d, QStringLiteral("cmdFileYN(1)"))->click();
    EXPECT_EQ(handed, QStringLiteral("评语班"));
    EXPECT_TRUE(testing_support::programClasses().commentWorkingOpen());

    d = frmOpenDatabase::openFor(frmOpenDatabase::Purpose::CommentOpenReference);
    ASSERT_TRUE(d);
    EXPECT_EQ(get<QLabel>(d, QStringLiteral("labNO"))->text(), QStringLiteral("old"));
    d->pick(1);
    get<QPushButton>(d, QStringLiteral("cmdFileYN(2)"))->click();
    EXPECT_TRUE(testing_support::programClasses().commentReferenceOpen());
    EXPECT_EQ(testing_support::programClasses().referenceClass(), QStringLiteral("评语班"));

    // The score manager sees the comment class, with its one sample student.
    w->classHandedBack(QStringLiteral("评语班"), false);
    EXPECT_EQ(cell(1, 1), QStringLiteral("学生姓名"));
    EXPECT_EQ(w->statusPanel(2)->text(), QStringLiteral("共 1 位学生"));
}

TEST_F(ScoreWindow, BatchSubjectsAndKeyboardScoreEntry) {
    createClass(QStringLiteral("初三1班"));
    w->entry(QStringLiteral("mEditStudens"))->trigger();
    scores::TaskFrame* roster = w->frame(1);
    EXPECT_TRUE(roster->isVisible());
    EXPECT_EQ(roster->title(), QString());
    EXPECT_EQ(w->model().viewState().printTitle, QStringLiteral("初三1班姓名编号对照表"));
    get<QRadioButton>(roster, QStringLiteral("optAddStdSelect(1)"))->click();
    EXPECT_FALSE(get<QLineEdit>(roster, QStringLiteral("txtStdNameNum(0)"))->isEnabled());
    get<QLineEdit>(roster, QStringLiteral("txtStdXMXH(0)"))->setText(QStringLiteral("301"));
    get<QLineEdit>(roster, QStringLiteral("txtStdXMXH(1)"))->setText(QStringLiteral("3"));
    get<QPushButton>(roster, QStringLiteral("cmdEditStdNameNum(0)"))->click();
    EXPECT_EQ(shell::MessageBox::takeShown(), QStringList{msg::kBatchAdded});
    EXPECT_EQ(cell(3, 2), QStringLiteral("303"));
    EXPECT_EQ(w->statusPanel(2)->text(), QStringLiteral("共 3 位学生"));

    // The roster's boxes follow a click and "下一个".
    get<QRadioButton>(roster, QStringLiteral("optAddStdSelect(0)"))->click();
    clickCell(1, 1);
    EXPECT_EQ(get<QLineEdit>(roster, QStringLiteral("txtStdNameNum(1)"))->text(), QStringLiteral("301"));
    get<QPushButton>(roster, QStringLiteral("cmdNamePage(1)"))->click();
    EXPECT_EQ(get<QLineEdit>(roster, QStringLiteral("txtStdNameNum(1)"))->text(), QStringLiteral("302"));
    get<QLineEdit>(roster, QStringLiteral("txtStdNameNum(0)"))->setText(QStringLiteral("李华"));
    get<QPushButton>(roster, QStringLiteral("cmdEditStdNameNum(1)"))->click();
    EXPECT_EQ(shell::MessageBox::takeShown(), QStringList{msg::kRenamed});
    EXPECT_EQ(cell(2, 1), QStringLiteral("李华"));

    w->entry(QStringLiteral("mSetKM"))->trigger();
    scores::TaskFrame* subjects = w->frame(0);
    EXPECT_TRUE(subjects->isVisible());
    EXPECT_FALSE(roster->isVisible());
    for (const char* s : {"语文", "数学"}) {
        get<QLineEdit>(subjects, QStringLiteral("txtKmEdit"))->setText(QString::fromUtf8(s));
        get<QLineEdit>(subjects, QStringLiteral("txtJMZF"))->setText(QStringLiteral("120"));
        get<QPushButton>(subjects, QStringLiteral("optKmEdit(0)"))->click();
    }
    auto* list = get<QListWidget>(subjects, QStringLiteral("listKmEdit"));
    ASSERT_EQ(list->count(), 13);
    EXPECT_EQ(list->item(1)->text(), QStringLiteral("数学"));
    // A full mark that is no number is refused.
    get<QLineEdit>(subjects, QStringLiteral("txtKmEdit"))->setText(QStringLiteral("英语"));
    get<QLineEdit>(subjects, QStringLiteral("txtJMZF"))->setText(QStringLiteral("一百"));
    get<QPushButton>(subjects, QStringLiteral("optKmEdit(0)"))->click();
    EXPECT_EQ(shell::MessageBox::takeShown(), QStringList{msg::kNumberOnly});
    EXPECT_EQ(list->item(2)->text(), QStringLiteral("---"));

    const int topBefore = w->grid()->y();
    w->entry(QStringLiteral("mEditSubject"))->trigger();
    scores::TaskFrame* entry = w->frame(2);
    EXPECT_TRUE(entry->isVisible());
    EXPECT_EQ(w->grid()->y(), topBefore + 40); // 600 twips down, under the frame
    EXPECT_EQ(cell(0, 3), QStringLiteral("语文"));
    auto* subject = get<QComboBox>(entry, QStringLiteral("cobKM"));
    auto* student = get<QComboBox>(entry, QStringLiteral("cobXBBH"));
    auto* score = get<QLineEdit>(entry, QStringLiteral("txtStudensCj"));
    auto* next = get<QPushButton>(entry, QStringLiteral("cmdNamePage(3)"));
    EXPECT_EQ(student->currentText(), QStringLiteral("303")); // the last student
    EXPECT_EQ(subject->currentText(), QString());

    // Click the first student's 数学 cell, then type scores with Enter and "下一个".
    clickCell(1, 4);
    EXPECT_EQ(subject->currentText(), QStringLiteral("数学"));
    EXPECT_EQ(student->currentText(), QStringLiteral("301"));
    QTest::keyClicks(score, QStringLiteral("85"));
    QTest::keyClick(score, Qt::Key_Return);
    EXPECT_EQ(shell::MessageBox::takeShown(), QStringList{msg::kScoreStored});
    EXPECT_EQ(cell(1, 4), QStringLiteral("85"));
    EXPECT_EQ(cell(1, 5), QStringLiteral("85"));
    EXPECT_EQ(cell(1, 6), QStringLiteral("42.5"));
    EXPECT_EQ(score->text(), QString());
    ASSERT_TRUE(next->isEnabled());
    next->click();
    EXPECT_EQ(student->currentText(), QStringLiteral("302"));
    EXPECT_EQ(w->statusPanel(1)->text(), QStringLiteral("当前第 2 位"));
    QTest::keyClicks(score, QStringLiteral("90.5"));
    QTest::keyClick(score, Qt::Key_Return);
    EXPECT_EQ(cell(2, 4), QStringLiteral("90.5"));
    EXPECT_EQ(shell::MessageBox::takeShown(), QStringList{msg::kScoreStored});

    // Bad input: a subject that is none, a score that is no number.
    subject->setEditText(QStringLiteral("体育"));
    score->setText(QStringLiteral("80"));
    get<QPushButton>(entry, QStringLiteral("cmdAddCjYes(1)"))->click();
    EXPECT_EQ(shell::MessageBox::takeShown(), QStringList{msg::kUnknownSubject});
    subject->setEditText(QStringLiteral("数学"));
    score->setText(QStringLiteral("9O"));
    get<QPushButton>(entry, QStringLiteral("cmdAddCjYes(1)"))->click();
    EXPECT_EQ(shell::MessageBox::takeShown(), QStringList{msg::kNumberOnly});
    EXPECT_EQ(cell(2, 4), QStringLiteral("90.5"));

    // By name: the combo lists names.
    get<QRadioButton>(entry, QStringLiteral("optStdNameNumberSelect(1)"))->click();
    EXPECT_EQ(student->count(), 3);
    EXPECT_EQ(student->itemText(1), QStringLiteral("李华"));

    get<QPushButton>(entry, QStringLiteral("cmdAddCjYes(0)"))->click();
    EXPECT_FALSE(entry->isVisible());
    EXPECT_EQ(w->grid()->y(), topBefore);
}

TEST_F(ScoreWindow, MenusFramesAndStatusBarAreAllThere) {
    struct Entry {
        const char* name;
        const char* caption;
    };
    const Entry entries[] = {
        {"mFileNew", "新建(&N)"},
        {"mFileOpem", "打开(&O)"},
        {"mFilePage", "页面设置(&L)"},
        {"mFilePrint", "打印(&P)"},
        {"mFileOut", "数据导出(&O)"},
        {"mFileQuit", "关闭(&Q)"},
        {"mFileExit", "退出(&X)"},
        {"mEditStudens", "修改学生库(&x)"},
        {"mEditSubject", "录入成绩(&I)"},
        {"mDataFind", "查询(&F)"},
        {"mDataFilter", "筛选"},
        {"mDataSort", "排序"},
        {"mDataSortUp", "升序"},
        {"mDataSortDown", "降序"},
        {"mDataSortHigh", "高级排序"},
        {"mDataSum", "统计"},
        {"mIamgeStd", "个人成绩"},
        {"mIamgeGKBB", "各科报表"},
        {"mIamgeGKFSD", "各科分数段"},
        {"mSetKM", "增减科目"},
        {"mSetDJ", "设定等级"},
        {"mSetFSD", "确定分数段的间隔分值"},
        {"mSetStudens", "选定个人综合分计算公式"},
        {"mSetDKJSGS", "选定单科积分计算公式"},
        {"mHelpTopic", "技术支持(&T)"},
        {"mHelpAbout", "关于Veltrano(&A)"},
    };
    for (const Entry& e : entries) {
        SCOPED_TRACE(e.name);
        QAction* a = w->entry(QString::fromLatin1(e.name));
        ASSERT_TRUE(a);
        EXPECT_EQ(a->text(), QString::fromUtf8(e.caption));
    }
    for (const char* sep : {"mFileBar0", "mFileBar1", "mDataBar1"})
        EXPECT_TRUE(w->entry(QString::fromLatin1(sep))->isSeparator());

    const char* captions[] = {"设置科目",
                              "录入学生",
                              "成绩录入",
                              "查询",
                              "设置分数等级",
                              "设置学生个人综合分计算公式",
                              "设置单科积分计算公式",
                              "设置分数段间隔分数",
                              "高级筛选",
                              "高级排序"};
    for (int i = 0; i < 10; ++i) {
        auto* f = get<scores::TaskFrame>(w, QStringLiteral("famStdCjList(%1)").arg(i));
        ASSERT_TRUE(f);
        if (i > 2) {
            EXPECT_EQ(f->title(), QString::fromUtf8(captions[i]));
        }
        EXPECT_FALSE(f->isVisible());
    }
    for (const char* p : {"imgNewPyFile", "imgOpenNewFile", "imgFilePrint", "imgViewPrint"})
        EXPECT_TRUE(w->findChild<QWidget*>(QString::fromLatin1(p)));
    EXPECT_TRUE(get<shell::GridView>(w, QStringLiteral("msfgCjBAK"))->isHidden());
    EXPECT_EQ(w->statusPanel(0)->text(), QStringLiteral("系统已经就绪!"));
    EXPECT_EQ(w->statusPanel(2)->text(), QStringLiteral("共有  位学生"));

    // One frame at a time.
    w->ShowTask(4);
    w->ShowTask(7);
    int visible = 0;
    for (int i = 0; i < 10; ++i)
        visible += w->frame(i)->isVisible();
    EXPECT_EQ(visible, 1);
    EXPECT_TRUE(w->frame(7)->isVisible());

    // The grid keeps to the client area as the window changes size.
    w->resize(700, 500);
    QCoreApplication::processEvents();
    const QWidget* client = w->centralWidget();
    EXPECT_EQ(w->grid()->geometry().bottom(), client->height() - 1);
    EXPECT_LE(w->grid()->geometry().right(), client->width());
}

TEST_F(ScoreWindow, ClosingEndsTheClassAndReopeningKeepsTheHeading) {
    createClass(QStringLiteral("二班"));
    w->model().addSubject(QStringLiteral("语文"), QStringLiteral("100"));
    ASSERT_TRUE(testing_support::programClasses().scoresOpen());
    shell::Windows::instance().unload(QStringLiteral("frmStudenCJ"));
    EXPECT_FALSE(testing_support::programClasses().scoresOpen());
    w = qobject_cast<scores::frmStudenCJ*>(shell::Windows::instance().open(QStringLiteral("frmStudenCJ")));
    ASSERT_TRUE(w);
    EXPECT_FALSE(w->findChild<QMenu*>(QStringLiteral("mnuEdit"))->menuAction()->isVisible());
    EXPECT_EQ(cell(0, 3), QStringLiteral("语文"));
    EXPECT_EQ(cell(1, 1), QString());

    // "关闭(&Q)" closes the class in place.
    createClass(QStringLiteral("三班"));
    w->entry(QStringLiteral("mFileQuit"))->trigger();
    EXPECT_FALSE(testing_support::programClasses().scoresOpen());
    EXPECT_FALSE(w->entry(QStringLiteral("mFilePrint"))->isEnabled());
}

// A class list naming the file's own tables (an edited or damaged file):
// picking such a row never opens it as a class.
TEST_F(ScoreWindow, TheFilesOwnTablesAreNeverOpenedAsAClass) {
    createClass(QStringLiteral("初一2班"));
    ASSERT_EQ(w->statusPanel(0)->text(), QStringLiteral("初一2班"));
    const QString db = folder.file(store::kClassDb);
    {
        auto files = store::Recordset::OpenTable(db, QStringLiteral("files"));
        ASSERT_TRUE(files);
        for (const char* n : {"FILES", "dataBak", "sqlite_master"}) {
            files->AddNew();
            files->SetField(QStringLiteral("文件名"), QString::fromLatin1(n));
            ASSERT_TRUE(files->Update());
        }
    }
    const QStringList files = tableTexts(db, QStringLiteral("files"));
    const QStringList bak = tableTexts(db, QStringLiteral("dataBak"));
    for (int row = 2; row <= 4; ++row) {
        SCOPED_TRACE(row);
        w->entry(QStringLiteral("mFileOpem"))->trigger();
        frmOpenDatabase* d = classWindow();
        ASSERT_TRUE(d);
        d->pick(row);
        get<QPushButton>(d, QStringLiteral("cmdFileCjYN(2)"))->click();
        EXPECT_EQ(shell::MessageBox::takeShown(), QStringList{scores::ClassFiles::kMsgNotAClass});
        EXPECT_EQ(testing_support::programClasses().workingClass(), QStringLiteral("初一2班"));
        get<QPushButton>(d, QStringLiteral("cmdFileCjYN(0)"))->click();
        EXPECT_EQ(w->statusPanel(0)->text(), QStringLiteral("初一2班"));
    }
    EXPECT_EQ(tableTexts(db, QStringLiteral("files")), files);
    EXPECT_EQ(tableTexts(db, QStringLiteral("dataBak")), bak);
}

// A class the list names but whose table is gone is named with the reason;
// the score window keeps the class it had.
TEST_F(ScoreWindow, ADamagedClassIsNamedAndTheOpenClassStays) {
    createClass(QStringLiteral("初一2班"));
    createClass(QStringLiteral("初一3班"));
    ASSERT_EQ(w->statusPanel(0)->text(), QStringLiteral("初一3班"));
    sqlite3* h = nullptr;
    ASSERT_EQ(sqlite3_open(folder.file(store::kClassDb).toUtf8().constData(), &h), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(h, "DROP TABLE \"初一2班\"", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(h);

    w->entry(QStringLiteral("mFileOpem"))->trigger();
    frmOpenDatabase* d = classWindow();
    ASSERT_TRUE(d);
    d->pick(1);
    get<QPushButton>(d, QStringLiteral("cmdFileCjYN(2)"))->click();
    EXPECT_EQ(shell::MessageBox::takeShown(),
              QStringList{QStringLiteral("班级“初一2班”无法读取：数据库中没有这个班级的表。")});
    EXPECT_EQ(testing_support::programClasses().workingClass(), QStringLiteral("初一3班"));
    get<QPushButton>(d, QStringLiteral("cmdFileCjYN(0)"))->click();
    EXPECT_EQ(w->statusPanel(0)->text(), QStringLiteral("初一3班"));
    EXPECT_TRUE(w->findChild<QMenu*>(QStringLiteral("mnuEdit"))->menuAction()->isVisible());
}

TEST_F(ScoreWindow, AddingASubjectEmptiesTheNameBox) {
    createClass(QStringLiteral("初一2班"));
    w->entry(QStringLiteral("mSetKM"))->trigger();
    scores::TaskFrame* f = w->frame(0);
    auto* name = get<QLineEdit>(f, QStringLiteral("txtKmEdit"));
    auto* marks = get<QLineEdit>(f, QStringLiteral("txtJMZF"));
    auto* add = get<QPushButton>(f, QStringLiteral("optKmEdit(0)"));
    name->setText(QStringLiteral("物理"));
    marks->setText(QStringLiteral("100"));
    add->click();
    EXPECT_EQ(shell::MessageBox::takeShown(), QStringList());
    EXPECT_EQ(name->text(), QString());
    // A second press finds the box empty and puts nothing into another slot.
    add->click();
    EXPECT_EQ(shell::MessageBox::takeShown(), QStringList{msg::kSubjectEmpty});
    auto* list = get<QListWidget>(f, QStringLiteral("listKmEdit"));
    ASSERT_GE(list->count(), 2);
    EXPECT_EQ(list->item(0)->text(), QStringLiteral("物理"));
    EXPECT_EQ(list->item(1)->text(), QStringLiteral("---"));
}

// In every task frame each label's text is whole and clear of the boxes
// beside it, and everything lies inside the frame.
TEST_F(ScoreWindow, FrameLabelsAreWholeAndClearOfTheirBoxes) {
    createClass(QStringLiteral("初一2班"));
    w->model().addSubject(QStringLiteral("语文"), QStringLiteral("100"));
    for (int i = 0; i < 10; ++i) {
        scores::TaskFrame* f = w->frame(i);
        w->ShowTask(i);
        QCoreApplication::processEvents();
        SCOPED_TRACE(f->objectName().toStdString());
        const QRect inside = f->rect();
        QList<QWidget*> boxes;
        for (QWidget* c : f->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (c->isVisibleTo(f) && (qobject_cast<QLineEdit*>(c) || qobject_cast<QComboBox*>(c))) boxes << c;
        for (QWidget* c : f->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (!c->isVisibleTo(f)) continue;
            EXPECT_TRUE(inside.contains(c->geometry()))
                << c->objectName().toStdString() << " leaves the frame " << c->geometry().x() << ","
                << c->geometry().y() << " " << c->width() << "x" << c->height() << " in " << inside.x() << ","
                << inside.y() << " " << inside.width() << "x" << inside.height();
            auto* label = qobject_cast<QLabel*>(c);
            if (!label || label->text().isEmpty()) continue;
            // Where the label's text is drawn: a label holding a box in its
            // blanks draws around the box, any other across its width.
            QList<QRect> texts;
            if (auto* gap = qobject_cast<scores::GapLabel*>(label)) {
                texts = gap->textRects();
                EXPECT_LE(gap->sizeHint().width(), gap->width())
                    << "cut off: " << label->text().toStdString();
            } else if (!label->wordWrap()) {
                const int need = label->fontMetrics().horizontalAdvance(label->text());
                EXPECT_LE(need, label->contentsRect().width()) << "cut off: " << label->text().toStdString();
                texts << QRect(label->geometry().topLeft(),
                               QSize(qMin(need, label->width()), label->height()));
            }
            for (const QRect& t : texts)
                for (QWidget* b : boxes)
                    EXPECT_FALSE(t.intersects(b->geometry()))
                        << label->text().toStdString() << " under " << b->objectName().toStdString();
        }
    }
}

// The class-file window belongs to the score window that opened it: closing
// the score window closes it too, so no class can be handed to a window
// that is gone. One opened for the comment writer stays.
TEST_F(ScoreWindow, ClosingTheScoreWindowClosesItsClassFileWindow) {
    w->entry(QStringLiteral("mFileOpem"))->trigger();
    ASSERT_TRUE(classWindow());
    shell::Windows::instance().unload(QStringLiteral("frmStudenCJ"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(classWindow());
    EXPECT_FALSE(testing_support::programClasses().scoresOpen());

    w = qobject_cast<scores::frmStudenCJ*>(shell::Windows::instance().open(QStringLiteral("frmStudenCJ")));
    ASSERT_TRUE(w);
    ASSERT_TRUE(frmOpenDatabase::openFor(frmOpenDatabase::Purpose::CommentOpenReference));
    w->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    frmOpenDatabase* comment = classWindow();
    ASSERT_TRUE(comment);
    EXPECT_TRUE(comment->isVisible());
    w = nullptr;
}

// The grid view gives every row the height its grid says, also where the
// heights differ (the report's two-line heading) and below the header's
// usual minimum.
TEST_F(ScoreWindow, GridRowsTakeTheirGridsHeights) {
    createClass(QStringLiteral("初一2班"));
    w->model().addSubject(QStringLiteral("语文"), QStringLiteral("100"));
    ASSERT_TRUE(w->model().addBatch(QStringLiteral("1"), QStringLiteral("40")).ok);
    for (const char* entry : {"mIamgeGKBB", "mIamgeStd", "mIamgeGKBB"}) {
        SCOPED_TRACE(entry);
        w->entry(QString::fromLatin1(entry))->trigger();
        const shell::Grid& g = w->grid()->grid();
        ASSERT_GE(g.rows(), 25);
        for (int r = 0; r < g.rows(); ++r)
            ASSERT_EQ(w->grid()->rowHeight(r), shell::twipsToPx(g.rowHeight(r))) << "row " << r;
    }
}
