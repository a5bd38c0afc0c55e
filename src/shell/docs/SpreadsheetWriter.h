#pragma once

#include "shell/core/Outcome.h"

#include <QList>
#include <QString>
#include <cstdint>
#include <optional>

struct lxw_workbook;
struct lxw_worksheet;
struct lxw_format;

namespace shell {

class Grid;

// The spreadsheet's default 56-colour palette, by colour index (1 black,
// 2 white, 3 red, 4 bright green, 5 blue, 6 yellow, 7 pink, 8 turquoise, …),
// as 0xRRGGBB. The program's colours are named by these indexes; the file
// format only takes RGB. Nothing for an index outside 1..56.
std::optional<uint32_t> paletteRgb(int index);

// A new .xlsx workbook of one worksheet, written cell by cell and saved once.
// Rows and columns are numbered as the spreadsheet numbers them: A1 is row 1,
// column 1.
//
//   SpreadsheetWriter book(path);
//   const int name = book.addStyle({.fillColor = 8, .fontColor = 3});
//   book.setColumnWidth(1, 40);
//   book.setText(1, 1, QStringLiteral("张三"), name);
//   const Outcome saved = book.save();
//
// Texts are never formulas: "=1+1" is stored as the text "=1+1". setCell()
// stores a number only for a plain decimal (isPlainDecimal), so "001" stays
// "001", and the file holds that decimal as written ("97.4", never the
// double's 17 digits). A text longer than a cell holds (kMaxText) is cut to
// fit, and characters XML cannot carry are dropped (xmlText), so that one
// stray character never makes the whole file unreadable. Every cell is set
// in kFontName, a face the teacher's spreadsheet program has for Chinese.
//
// save() writes a temporary file beside `path` and renames it at the end:
// an existing file at `path` is never replaced and a failure leaves nothing
// behind. Its message says which file and why.
class SpreadsheetWriter {
public:
    // What a cell can hold: 32,767 UTF-16 units of text; rows and columns.
    static constexpr int kMaxText = 32767;
    static constexpr int kMaxRows = 1048576;
    static constexpr int kMaxCols = 16384;

    // The cells' font: the Chinese name the spreadsheet programs teachers
    // use (WPS, Excel, LibreOffice with fonts-noto-cjk's substitutes) know.
    static inline const QString kFontName = QStringLiteral("宋体");

    struct Options {
        // Each row is flushed to disk when the next one starts, so memory
        // stays flat however large the sheet; cells must then be written row
        // by row, top to bottom (a cell above the current row is refused).
        bool rowsInOrder = false;
        // The worksheet's name (sheetName() makes it one the spreadsheet
        // takes); empty for the default "Sheet1".
        QString sheetName = {};
    };

    // Colours are palette indexes (paletteRgb); 0 leaves the spreadsheet's
    // default (no fill, automatic font colour, no border). A border is a
    // thin continuous line on all four sides of the cell.
    struct CellStyle {
        int fillColor = 0;
        int fontColor = 0;
        int borderColor = 0;
        bool wrap = false;
        bool operator==(const CellStyle&) const = default;
    };

    explicit SpreadsheetWriter(const QString& path);
    SpreadsheetWriter(const QString& path, Options options);
    ~SpreadsheetWriter();
    SpreadsheetWriter(const SpreadsheetWriter&) = delete;
    SpreadsheetWriter& operator=(const SpreadsheetWriter&) = delete;

    QString path() const { return path_; }

    // A style handle for the cell writers; the same style gives the same
    // handle. 0 is the default style. A colour index outside the palette is
    // refused at save().
    int addStyle(const CellStyle& style);

    // Width of column `col` in the spreadsheet's character units.
    void setColumnWidth(int col, double width);

    // Printing: on A4, every column on one page across (the rows run on as
    // far as they need), turned to landscape when asked, with rows
    // `firstRow`..`lastRow` repeated at the top of every page.
    void printOnePageWide(bool landscape, int firstRow = 0, int lastRow = 0);

    // A number when `text` is a plain decimal, else the text.
    void setCell(int row, int col, const QString& text, int style = 0);
    // Always a text cell (an empty text gives an empty cell that keeps the
    // style).
    void setText(int row, int col, const QString& text, int style = 0);
    void setNumber(int row, int col, double value, int style = 0);

    // Grid cell (r, c) into (firstRow + r, firstCol + c), every cell of the
    // grid, empty ones too, each through setCell with `style`.
    void setGrid(const Grid& grid, int firstRow, int firstCol, int style = 0);

    // Writes the file. After save() the writer takes no more cells.
    Outcome save();

    // A decimal as a table shows it: an optional "-", digits without a
    // leading zero (a lone "0" before the point is fine), an optional point
    // followed by digits that do not end in 0, at most 15 significant digits
    // (what the spreadsheet keeps), and not "-0". "84.5", "-3", "0.25" are;
    // "001", "1.50", "1e5", " 1", "+1", "1." are not.
    static bool isPlainDecimal(const QString& text);
    // A worksheet name the spreadsheet takes, from `name`: at most 31
    // characters, none of []:*?/\, no apostrophe at either end, only
    // characters XML carries, not the reserved "History"; "Sheet1" when
    // nothing is left.
    static QString sheetName(const QString& name);
    // How many character units `text` takes in a cell: a full-width
    // (Chinese) character two, any other one.
    static int textWidth(const QString& text);

    // "A1" style names: column 1 is "A", 27 is "AA".
    static QString columnName(int col);
    static QString cellName(int row, int col);

private:
    bool placeCell(int row, int col);
    lxw_format* format(int style);
    void fail(const QString& why);
    void writeNumber(int row, int col, double value, lxw_format* f);
    // The sheet's numbers as their shortest decimals (see save()).
    QString mendNumbers();

    QString path_;
    QString tempPath_;
    QByteArray tempName_;
    lxw_workbook* book_ = nullptr;
    lxw_worksheet* sheet_ = nullptr;
    bool rowsInOrder_ = false;
    int lastRow_ = 0;
    bool saved_ = false;
    // A number was written whose text the library would not give back as
    // the shortest decimal of its value.
    bool numbersToMend_ = false;
    QString error_; // the first refusal; save() reports it
    QList<CellStyle> styles_;
    QList<lxw_format*> formats_;
};

} // namespace shell
