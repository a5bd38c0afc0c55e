#include "TestSupport.h"
#include "XlsxReadBack.h"
#include "shell/core/Grid.h"
#include "shell/docs/ExportFolder.h"
#include "shell/docs/SpreadsheetWriter.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

using shell::SpreadsheetWriter;
using testing_support::readXlsx;

namespace {

QStringList borderStyles(const testing_support::XlsxBook& b, const QString& cell) {
    QStringList out;
    for (const QJsonValue v : b.cell(cell).value(QStringLiteral("border")).toArray())
        out << v.toString();
    return out;
}
QStringList borderColors(const testing_support::XlsxBook& b, const QString& cell) {
    QStringList out;
    for (const QJsonValue v : b.cell(cell).value(QStringLiteral("borderColor")).toArray())
        out << v.toString();
    return out;
}
const QStringList kThin(4, QStringLiteral("thin"));
const QStringList kBlack(4, QStringLiteral("FF000000"));

} // namespace

TEST(SpreadsheetWriter, PlainDecimalsOnlyBecomeNumbers) {
    const struct {
        const char* text;
        bool number;
    } cases[] = {
        {"0", true},
        {"7", true},
        {"84.5", true},
        {"-3", true},
        {"0.25", true},
        {"-0.5", true},
        {"0.0025", true},
        {"84.3333333333333", true},
        {"123456789012345", true},
        {"1234567890123456", false}, // past 15 digits
        {"0.0000000000000001", true},
        {"001", false},
        {"00.5", false},
        {"1.50", false},
        {"1.0", false},
        {"1.", false},
        {".5", false},
        {"-0", false},
        {"+1", false},
        {"1e5", false},
        {" 1", false},
        {"1 ", false},
        {"", false},
        {"-", false},
        {"=1+1", false},
        {"1,000", false},
        {"１２", false},
        {"85分", false},
        {"NaN", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SpreadsheetWriter::isPlainDecimal(QString::fromUtf8(c.text)), c.number) << c.text;
}

TEST(SpreadsheetWriter, NamesColumnsPastZ) {
    const struct {
        int col;
        const char* name;
    } cases[] = {{1, "A"},   {8, "H"},    {26, "Z"},    {27, "AA"},    {52, "AZ"},
                 {53, "BA"}, {702, "ZZ"}, {703, "AAA"}, {16384, "XFD"}};
    for (const auto& c : cases)
        EXPECT_EQ(SpreadsheetWriter::columnName(c.col), QString::fromLatin1(c.name)) << c.col;
    EXPECT_EQ(SpreadsheetWriter::cellName(29, 8), QStringLiteral("H29"));
}

TEST(SpreadsheetWriter, PaletteIsTheSpreadsheetsDefault) {
    EXPECT_EQ(shell::paletteRgb(1), 0x000000u);
    EXPECT_EQ(shell::paletteRgb(2), 0xFFFFFFu);
    EXPECT_EQ(shell::paletteRgb(3), 0xFF0000u);
    EXPECT_EQ(shell::paletteRgb(7), 0xFF00FFu);
    EXPECT_EQ(shell::paletteRgb(8), 0x00FFFFu);
    EXPECT_EQ(shell::paletteRgb(56), 0x333333u);
    EXPECT_FALSE(shell::paletteRgb(0));
    EXPECT_FALSE(shell::paletteRgb(57));
    EXPECT_FALSE(shell::paletteRgb(-4105));

    // Every entry against openpyxl's copy of the same palette (indexes 8..63
    // there are the palette's 1..56).
    QProcess p;
    p.start(
        QFile::exists(QStringLiteral("/usr/bin/python3")) ? QStringLiteral("/usr/bin/python3")
                                                          : QStringLiteral("python3"),
        {QStringLiteral("-c"),
         QStringLiteral("from openpyxl.styles.colors import COLOR_INDEX as c; print(' '.join(c[8:64]))")});
    ASSERT_TRUE(p.waitForFinished(60000));
    const QStringList theirs =
        QString::fromLatin1(p.readAllStandardOutput()).simplified().split(u' ', Qt::SkipEmptyParts);
    ASSERT_EQ(theirs.size(), 56);
    for (int i = 1; i <= 56; ++i)
        EXPECT_EQ(*shell::paletteRgb(i), theirs[i - 1].right(6).toUInt(nullptr, 16)) << i;
}

// A grid written at A5 with thin black borders, read back by another
// program, in both memory modes.
TEST(SpreadsheetWriter, GridBlockReadsBackWithKindsAndBorders) {
    for (const bool inOrder : {false, true}) {
        SCOPED_TRACE(inOrder ? "rows in order" : "in memory");
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("成绩.xlsx"));
        shell::Grid g(4, 27);
        const QStringList heading{"学号", "姓名", "语文"};
        for (int c = 0; c < heading.size(); ++c)
            g.setText(0, c, heading[c]);
        g.setText(1, 0, "001");
        g.setText(1, 1, "=1+1");
        g.setText(1, 2, "84.5");
        g.setText(2, 0, "2");
        g.setText(2, 1, QStringLiteral("张\x01三"));
        g.setText(2, 2, "-0");
        g.setText(3, 26, QStringLiteral("末列"));
        SpreadsheetWriter book(path, {.rowsInOrder = inOrder});
        book.setGrid(g, 5, 1, book.addStyle({.borderColor = 1}));
        ASSERT_TRUE(book.save().ok);
        EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral(".~成绩.xlsx.part"))));

        const auto b = readXlsx(path);
        ASSERT_TRUE(b.ok()) << b.error.toStdString();
        EXPECT_EQ(b.sheets, 1);
        EXPECT_EQ(b.dimensions, QStringLiteral("A5:AA8"));
        EXPECT_EQ(b.value("B5").toString(), QStringLiteral("姓名"));
        EXPECT_EQ(b.type("A6"), "s");
        EXPECT_EQ(b.value("A6").toString(), "001");
        EXPECT_EQ(b.type("B6"), "s");
        EXPECT_EQ(b.value("B6").toString(), "=1+1");
        EXPECT_EQ(b.type("C6"), "n");
        EXPECT_EQ(b.value("C6").toDouble(), 84.5);
        EXPECT_EQ(b.type("A7"), "n");
        EXPECT_EQ(b.value("A7").toDouble(), 2);
        EXPECT_EQ(b.value("B7").toString(), QStringLiteral("张三")); // no control character in the file
        EXPECT_EQ(b.type("C7"), "s");
        EXPECT_EQ(b.value("AA8").toString(), QStringLiteral("末列"));
        // Rows 1 to 4 stay empty; every cell of the block, empty ones too, is bordered.
        for (const QString& name : b.cells.keys())
            EXPECT_GE(name.mid(name.indexOf(QRegularExpression("[0-9]"))).toInt(), 5) << name.toStdString();
        for (const char* cell : {"A5", "D6", "AA5", "Z8", "AA8"}) {
            EXPECT_EQ(borderStyles(b, cell), kThin) << cell;
            EXPECT_EQ(borderColors(b, cell), kBlack) << cell;
        }
    }
}

