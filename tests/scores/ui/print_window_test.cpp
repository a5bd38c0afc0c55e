#include "ScoreWindowFixture.h"
#include "ScoresFixture.h"

#include "scores/model/PageSetup.h"
#include "scores/model/ScorePrint.h"
#include "scores/ui/frmPrintView.h"
#include "scores/ui/frmSetPage.h"
#include "shell/ui/FileDialog.h"
#include "shell/ui/PagePainter.h"
#include "store/Schema.h"

#include <QComboBox>
#include <QLabel>
#include <QPrinterInfo>
#include <QProcess>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QStatusBar>
#include <QTabBar>
#include <QTemporaryDir>

using scores::frmPrintView;
using scores::frmSetPage;
namespace msg = scores::msg;

namespace {

QString run(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000)) return QStringLiteral("<%1 failed>").arg(program);
    return QString::fromUtf8(p.readAllStandardOutput());
}

int pdfPages(const QString& pdf) {
    const auto m = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(run("pdfinfo", {pdf}));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// pdftotext's text of each page, blanks squeezed out. Qt's PDF maps some
// CJK glyphs back to radical look-alikes (二 to ⼆, 页 to ⻚): compatibility
// normalisation folds the Kangxi ones, the supplement's 页 is folded here.
QStringList pdfPageTexts(const QString& pdf) {
    QString t = run("pdftotext", {"-enc", "UTF-8", pdf, "-"}).normalized(QString::NormalizationForm_KC);
    t.replace(QChar(0x2EDA), QChar(0x9875));
    t.remove(u' ');
    t.remove(u'\n');
    QStringList pages = t.split(u'\f');
    if (!pages.isEmpty() && pages.back().isEmpty()) pages.removeLast();
    return pages;
}

bool noPrinter() {
    return QPrinterInfo::defaultPrinter().isNull();
}

} // namespace

class PrintWindows : public ScoreWindow {
protected:
    QTemporaryDir out;

    void TearDown() override {
        for (const char* name : {"frmSetPage", "frmPrintView"})
            shell::Windows::instance().unload(QString::fromLatin1(name));
        shell::FileDialog::clearNextFileNames();
        ScoreWindow::TearDown();
    }
    // A class of `students` shown as the score table, `perPage` rows a page.
    void classOf(int students, int perPage) {
        createClass(QStringLiteral("初二3班"));
        ASSERT_TRUE(w->model().addBatch(QStringLiteral("1"), QString::number(students)).ok);
        for (const char* subject : {"语文", "数学", "英语"})
            ASSERT_TRUE(w->model().addSubject(QString::fromUtf8(subject), QStringLiteral("100")).ok);
        scores::PageSetupInput in;
        in.boxes = {QString(), "20", "20", "20", "20", "210", "297", QString::number(perPage)};
        in.paperIndex = 1;
        ASSERT_TRUE(scores::storePageSetup(w->model(), in).ok);
        w->model().ShowScoreTable();
        shell::MessageBox::takeShown();
    }
    frmSetPage* pageSetup() {
        return qobject_cast<frmSetPage*>(shell::Windows::instance().find(QStringLiteral("frmSetPage")));
    }
    frmPrintView* preview() {
        return qobject_cast<frmPrintView*>(shell::Windows::instance().find(QStringLiteral("frmPrintView")));
    }
    QLineEdit* box(int i) { return get<QLineEdit>(pageSetup(), QStringLiteral("txtSetPage(%1)").arg(i)); }
    QPushButton* viewButton(int i) {
        return get<QPushButton>(preview(), QStringLiteral("cmdViewToob(%1)").arg(i));
    }
    void saveShot(QWidget* win, const char* name) {
        win->grab().save(QStringLiteral("/tmp/print-%1.png").arg(QString::fromLatin1(name)));
    }
};

