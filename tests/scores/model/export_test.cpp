#include "ScoresFixture.h"
#include "XlsxReadBack.h"

#include "scores/model/ScoreExport.h"
#include "scores/model/ScoreReports.h"
#include "shell/docs/ExportFolder.h"
#include "shell/docs/SpreadsheetWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>

using shell::SpreadsheetWriter;

namespace {

class ScoreExport : public ScoresFixture {
protected:
    const QDateTime when{QDate(2024, 6, 28), QTime(16, 5, 9)};

    // The exported sheet holds the grid cell for cell from A5, kinds as the
    // grid shows them, a thin black border on every cell of the block and
    // nothing outside it.
    void expectSheetIsGrid(const scores::ExportResult& out, const QString& range) {
        ASSERT_TRUE(out.outcome.ok) << out.outcome.messages.join(u' ');
        const shell::Grid& g = model.scoreGrid();
        EXPECT_EQ(out.lastRow, g.rows() - 1);
        EXPECT_EQ(out.lastCol, g.cols() - 1);
        const auto b = testing_support::readXlsx(out.path);
        ASSERT_TRUE(b.ok()) << b.error.toStdString();
        EXPECT_EQ(b.dimensions, range);
        EXPECT_EQ(b.cells.size(), g.rows() * g.cols());
        for (int r = 0; r < g.rows(); ++r) {
            for (int c = 0; c < g.cols(); ++c) {
                const QString name = SpreadsheetWriter::cellName(r + 5, c + 1);
                const QString text = g.text(r, c);
                SCOPED_TRACE(name.toStdString() + " " + text.toStdString());
                if (text.isEmpty()) {
                    EXPECT_TRUE(b.value(name).isNull());
                } else if (SpreadsheetWriter::isPlainDecimal(text)) {
                    EXPECT_EQ(b.type(name), "n");
                    EXPECT_EQ(b.value(name).toDouble(), text.toDouble());
                } else {
                    EXPECT_EQ(b.type(name), "s");
                    EXPECT_EQ(b.value(name).toString(), text);
                }
                for (const char* key : {"border", "borderColor"}) {
                    const QJsonArray sides = b.cell(name).value(QLatin1String(key)).toArray();
                    ASSERT_EQ(sides.size(), 4);
                    for (const QJsonValue s : sides)
                        EXPECT_EQ(s.toString(), key == std::string("border") ? "thin" : "FF000000");
                }
            }
        }
    }
};

TEST_F(ScoreExport, EveryViewLandsAtA5WithBorders) {
    openClass();
    addSubjects({"语文", "数学", "英语"});
    ASSERT_TRUE(model.addStudent(QStringLiteral("张三"), "1").ok);
    ASSERT_TRUE(model.addStudent(QStringLiteral("李四"), "2").ok);
    setField("1", "js0", "96.5");

    struct View {
        const char* what;
        std::function<void()> show;
        const char* range;
    };
    const std::vector<View> views{
        {"score table", [&] { model.ShowScoreTable(); }, "A5:H29"},
        {"roster", [&] { model.LoadRoster(); }, "A5:C29"},
        {"per-subject report", [&] { scores::ShowSubjectReport(model); }, nullptr},
        {"band table", [&] { scores::ShowBandReport(model); }, nullptr},
    };
    QStringList paths;
    for (const View& v : views) {
        SCOPED_TRACE(v.what);
        v.show();
        const shell::Grid& g = model.scoreGrid();
        const QString range = v.range ? QString::fromLatin1(v.range)
                                      : "A5:" + SpreadsheetWriter::cellName(g.rows() + 4, g.cols());
        const scores::ExportResult out = scores::ExportScores(model, when);
        expectSheetIsGrid(out, range);
        paths << out.path;
    }
    // The score table as the teacher sees it: "姓名" in B5, the first
    // student's number 1 in A6 as a number.
    const auto first = testing_support::readXlsx(paths[0]);
    EXPECT_EQ(first.value("B5").toString(), QStringLiteral("姓名"));
    EXPECT_EQ(first.type("A6"), "n");
    EXPECT_EQ(first.value("A6").toDouble(), 1);

    // Each export is a new file, named from the print title and the time.
    const QString stem =
        QDir(shell::exportFolder()).filePath(QStringLiteral("初一1班成绩表-20240628-160509"));
    EXPECT_EQ(paths[0], stem + ".xlsx");
    EXPECT_EQ(paths[1], stem + "(2).xlsx");
    EXPECT_EQ(QSet<QString>(paths.begin(), paths.end()).size(), paths.size());
}

// The band table of 13 subjects has 27 columns: past Z, into AA.
TEST_F(ScoreExport, BandTableOfThirteenSubjectsIsTwentySevenColumnsWide) {
    openClass();
    QStringList subjects;
    for (int k = 0; k < 13; ++k)
        subjects << QStringLiteral("科目%1").arg(k + 1);
    addSubjects(subjects);
    scores::ShowBandReport(model);
    ASSERT_EQ(model.scoreGrid().cols(), 27);
    expectSheetIsGrid(scores::ExportScores(model, when),
                      "A5:AA" + QString::number(model.scoreGrid().rows() + 4));
}

TEST_F(ScoreExport, NumbersWithLeadingZerosAndFormulaLikeNamesStayText) {
    openClass();
    addSubjects({"语文"});
    ASSERT_TRUE(model.addStudent(QStringLiteral("王五"), "1").ok);
    setField("1", "编号", "001");
    setField("001", "姓名", "=SUM(A1:A9)");
    model.LoadRoster();
    const auto out = scores::ExportScores(model, when);
    ASSERT_TRUE(out.outcome.ok);
    const auto b = testing_support::readXlsx(out.path);
    EXPECT_EQ(b.type("C6"), "s"); // the roster: row number, name, number
    EXPECT_EQ(b.value("C6").toString(), "001");
    EXPECT_EQ(b.type("B6"), "s");
    EXPECT_EQ(b.value("B6").toString(), "=SUM(A1:A9)");
}

TEST_F(ScoreExport, WithoutAClassNothingIsWritten) {
    const scores::ExportResult out = scores::ExportScores(model, when);
    EXPECT_FALSE(out.outcome.ok);
    EXPECT_EQ(out.outcome.reason, scores::Reason::NotOpen);
    EXPECT_EQ(out.outcome.messages, QStringList{QStringLiteral("还没有打开学生评语库，请建立或打开！")});
    EXPECT_TRUE(out.path.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(shell::exportFolder()));
}

TEST_F(ScoreExport, AnUnwritableFolderIsOneMessageAndChangesNothing) {
    openClass();
    addSubjects({"语文"});
    model.ShowScoreTable();
    const shell::Grid before = model.scoreGrid();
    const QStringList rows = snapshot();
    QFile blocker(shell::exportFolder()); // a file where the folder should be
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    const scores::ExportResult out = scores::ExportScores(model, when);
    EXPECT_FALSE(out.outcome.ok);
    EXPECT_EQ(out.outcome.reason, scores::Reason::Failed);
    EXPECT_EQ(out.outcome.messages,
              QStringList{QStringLiteral("数据导出失败：无法建立导出文件夹“%1”（同名的文件占用了这个名字）！")
                              .arg(shell::exportFolder())});
    EXPECT_TRUE(out.path.isEmpty());
    EXPECT_EQ(model.scoreGrid(), before);
    EXPECT_EQ(snapshot(), rows);
}

// The writer's own failure comes through with its reason, and leaves no file.
TEST_F(ScoreExport, AWriterFailureCarriesItsReason) {
    QTemporaryDir dir;
    const QString path = dir.filePath("none/x.xlsx");
    const scores::Outcome out = scores::writeGridSheet(shell::Grid(3, 3), path);
    EXPECT_FALSE(out.ok);
    EXPECT_EQ(out.messages, QStringList{QStringLiteral("无法写入文件“%1”（文件夹不存在）").arg(path)});
    EXPECT_FALSE(QFileInfo::exists(path));
}

} // namespace

