// Table files made to hurt the reader: sheets that name far-away rows and
// columns, packages whose parts unpack to far more than they claim, CSV
// files too large for a class list, quotes never closed, reads stopped from
// outside. Each is refused with its message while what is held stays within
// the bounds (the reader's own count of cells and unpacked bytes).
#include "shell/core/TableFile.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <utility>
#include <vector>
#include <zip.h>

using shell::Reason;
using shell::TableLimits;
using shell::TableRead;
using shell::TableRows;

namespace {

using Parts = std::vector<std::pair<const char*, QByteArray>>;

QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    const QString path = dir.filePath(name);
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    EXPECT_EQ(f.write(bytes), bytes.size());
    return path;
}

QString sparseFile(const QTemporaryDir& dir, const QString& name, qint64 size) {
    const QString path = dir.filePath(name);
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    EXPECT_TRUE(f.resize(size));
    return path;
}

// A package of the given parts, deflated; without a workbook the reader
// takes xl/worksheets/sheet1.xml as the first sheet.
QString writeXlsx(const QTemporaryDir& dir, const QString& name, const Parts& parts) {
    const QString path = dir.filePath(name);
    int err = 0;
    zip_t* z = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &err);
    EXPECT_TRUE(z);
    for (const auto& [part, bytes] : parts) {
        zip_source_t* src = zip_source_buffer(z, bytes.constData(), zip_uint64_t(bytes.size()), 0);
        EXPECT_GE(zip_file_add(z, part, src, ZIP_FL_ENC_UTF_8), 0);
    }
    EXPECT_EQ(zip_close(z), 0);
    return path;
}

QByteArray sheetXml(const QByteArray& rows) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
           "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetData>" +
           rows + "</sheetData></worksheet>";
}

QByteArray inlineCell(const QByteArray& ref, const QByteArray& text) {
    return "<c r=\"" + ref + "\" t=\"inlineStr\"><is><t>" + text + "</t></is></c>";
}

// Sets the unpacked size that the local and central headers of `part` claim.
QByteArray claimSize(QByteArray zip, const QByteArray& part, quint32 size) {
    auto put = [&zip, size](qsizetype at) {
        for (int i = 0; i < 4; ++i)
            zip[at + i] = char((size >> (8 * i)) & 0xFF);
    };
    for (qsizetype at = 0; (at = zip.indexOf("PK\x03\x04", at)) >= 0; at += 4)
        if (zip.mid(at + 30, part.size()) == part) put(at + 22);
    for (qsizetype at = 0; (at = zip.indexOf("PK\x01\x02", at)) >= 0; at += 4)
        if (zip.mid(at + 46, part.size()) == part) put(at + 24);
    return zip;
}

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    return f.readAll();
}