TEST_F(PrintWindows, FileEntriesAndPicturesWorkOnlyWithAClassOpen) {
    for (const char* e : {"mFilePage", "mFilePrint", "mFileOut", "mFileQuit"})
        EXPECT_FALSE(w->entry(QString::fromLatin1(e))->isEnabled()) << e;
    EXPECT_TRUE(get<QWidget>(QStringLiteral("imgViewPrint"))->isHidden());
    createClass(QStringLiteral("初二3班"));
    for (const char* e : {"mFilePage", "mFilePrint", "mFileOut", "mFileQuit"})
        EXPECT_TRUE(w->entry(QString::fromLatin1(e))->isEnabled()) << e;
    EXPECT_FALSE(get<QWidget>(QStringLiteral("imgFilePrint"))->isHidden());
    EXPECT_FALSE(get<QWidget>(QStringLiteral("imgViewPrint"))->isHidden());
    menu("mFileQuit");
    EXPECT_FALSE(w->entry(QStringLiteral("mFilePrint"))->isEnabled());
    EXPECT_TRUE(get<QWidget>(QStringLiteral("imgFilePrint"))->isHidden());
}

TEST_F(PrintWindows, PageSetupShowsTheClassAndDisablesTheScoreWindow) {
    createClass(QStringLiteral("初二3班"));
    menu("mFilePage");
    frmSetPage* p = pageSetup();
    ASSERT_TRUE(p);
    EXPECT_EQ(p->windowTitle(), QStringLiteral("页面设置"));
    EXPECT_FALSE(w->isEnabled());
    EXPECT_TRUE(p->isVisible());
    for (int i = 0; i < 2; ++i)
        EXPECT_TRUE(get<QPushButton>(p, QStringLiteral("cmdSetCjPage(%1)").arg(i))->isVisible());
    QStringList boxes;
    for (int i = 1; i <= 7; ++i)
        boxes << box(i)->text();
    EXPECT_EQ(boxes, (QStringList{"20", "20", "20", "20", "210", "297", "30"}));
    EXPECT_EQ(get<QComboBox>(p, QStringLiteral("cobSetPage"))->currentText(),
              QStringLiteral("A4 210 x 297 毫米"));
    EXPECT_TRUE(get<QRadioButton>(p, QStringLiteral("optSetPage(0)"))->isChecked());

    // The first tab shows the margins and rows; the second the paper and orientation.
    auto shown = [&](int frame) {
        return get<QWidget>(p, QStringLiteral("fraSetPage(%1)").arg(frame))->isVisible();
    };
    EXPECT_TRUE(shown(1) && shown(5) && !shown(3) && !shown(4));
    saveShot(p, "frmSetPage-margins");
    get<QTabBar>(p, QStringLiteral("tabSetPage"))->setCurrentIndex(1);
    EXPECT_TRUE(!shown(1) && !shown(5) && shown(3) && shown(4));
    saveShot(p, "frmSetPage-paper");

    // Turning the sheet swaps width and height (typed sizes too) and back.
    box(5)->setText(QStringLiteral("200"));
    get<QRadioButton>(p, QStringLiteral("optSetPage(1)"))->click();
    EXPECT_EQ(box(5)->text(), QStringLiteral("297"));
    EXPECT_EQ(box(6)->text(), QStringLiteral("200"));
    QWidget* sheet = get<QWidget>(p, QStringLiteral("picSetPage(1)"));
    EXPECT_GT(sheet->width(), sheet->height());
    get<QRadioButton>(p, QStringLiteral("optSetPage(0)"))->click();
    EXPECT_EQ(box(5)->text(), QStringLiteral("200"));
    EXPECT_EQ(box(6)->text(), QStringLiteral("297"));
    EXPECT_LT(sheet->width(), sheet->height());

    // A paper entry fills its size, turned for the orientation.
    get<QRadioButton>(p, QStringLiteral("optSetPage(1)"))->click();
    p->choosePaper(0);
    EXPECT_EQ(box(5)->text(), QStringLiteral("420"));
    EXPECT_EQ(box(6)->text(), QStringLiteral("297"));
    get<QRadioButton>(p, QStringLiteral("optSetPage(0)"))->click();
    p->choosePaper(scores::kCustomPaper);
    EXPECT_EQ(box(5)->text(), QStringLiteral("210"));
    EXPECT_EQ(box(6)->text(), QStringLiteral("297"));

    get<QPushButton>(p, QStringLiteral("cmdSetCjPage(0)"))->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(pageSetup());
    EXPECT_TRUE(w->isEnabled());
    EXPECT_EQ(w->model().classData().pageInts[9], 30); // 取消 stores nothing
}