// What the comment export asks for: a filled, coloured name cell, a wrapped
// comment cell with a pink border, a wide first column, and texts longer
// than a cell holds cut to fit.
TEST(SpreadsheetWriter, StylesWidthsAndLongTexts) {
    QTemporaryDir dir;
    const QString path = dir.filePath("comments.xlsx");
    SpreadsheetWriter book(path);
    const int name = book.addStyle({.fillColor = 8, .fontColor = 3});
    const int comment = book.addStyle({.borderColor = 7, .wrap = true});
    EXPECT_EQ(book.addStyle({.fillColor = 8, .fontColor = 3}), name);
    book.setColumnWidth(1, 40);
    book.setText(1, 1, QStringLiteral("学生姓名"), name);
    book.setText(2, 1, QString(40000, QChar(u'好')), comment);
    book.setText(4, 1, "007", name); // a text stays a text
    book.setText(5, 1, QString(SpreadsheetWriter::kMaxText - 1, QChar(u'a')) + QStringLiteral("😀"), comment);
    book.setText(7, 1, QString(), comment);
    ASSERT_TRUE(book.save().ok);

    const auto b = readXlsx(path);
    ASSERT_TRUE(b.ok()) << b.error.toStdString();
    EXPECT_EQ(b.cell("A1").value("fill").toString(), "FF00FFFF");
    EXPECT_EQ(b.cell("A1").value("font").toString(), "FFFF0000");
    EXPECT_EQ(b.value("A2").toString(), QString(SpreadsheetWriter::kMaxText, QChar(u'好')));
    EXPECT_TRUE(b.cell("A2").value("wrap").toBool());
    EXPECT_EQ(borderStyles(b, "A2"), kThin);
    EXPECT_EQ(borderColors(b, "A2"), QStringList(4, QStringLiteral("FFFF00FF")));
    EXPECT_EQ(b.type("A4"), "s");
    // Never half a character: the emoji that does not fit is left out whole.
    EXPECT_EQ(b.value("A5").toString(), QString(SpreadsheetWriter::kMaxText - 1, QChar(u'a')));
    EXPECT_EQ(borderStyles(b, "A7"), kThin);
    EXPECT_NEAR(b.widths.value("A").toDouble(), 40, 1);
}