TEST(TableFileBounds, CraftedFilesAreRefusedWithWhatIsHeldBounded) {
    QTemporaryDir dir;
    const QByteArray header = inlineCell("A1", "学号");

    QByteArray farColumn;
    for (int r = 1; r <= 20000; ++r)
        farColumn += "<row r=\"" + QByteArray::number(r) + "\">" +
                     inlineCell("XFD" + QByteArray::number(r), "x") + "</row>";
    // Shared strings that unpack to 80 MB from a small package.
    const QByteArray hugeStrings = "<sst><si><t>" + QByteArray(80 * 1024 * 1024, 'A') + "</t></si></sst>";
    const Parts bomb{
        {"xl/sharedStrings.xml", hugeStrings},
        {"xl/worksheets/sheet1.xml", sheetXml("<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c></row>")}};
    const QString honestBomb = writeXlsx(dir, QStringLiteral("炸弹.xlsx"), bomb);
    // The same package claiming its strings are 100 bytes: counted as they inflate.
    const QString lyingBomb = writeFile(dir, QStringLiteral("谎报.xlsx"),
                                        claimSize(fileBytes(honestBomb), "xl/sharedStrings.xml", 100));

    QByteArray manyFields;
    for (qint64 i = 0; i <= TableLimits::kCells; i += 200)
        manyFields += QByteArray("1,").repeated(199) + "1\n";
    QByteArray manyLines;
    for (int i = 0; i <= TableLimits::kRows; ++i)
        manyLines += "1,2\n";

    struct Case {
        const char* what;
        QString path;
        qint64 maxCells;
        qint64 maxBytes = -1; // unpacked or read; -1: not checked
    };
    const std::vector<Case> cases{
        {"a row two billion down",
         writeXlsx(dir, QStringLiteral("远行.xlsx"),
                   {{"xl/worksheets/sheet1.xml",
                     sheetXml("<row r=\"1\">" + header + "</row><row r=\"2000000000\">" +
                              inlineCell("A2000000000", "张三") + "</row>")}}),
         1},
        {"20,000 rows of one cell in the last column",
         writeXlsx(dir, QStringLiteral("远列.xlsx"), {{"xl/worksheets/sheet1.xml", sheetXml(farColumn)}}), 0},
        {"a column reference longer than any sheet's",
         writeXlsx(dir, QStringLiteral("长列.xlsx"),
                   {{"xl/worksheets/sheet1.xml",
                     sheetXml("<row r=\"1\">" + inlineCell("ZZZZZZZZZZZZZZZZZZZZZZZZZZ1", "x") + "</row>")}}),
         0},
        {"shared strings that say they unpack to 80 MB", honestBomb, 0, 0},
        {"shared strings that unpack to 80 MB but claim 100 bytes", lyingBomb, 0,
         TableLimits::kPartBytes + 64 * 1024},
        {"a CSV of more cells than the bound", writeFile(dir, QStringLiteral("多格.csv"), manyFields),
         TableLimits::kCells + 1},
        {"a CSV of more rows than the bound", writeFile(dir, QStringLiteral("多行.csv"), manyLines),
         2 * TableLimits::kRows + 2},
        {"a CSV line of more columns than the bound",
         writeFile(dir, QStringLiteral("多列.csv"), QByteArray(TableLimits::kColumns, ',') + "x\n"),
         TableLimits::kColumns + 1},
        {"one quoted CSV field larger than all text may be",
         writeFile(dir, QStringLiteral("长格.csv"),
                   "\"" + QByteArray(TableLimits::kTextChars + 1024 * 1024, 'x') + "\"\n1,2\n"),
         1, TableLimits::kTextChars + 64 * 1024},
        {"an .xls larger than the bound",
         sparseFile(dir, QStringLiteral("大.xls"), TableLimits::kXlsFileBytes + 1), 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TableRows rows;
        TableRead watch;
        const shell::Outcome out = shell::readTableFile(c.path, rows, &watch);
        EXPECT_EQ(out.reason, Reason::Invalid);
        EXPECT_EQ(out.messages, QStringList{shell::tooBigText(QFileInfo(c.path).fileName())});
        EXPECT_TRUE(rows.isEmpty());
        EXPECT_LE(watch.cells.load(), c.maxCells);
        if (c.maxBytes >= 0) {
            EXPECT_LE(watch.bytes.load(), c.maxBytes);
        }
    }
    EXPECT_EQ(
        shell::tooBigText(QStringLiteral("名单.xlsx")),
        QStringLiteral("文件“名单.xlsx”太大，最多只能导入65536行、256列（共200万个单元格），请分开导入！"));
}

TEST(TableFileBounds, FarAwayMarksWithNothingInThemCostNothing) {
    QTemporaryDir dir;
    // Formatting marks rows and cells far away with no value: neither is held.
    const QString path = writeXlsx(
        dir, QStringLiteral("格式.xlsx"),
        {{"xl/worksheets/sheet1.xml",
          sheetXml("<row r=\"1\">" + inlineCell("A1", "学号") +
                   "<c r=\"XFD1\" s=\"3\"/></row>"
                   "<row r=\"2\"><c r=\"A2\"><v>1001</v></c><c r=\"B2\" t=\"s\"><v>99999999999</v></c></row>"
                   "<row r=\"1048576\" s=\"2\" customFormat=\"1\"/>")}});
    TableRows rows;
    TableRead watch;
    ASSERT_TRUE(shell::readTableFile(path, rows, &watch));
    EXPECT_EQ(rows, (TableRows{{QStringLiteral("学号")}, {QStringLiteral("1001")}}));
    EXPECT_EQ(watch.cells.load(), 2);
    EXPECT_EQ(watch.permille.load(), 1000);

    // The widest sheet a class list may have, a value in its last column.
    QByteArray wide;
    for (int r = 1; r <= 100; ++r)
        wide += "<row r=\"" + QByteArray::number(r) + "\"><c r=\"IV" + QByteArray::number(r) + "\"><v>" +
                QByteArray::number(r) + "</v></c></row>";
    ASSERT_TRUE(shell::readTableFile(
        writeXlsx(dir, QStringLiteral("宽.xlsx"), {{"xl/worksheets/sheet1.xml", sheetXml(wide)}}), rows,
        &watch));
    ASSERT_EQ(rows.size(), 100);
    EXPECT_EQ(rows[99].size(), TableLimits::kColumns);
    EXPECT_EQ(rows[99].last(), QStringLiteral("100"));
}

TEST(TableFileBounds, UnterminatedQuoteIsToldWithItsRow) {
    QTemporaryDir dir;
    struct Case {
        const char* what;
        QByteArray bytes;
        int row;
    };
    const std::vector<Case> cases{
        {"in the middle", "学号,姓名\n1001,张三\n1002,\"李四\n1003,王五\n1004,赵六\n", 3},
        // A closed quote holding a line break before it leaves the rows as a spreadsheet counts them.
        {"after a name on two lines", "学号,姓名\n1001,\"张\n三\"\n1002,李四\n\"1003,王五\n", 4},
        {"in the first cell", "\"学号,姓名\n", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TableRows rows{{QStringLiteral("stale")}};
        const shell::Outcome out =
            shell::readTableFile(writeFile(dir, QStringLiteral("名单.csv"), c.bytes), rows);
        EXPECT_EQ(out.reason, Reason::Invalid);
        EXPECT_EQ(out.messages,
                  QStringList{
                      QStringLiteral("文件“名单.csv”第%1行的引号没有结束，没有导入任何内容，请检查后再导入！")
                          .arg(c.row)});
        EXPECT_TRUE(rows.isEmpty());
    }
}

TEST(TableFileBounds, AReadStoppedFromOutsideEndsWithoutAMessage) {
    QTemporaryDir dir;
    const Parts sheet{
        {"xl/worksheets/sheet1.xml", sheetXml("<row r=\"1\">" + inlineCell("A1", "x") + "</row>")}};
    for (const QString& path : {writeFile(dir, QStringLiteral("名单.csv"), "a,b\n1,2\n"),
                                writeXlsx(dir, QStringLiteral("名单.xlsx"), sheet)}) {
        SCOPED_TRACE(qPrintable(path));
        TableRows rows;
        TableRead watch;
        watch.cancel = true;
        const shell::Outcome out = shell::readTableFile(path, rows, &watch);
        EXPECT_EQ(out.reason, Reason::NotChosen);
        EXPECT_TRUE(out.messages.isEmpty());
        EXPECT_TRUE(rows.isEmpty());
    }
}

} // namespace