TEST_F(PrintWindows, PageSetupKeyFilterEmptiesTheBoxAfterTenTicks) {
    createClass(QStringLiteral("初二3班"));
    menu("mFilePage");
    ASSERT_TRUE(pageSetup());
    QLineEdit* top = box(1);
    top->setFocus();
    top->clear();
    QTest::keyClicks(top, QStringLiteral("1a"));
    EXPECT_EQ(shell::MessageBox::takeShown(), QStringList{msg::kNumberOnly});
    EXPECT_EQ(top->text(), QStringLiteral("1a")); // still taken into the box
    ASSERT_TRUE(testing_support::waitFor([&] { return top->text().isEmpty(); }, 2000));
}

TEST_F(PrintWindows, PageSetupConfirmStoresOrTellsWhyNot) {
    createClass(QStringLiteral("初二3班"));
    menu("mFilePage");
    ASSERT_TRUE(pageSetup());
    auto ok = [&] { get<QPushButton>(pageSetup(), QStringLiteral("cmdSetCjPage(1)"))->click(); };

    box(7)->setText(QStringLiteral("0"));
    ok();
    EXPECT_EQ(shell::MessageBox::takeShown(), QStringList{msg::kPageRowsWhole});
    ASSERT_TRUE(pageSetup()); // stays for a correction
    box(7)->setText(QStringLiteral("1/2"));
    ok();
    EXPECT_EQ(shell::MessageBox::takeShown(), QStringList{msg::kPageNotNumber});
    box(7)->setText(QStringLiteral("25"));
    box(3)->setText(QStringLiteral("100"));
    box(4)->setText(QStringLiteral("100"));
    ok();
    EXPECT_EQ(shell::MessageBox::takeShown(), QStringList{msg::kContentTooWide});
    EXPECT_EQ(w->model().classData().pageInts[9], 30);

    box(3)->setText(QStringLiteral("25"));
    box(4)->setText(QStringLiteral("15"));
    get<QRadioButton>(pageSetup(), QStringLiteral("optSetPage(1)"))->click();
    ok();
    EXPECT_EQ(shell::MessageBox::takeShown(), QStringList());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(pageSetup());
    EXPECT_TRUE(w->isEnabled());
    const scores::ClassData& d = w->model().classData();
    EXPECT_EQ(d.pageInts[9], 25);
    EXPECT_EQ(d.pageInts[8], 1);
    EXPECT_EQ(d.pageTwips[5], qRound(297 * 56.7)); // landscape: the boxes were swapped
    EXPECT_EQ(d.pageTwips[3], qRound(25 * 56.7));
}

// The pages of 2, N and N+1 table rows (N = 5 a page), printed into a PDF
// and read back: the page count, the title on every page and the page
// texts in order.
TEST_F(PrintWindows, PdfPagesFollowTheRowsPerPage) {
    for (const int rows : {2, 5, 6}) {
        SCOPED_TRACE(rows);
        shell::Grid g(rows + 1, 3);
        g.setText(0, 1, QStringLiteral("姓名"));
        for (int r = 1; r <= rows; ++r) {
            g.setText(r, 0, QString::number(r));
            g.setText(r, 1, QStringLiteral("学生%1").arg(r));
        }
        const scores::ScorePrintLayout layout(g, QStringLiteral("初二3班成绩表"),
                                              scores::PageGeometry{1134, 1134, 1134, 1134, 11907, 16840, 5});
        const QString pdf = out.filePath(QStringLiteral("t%1.pdf").arg(rows));
        ASSERT_TRUE(shell::printPagesToPdf(layout, pdf).ok);
        const int pages = rows > 5 ? 2 : 1;
        EXPECT_EQ(pdfPages(pdf), pages);
        const QStringList texts = pdfPageTexts(pdf);
        ASSERT_EQ(texts.size(), pages);
        for (int p = 0; p < pages; ++p) {
            EXPECT_TRUE(texts[p].startsWith(QStringLiteral("初二3班成绩表"))) << texts[p];
            EXPECT_TRUE(texts[p].contains(QStringLiteral("姓名"))) << texts[p]; // the heading on every page
            EXPECT_TRUE(texts[p].endsWith(QStringLiteral("第%1页").arg(p + 1))) << texts[p];
        }
        EXPECT_EQ(texts.join(QString()).count(QStringLiteral("学生")), rows);
    }
}