// The sheet a teacher hands in: named after the class, columns as wide as
// their texts, every column on the first page across (landscape when the
// subjects are many), a Chinese font, totals as the table shows them.
TEST_F(ScoreExport, TheSheetIsNamedSizedAndPrintsWhole) {
    openClass(QStringLiteral("初二(3)班"));
    QStringList subjects;
    for (const char* s : {"语文", "数学", "英语", "物理", "化学", "生物", "历史", "地理", "政治", "信息技术",
                          "音乐", "美术", "体育与健康"})
        subjects << QString::fromUtf8(s);
    addSubjects(subjects);
    ASSERT_TRUE(model.addStudent(QStringLiteral("欧阳娜娜"), QStringLiteral("2023101")).ok);
    model.chooseEntrySubject(0);
    ASSERT_TRUE(model.storeScore(QStringLiteral("语文"), false, QStringLiteral("2023101"), "97.3").ok);
    model.chooseEntrySubject(1);
    ASSERT_TRUE(model.storeScore(QStringLiteral("数学"), false, QStringLiteral("2023101"), "0.1").ok);
    model.ShowScoreTable();
    const int n = subjects.size();
    ASSERT_EQ(model.scoreGrid().text(1, n + 3), QStringLiteral("97.4"));

    const scores::ExportResult out = scores::ExportScores(model, when);
    ASSERT_TRUE(out.outcome.ok) << out.outcome.messages.join(u' ');
    const auto b = testing_support::readXlsx(out.path);
    ASSERT_TRUE(b.ok()) << b.error.toStdString();
    EXPECT_EQ(b.title, QStringLiteral("初二(3)班"));
    // Rows 1 to 4 stay empty; the block starts at A5.
    EXPECT_EQ(b.dimensions.left(2), QStringLiteral("A5"));
    // The total is 97.3 + 0.1 as the table shows it, not a sum of doubles.
    const QString total = SpreadsheetWriter::cellName(6, n + 4);
    EXPECT_EQ(b.raw.value(total).toString(), QStringLiteral("97.4"));
    EXPECT_EQ(b.value(total).toDouble(), 97.4);
    EXPECT_EQ(b.cell(QStringLiteral("B6")).value("fontName").toString(), QStringLiteral("宋体"));
    // Each column at least as wide as its widest text (a Chinese character
    // takes two units).
    const shell::Grid& g = model.scoreGrid();
    for (int c = 0; c < g.cols(); ++c) {
        int widest = 0;
        for (int r = 0; r < g.rows(); ++r)
            widest = qMax(widest, SpreadsheetWriter::textWidth(g.text(r, c)));
        const QString col = SpreadsheetWriter::columnName(c + 1);
        EXPECT_GE(b.widths.value(col).toDouble(), widest + 1) << col.toStdString();
    }
    EXPECT_GE(SpreadsheetWriter::textWidth(QStringLiteral("体育与健康")), 10);
    // Every column on the first page across: one page wide, landscape, A4,
    // the heading row on every page.
    EXPECT_TRUE(b.page.value("fitToPage").toBool());
    // (An absent fitToWidth is the file format's default, 1.)
    EXPECT_EQ(b.page.value("fitToWidth").toInt(1), 1);
    EXPECT_EQ(b.page.value("fitToHeight").toInt(), 0);
    EXPECT_EQ(b.page.value("orientation").toString(), QStringLiteral("landscape"));
    EXPECT_EQ(b.page.value("paperSize").toInt(), 9);
    EXPECT_EQ(b.page.value("printTitleRows").toString(), QStringLiteral("$5:$5"));

    // A roster of three columns stays portrait.
    model.LoadRoster();
    const scores::ExportResult roster = scores::ExportScores(model, when.addSecs(1));
    ASSERT_TRUE(roster.outcome.ok);
    const auto r = testing_support::readXlsx(roster.path);
    ASSERT_TRUE(r.ok()) << r.error.toStdString();
    EXPECT_NE(r.page.value("orientation").toString(), QStringLiteral("landscape"));
    EXPECT_TRUE(r.page.value("fitToPage").toBool());
}