TEST(SpreadsheetWriter, FailuresSayWhyAndLeaveNothing) {
    QTemporaryDir dir;
    // A file where the folder should be: even root cannot write there.
    QFile blocker(dir.filePath("blocked"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QString existing = dir.filePath("existing.xlsx");
    QFile old(existing);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old");
    old.close();

    struct Case {
        const char* what;
        QString path;
        std::function<void(SpreadsheetWriter&)> fill;
        QString reason;
    };
    const std::vector<Case> cases{
        {"folder missing", dir.filePath("none/a.xlsx"), [](SpreadsheetWriter&) {},
         QStringLiteral("文件夹不存在")},
        {"folder is a file", dir.filePath("blocked/a.xlsx"), [](SpreadsheetWriter&) {},
         QStringLiteral("“%1”不是文件夹").arg(dir.filePath("blocked"))},
        {"file exists", existing, [](SpreadsheetWriter&) {}, QStringLiteral("同名文件已经存在")},
        {"colour outside the palette", dir.filePath("c.xlsx"),
         [](SpreadsheetWriter& w) { w.setText(1, 1, "x", w.addStyle({.fontColor = 57})); },
         QStringLiteral("字体颜色编号57超出调色板（1～56）")},
        {"row above the flushed ones", dir.filePath("d.xlsx"),
         [](SpreadsheetWriter& w) {
             w.setText(3, 1, "x");
             w.setText(2, 1, "y");
         },
         QStringLiteral("第2行已经写完，不能再写入")},
        {"grid past the last row", dir.filePath("e.xlsx"),
         [](SpreadsheetWriter& w) { w.setGrid(shell::Grid(2, 2), SpreadsheetWriter::kMaxRows, 1); },
         QStringLiteral("单元格（第1048577行，第2列）超出工作表范围")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SpreadsheetWriter w(c.path, {.rowsInOrder = true});
        c.fill(w);
        const shell::Outcome saved = w.save();
        EXPECT_FALSE(saved.ok);
        EXPECT_EQ(saved.reason, shell::Reason::Failed);
        EXPECT_EQ(saved.messages,
                  QStringList{QStringLiteral("无法写入文件“%1”（%2）").arg(c.path, c.reason)});
        if (c.path != existing) {
            EXPECT_FALSE(QFile::exists(c.path));
        }
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              (QStringList{"blocked", "existing.xlsx"}));
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), "old");
}

TEST(ExportFolder, NewNamesBesideTheDataFiles) {
    testing_support::DataFolder folder(false);
    const QDateTime when(QDate(2024, 3, 5), QTime(14, 30, 12));
    const auto first = shell::newExportFile(QStringLiteral("初一1班成绩表"), "xlsx", when);
    ASSERT_TRUE(first.outcome.ok);
    EXPECT_EQ(first.path, folder.file(QStringLiteral("导出/初一1班成绩表-20240305-143012.xlsx")));
    EXPECT_TRUE(QFileInfo(folder.file(QStringLiteral("导出"))).isDir());
    QFile taken(first.path);
    ASSERT_TRUE(taken.open(QIODevice::WriteOnly));
    taken.close();
    EXPECT_EQ(shell::newExportFile(QStringLiteral("初一1班成绩表"), "xlsx", when).path,
              folder.file(QStringLiteral("导出/初一1班成绩表-20240305-143012(2).xlsx")));

    const struct {
        const char* title;
        const char* name;
    } cases[] = {{"../a/b", "_a_b"}, {".hidden", "hidden"}, {"", "导出"}, {"  a:b*?  ", "a_b__"}};
    for (const auto& c : cases)
        EXPECT_EQ(QFileInfo(shell::newExportFile(QString::fromUtf8(c.title), "xlsx", when).path).fileName(),
                  QString::fromUtf8(c.name) + "-20240305-143012.xlsx")
            << c.title;
}

TEST(ExportFolder, AFileInTheWayIsReported) {
    testing_support::DataFolder folder(false);
    QFile blocker(folder.file(QStringLiteral("导出")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const auto target = shell::newExportFile("x", "xlsx");
    EXPECT_FALSE(target.outcome.ok);
    EXPECT_EQ(target.outcome.reason, shell::Reason::Failed);
    EXPECT_EQ(
        target.outcome.messages,
        QStringList{
            QStringLiteral("无法建立导出文件夹“%1”（同名的文件占用了这个名字）").arg(folder.file("导出"))});
    EXPECT_TRUE(target.path.isEmpty());
}