TEST_F(PrintWindows, PrintWithoutAPrinterWritesThePdfTheTeacherNames) {
    if (!noPrinter()) GTEST_SKIP() << "a default printer is installed";
    classOf(25, 24);
    const QString pdf = out.filePath(QStringLiteral("成绩"));
    shell::FileDialog::setNextFileName(pdf);
    menu("mFilePrint");
    EXPECT_EQ(shell::MessageBox::takeShown(),
              QStringList{QStringLiteral("没有找到打印机，已经打印到文件“%1.pdf”！").arg(pdf)});
    EXPECT_EQ(pdfPages(pdf + ".pdf"), 2);
    const QStringList texts = pdfPageTexts(pdf + ".pdf");
    ASSERT_EQ(texts.size(), 2);
    EXPECT_TRUE(texts[1].contains(QStringLiteral("初二3班成绩表")));
    EXPECT_TRUE(texts[1].endsWith(QStringLiteral("第2页")));
    // The grid's current cell ends on the last cell printed.
    const QModelIndex current = w->grid()->currentIndex();
    EXPECT_EQ(current.row(), w->grid()->grid().rows() - 1);
    EXPECT_EQ(current.column(), w->grid()->grid().cols() - 1);

    // Two printouts in a row lay out the same.
    const QString again = out.filePath(QStringLiteral("again.pdf"));
    shell::FileDialog::setNextFileName(again);
    QTest::mouseClick(get<QWidget>(QStringLiteral("imgFilePrint")), Qt::LeftButton);
    shell::MessageBox::takeShown();
    EXPECT_EQ(pdfPageTexts(again), texts);

    // A cancelled file dialog prints nothing and says nothing.
    shell::FileDialog::setNextFileName(QString());
    menu("mFilePrint");
    EXPECT_EQ(shell::MessageBox::takeShown(), QStringList());
}

TEST_F(PrintWindows, UnusablePageValuesAskForThePageSetup) {
    classOf(3, 24);
    auto rs = store::Recordset::OpenTable(folder.file(store::kClassDb), QStringLiteral("初二3班"));
    ASSERT_TRUE(rs);
    for (rs->MoveFirst(); !rs->isEOF(); rs->MoveNext())
        if (rs->text(QStringLiteral("编号")) == QStringLiteral("listKM9")) {
            rs->Edit();
            rs->SetField(QStringLiteral("js4"), QStringLiteral("0"));
            ASSERT_TRUE(rs->Update());
        }
    w->model().LoadSettings();
    shell::FileDialog::setNextFileName(out.filePath(QStringLiteral("never.pdf")));
    menu("mFilePrint");
    EXPECT_EQ(shell::MessageBox::takeShown(), QStringList{msg::kPrintRowsBad});
    w->openPrintPreview();
    EXPECT_EQ(shell::MessageBox::takeShown(), QStringList{msg::kPrintRowsBad});
    EXPECT_FALSE(preview());
    EXPECT_FALSE(QFile::exists(out.filePath(QStringLiteral("never.pdf"))));
}

// The page keeps its two sizes (full, half) and stands in the middle of its
// grey area wherever it fits there; a page larger than the area starts at
// the inset and scrolls.
TEST_F(PrintWindows, PreviewCentresThePageThatFits) {
    classOf(30, 24);
    QTest::mouseClick(get<QWidget>(QStringLiteral("imgViewPrint")), Qt::LeftButton);
    frmPrintView* v = preview();
    ASSERT_TRUE(v);
    v->setWindowState(Qt::WindowNoState);
    QLabel* picture = get<QLabel>(v, QStringLiteral("picView"));
    QWidget* area = get<QWidget>(v, QStringLiteral("picBak"));
    const QSize full(qRound(qRound(210 * 56.7) / 15.0), qRound(qRound(297 * 56.7) / 15.0));
    // Each way: in the middle when the page fits with the inset around it.
    auto centred = [&] {
        if (picture->width() + 80 <= area->width())
            EXPECT_EQ(picture->x(), (area->width() - picture->width()) / 2);
        else
            EXPECT_EQ(picture->x(), 40);
        if (picture->height() + 80 <= area->height())
            EXPECT_EQ(picture->y(), (area->height() - picture->height()) / 2);
        else
            EXPECT_EQ(picture->y(), 40);
    };

    v->resize(1500, 1400); // room for the full page
    QCoreApplication::processEvents();
    EXPECT_EQ(picture->size(), full);
    ASSERT_GE(area->width(), full.width() + 80);
    EXPECT_GT(picture->x(), 40);
    centred();
    viewButton(4)->click(); // 缩小: half the size, still in the middle
    EXPECT_EQ(picture->size(), QSize(full.width() / 2, full.height() / 2));
    centred();

    v->resize(1000, 700); // half fits, full is taller than the area
    QCoreApplication::processEvents();
    centred();
    viewButton(3)->click(); // 放大
    EXPECT_EQ(picture->size(), full);
    centred();
    EXPECT_EQ(picture->y(), 40);
    auto* vBar = get<QScrollBar>(v, QStringLiteral("vslViewHeight"));
    ASSERT_TRUE(vBar->isVisible());
    vBar->setValue(100);
    EXPECT_EQ(picture->y(), 40 - 100);
}

