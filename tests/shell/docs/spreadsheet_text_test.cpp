// What the spreadsheet writer puts into the file: texts another program can
// read whatever characters they held, numbers as the decimals the table
// shows, a Chinese font, a sheet name the spreadsheet takes.

#include "XlsxReadBack.h"
#include "shell/docs/SpreadsheetWriter.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using shell::SpreadsheetWriter;
using testing_support::readXlsx;

namespace {

QString u(std::initializer_list<char16_t> units) {
    QString s;
    for (char16_t c : units)
        s.append(QChar(c));
    return s;
}

} // namespace

// One stray character in a name or comment never makes the workbook
// unreadable: every class of character XML cannot carry is dropped, the
// rest comes back as written. Both memory modes write their strings
// differently (shared and inline).
TEST(SpreadsheetText, EveryCharacterClassReadsBack) {
    const struct {
        const char* what;
        QString in, out;
    } cases[] = {
        {"plain", QStringLiteral("王伟"), QStringLiteral("王伟")},
        {"U+FFFE", u({0x738B, 0xFFFE, 0x4F1F}), QStringLiteral("王伟")},
        {"U+FFFF", u({0x738B, 0xFFFF}), QStringLiteral("王")},
        {"NUL", u({'a', 0, 'b'}), QStringLiteral("ab")},
        {"C0 controls", u({'a', 0x1, 0x8, 0xB, 0xC, 0x1B, 0x1F, 'b'}), QStringLiteral("ab")},
        {"tab and line breaks stay", u({'a', '\t', 'b', '\n', 'c'}), u({'a', '\t', 'b', '\n', 'c'})},
        {"lone high surrogate", u({'a', 0xD83D, 'b'}), QStringLiteral("ab")},
        {"lone low surrogate", u({0xDE00, 'a'}), QStringLiteral("a")},
        {"high surrogate at the end", u({'a', 0xDBFF}), QStringLiteral("a")},
        {"pairs stay", QStringLiteral("𠀋😀"), QStringLiteral("𠀋😀")},
        {"bidi marks are characters", u({0x202E, 'a', 0x200F}), u({0x202E, 'a', 0x200F})},
        {"U+FDD0 is an XML character", u({0xFDD0}), u({0xFDD0})},
        {"only controls", u({0x1, 0x2}), QString()},
    };
    for (const bool inOrder : {false, true}) {
        SCOPED_TRACE(inOrder ? "rows in order" : "in memory");
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("文字.xlsx"));
        SpreadsheetWriter book(path, {.rowsInOrder = inOrder});
        int row = 1;
        for (const auto& c : cases)
            book.setText(row++, 1, c.in);
        ASSERT_TRUE(book.save().ok);
        const auto b = readXlsx(path);
        ASSERT_TRUE(b.ok()) << b.error.toStdString();
        row = 1;
        for (const auto& c : cases) {
            const QString name = SpreadsheetWriter::cellName(row++, 1);
            EXPECT_EQ(b.value(name).toString(), c.out) << c.what;
        }
    }
}

// A number is in the file as the decimal the table shows, not as the
// double's 16 or 17 digits; the font is Chinese.
TEST(SpreadsheetText, NumbersAreTheDecimalsShownInAChineseFont) {
    const char* numbers[] = {"97.4",   "84.3333333333333", "0.1", "253.1234", "-3.3", "1.7", "100",
                             "0.0025", "123456789012345"};
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("分数.xlsx"));
    SpreadsheetWriter book(path, {.rowsInOrder = true});
    const int bordered = book.addStyle({.borderColor = 1});
    int row = 1;
    for (const char* n : numbers) {
        book.setCell(row, 1, QString::fromLatin1(n), row % 2 ? bordered : 0);
        ++row;
    }
    book.setNumber(row, 1, 97.4);
    book.setText(row, 2, QStringLiteral("姓名"));
    ASSERT_TRUE(book.save().ok);
    const auto b = readXlsx(path);
    ASSERT_TRUE(b.ok()) << b.error.toStdString();
    row = 1;
    for (const char* n : numbers) {
        const QString name = SpreadsheetWriter::cellName(row++, 1);
        EXPECT_EQ(b.raw.value(name).toString(), QString::fromLatin1(n)) << n;
        EXPECT_EQ(b.value(name).toDouble(), QString::fromLatin1(n).toDouble()) << n;
        EXPECT_EQ(b.cell(name).value("fontName").toString(), SpreadsheetWriter::kFontName) << n;
    }
    EXPECT_EQ(b.raw.value(SpreadsheetWriter::cellName(row, 1)).toString(), "97.4");
    EXPECT_EQ(b.cell(SpreadsheetWriter::cellName(row, 2)).value("fontName").toString(),
              SpreadsheetWriter::kFontName);
}

TEST(SpreadsheetText, SheetNamesTheSpreadsheetTakes) {
    const struct {
        QString name, sheet;
    } cases[] = {
        {QStringLiteral("初二(3)班"), QStringLiteral("初二(3)班")},
        {QStringLiteral("高一[2]班:理科/实验*?\\"), QStringLiteral("高一2班理科实验")},
        {QStringLiteral("'七年级'"), QStringLiteral("七年级")},
        {QStringLiteral("二").repeated(40), QStringLiteral("二").repeated(31)},
        {QStringLiteral("😀").repeated(16), QStringLiteral("😀").repeated(15)}, // never half a character
        {u({0x738B, 0xFFFE, '\n', 0x4F1F}), QStringLiteral("王伟")},
        {QStringLiteral("[]:*?/"), QStringLiteral("Sheet1")},
        {QStringLiteral("history"), QStringLiteral("history1")},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SpreadsheetWriter::sheetName(c.name), c.sheet) << c.name.toStdString();

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("班.xlsx"));
    SpreadsheetWriter book(path, {.sheetName = QStringLiteral("高一[2]班")});
    book.setText(1, 1, QStringLiteral("张三"));
    ASSERT_TRUE(book.save().ok);
    const auto b = readXlsx(path);
    ASSERT_TRUE(b.ok()) << b.error.toStdString();
    EXPECT_EQ(b.title, QStringLiteral("高一2班"));
}