TEST_F(PrintWindows, PreviewTurnsPagesAndZooms) {
    classOf(30, 24);
    QTest::mouseClick(get<QWidget>(QStringLiteral("imgViewPrint")), Qt::LeftButton);
    frmPrintView* v = preview();
    ASSERT_TRUE(v);
    EXPECT_EQ(v->windowTitle(), QStringLiteral("打印浏览"));
    EXPECT_TRUE(v->isMaximized());
    EXPECT_TRUE(w->isEnabled()); // the score window stays usable
    const QStringList texts{"打印", "下页", "上页", "放大", "缩小", "退出"};
    const int order[] = {5, 1, 2, 3, 4, 0};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(viewButton(order[i])->text(), texts[i]);
        if (i > 0) {
            EXPECT_GT(viewButton(order[i])->x(), viewButton(order[i - 1])->x());
        }
    }
    QLabel* picture = get<QLabel>(v, QStringLiteral("picView"));
    // A4 at 96 dpi.
    const QSize full(qRound(qRound(210 * 56.7) / 15.0), qRound(qRound(297 * 56.7) / 15.0));
    EXPECT_EQ(picture->size(), full);
    // Taller than the area: from the inset down; across, in the middle when it fits.
    QWidget* area = get<QWidget>(v, QStringLiteral("picBak"));
    EXPECT_EQ(picture->pos(),
              QPoint(full.width() + 80 <= area->width() ? (area->width() - full.width()) / 2 : 40, 40));
    EXPECT_EQ(v->shownPage(), 1);
    EXPECT_FALSE(viewButton(2)->isEnabled());
    EXPECT_TRUE(viewButton(1)->isEnabled());
    EXPECT_EQ(get<QStatusBar>(v, QStringLiteral("StatusBar1"))->currentMessage(),
              QStringLiteral("第 1 页，共 2 页"));
    saveShot(v, "frmPrintView-full");

    viewButton(4)->click(); // 缩小
    EXPECT_EQ(picture->size(), QSize(full.width() / 2, full.height() / 2));
    saveShot(v, "frmPrintView-half");
    viewButton(1)->click(); // 下页, back at full size
    EXPECT_EQ(picture->size(), full);
    EXPECT_EQ(v->shownPage(), 2);
    EXPECT_FALSE(viewButton(1)->isEnabled());
    EXPECT_TRUE(viewButton(2)->isEnabled());
    viewButton(4)->click();
    viewButton(3)->click(); // 放大
    EXPECT_EQ(picture->size(), full);
    viewButton(2)->click(); // 上页
    EXPECT_EQ(v->shownPage(), 1);
    EXPECT_FALSE(viewButton(2)->isEnabled());

    // The page picture is the painter's image of the layout's page.
    EXPECT_EQ(v->pageImage(), shell::renderPage(*v->layout(), 0));

    // Scrolling moves the picture; a bar shows only when the page stands out.
    auto* vBar = get<QScrollBar>(v, QStringLiteral("vslViewHeight"));
    v->resize(800, 500);
    QCoreApplication::processEvents();
    if (vBar->isVisible()) {
        vBar->setValue(100);
        EXPECT_EQ(picture->y(), 40 - 100);
    }

    viewButton(0)->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(preview());
}
