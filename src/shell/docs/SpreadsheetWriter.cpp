#include "SpreadsheetWriter.h"

#include "shell/core/Grid.h"
#include "shell/core/TextRules.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <array>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <xlsxwriter.h>
#include <zip.h>

namespace shell {

namespace {

// The default palette of the spreadsheet's colour indexes 1..56.
constexpr std::array<uint32_t, 56> kPalette{
    0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0xFF00FF, 0x00FFFF, // 1-8
    0x800000, 0x008000, 0x000080, 0x808000, 0x800080, 0x008080, 0xC0C0C0, 0x808080, // 9-16
    0x9999FF, 0x993366, 0xFFFFCC, 0xCCFFFF, 0x660066, 0xFF8080, 0x0066CC, 0xCCCCFF, // 17-24
    0x000080, 0xFF00FF, 0xFFFF00, 0x00FFFF, 0x800080, 0x800000, 0x008080, 0x0000FF, // 25-32
    0x00CCFF, 0xCCFFFF, 0xCCFFCC, 0xFFFF99, 0x99CCFF, 0xFF99CC, 0xCC99FF, 0xFFCC99, // 33-40
    0x3366FF, 0x33CCCC, 0x99CC00, 0xFFCC00, 0xFF9900, 0xFF6600, 0x666699, 0x969696, // 41-48
    0x003366, 0x339966, 0x003300, 0x333300, 0x993300, 0x993366, 0x333399, 0x333333, // 49-56
};

// libxlsxwriter reads 0 as "no colour", so black has a code of its own.
lxw_color_t lxwColor(uint32_t rgb) {
    return rgb == 0 ? lxw_color_t(LXW_COLOR_BLACK) : lxw_color_t(rgb);
}

QString native(const QString& path) {
    return QDir::toNativeSeparators(path);
}

// What went wrong, in the teacher's words; the library's own text for the
// rare rest.
QString reasonText(lxw_error error, const QString& path) {
    switch (error) {
    case LXW_ERROR_CREATING_XLSX_FILE: {
        const QFileInfo folder(QFileInfo(path).absolutePath());
        if (!folder.exists()) return QStringLiteral("文件夹不存在");
        if (!folder.isDir()) return QStringLiteral("“%1”不是文件夹").arg(native(folder.filePath()));
        if (!folder.isWritable()) return QStringLiteral("没有写入这个文件夹的权限");
        return QStringLiteral("不能建立文件");
    }
    case LXW_ERROR_CREATING_TMPFILE:
    case LXW_ERROR_READING_TMPFILE:
        return QStringLiteral("不能使用临时文件");
    case LXW_ERROR_MEMORY_MALLOC_FAILED:
        return QStringLiteral("内存不足");
    case LXW_ERROR_ZIP_FILE_OPERATION:
    case LXW_ERROR_ZIP_PARAMETER_ERROR:
    case LXW_ERROR_ZIP_BAD_ZIP_FILE:
    case LXW_ERROR_ZIP_INTERNAL_ERROR:
    case LXW_ERROR_ZIP_FILE_ADD:
    case LXW_ERROR_ZIP_CLOSE:
        return QStringLiteral("写入时出错，磁盘可能已满");
    default:
        return QString::fromUtf8(lxw_strerror(error));
    }
}

// A character XML 1.0 cannot carry (a C0 control, U+FFFE, U+FFFF, half a
// surrogate pair) would make the whole workbook unreadable; a cell never
// needs one, so it is dropped.
QByteArray cellBytes(const QString& text) {
    QString s = text;
    if (s.size() > SpreadsheetWriter::kMaxText) {
        s.truncate(SpreadsheetWriter::kMaxText);
        if (s.back().isHighSurrogate()) s.chop(1); // never half a character
    }
    return xmlText(s).toUtf8();
}

// The shortest decimal that reads back as `value` ("97.4").
std::string_view shortest(double value, char (&buffer)[40]) {
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string_view(buffer, size_t(r.ptr - buffer));
}

// libxlsxwriter writes a number with 16 significant digits, which turns the
// 97.4 a table shows into 97.40000000000001 in the file.
bool libraryTextIsShortest(double value) {
    char lib[40];
    std::snprintf(lib, sizeof lib, "%.16G", value);
    char buffer[40];
    return std::string_view(lib) == shortest(value, buffer);
}

// The values of a sheet's number cells (<c …><v>…</v></c> without a type)
// as their shortest decimals.
QByteArray shortestNumbers(const QByteArray& xml) {
    QByteArray out;
    out.reserve(xml.size());
    qsizetype pos = 0;
    for (;;) {
        const qsizetype v = xml.indexOf("<v>", pos);
        if (v < 0) break;
        const qsizetype end = xml.indexOf("</v>", v);
        if (end < 0) break;
        const qsizetype cell = xml.lastIndexOf("<c ", v);
        const bool number = cell >= 0 && QByteArrayView(xml).sliced(cell, v - cell).indexOf("t=\"") < 0;
        out += QByteArrayView(xml).sliced(pos, v + 3 - pos);
        const QByteArray value = xml.sliced(v + 3, end - v - 3);
        char* stop = nullptr;
        const double d = number ? std::strtod(value.constData(), &stop) : 0;
        if (number && stop == value.constData() + value.size()) {
            char buffer[40];
            const std::string_view text = shortest(d, buffer);
            out += QByteArrayView(text.data(), qsizetype(text.size()));
        } else {
            out += value;
        }
        pos = end;
    }
    out += QByteArrayView(xml).sliced(pos);
    return out;
}

lxw_format* newFormat(lxw_workbook* book) {
    lxw_format* f = book ? workbook_add_format(book) : nullptr;
    if (f) {
        static const QByteArray font = SpreadsheetWriter::kFontName.toUtf8();
        format_set_font_name(f, font.constData());
        format_set_font_charset(f, 134); // GB2312: the face's Chinese character set
    }
    return f;
}

} // namespace

std::optional<uint32_t> paletteRgb(int index) {
    if (index < 1 || index > int(kPalette.size())) return std::nullopt;
    return kPalette[size_t(index - 1)];
}

SpreadsheetWriter::SpreadsheetWriter(const QString& path) : SpreadsheetWriter(path, Options{}) {}

SpreadsheetWriter::SpreadsheetWriter(const QString& path, Options options)
    : path_(QFileInfo(path).absoluteFilePath()), rowsInOrder_(options.rowsInOrder) {
    // The workbook is assembled under a hidden name beside the target and
    // renamed when complete, so a half-written file never carries the name.
    const QFileInfo target(path_);
    tempPath_ = target.absoluteDir().filePath(QStringLiteral(".~%1.part").arg(target.fileName()));
    tempName_ = QFile::encodeName(tempPath_);
    lxw_workbook_options lxwOptions{};
    lxwOptions.constant_memory = rowsInOrder_ ? LXW_TRUE : LXW_FALSE;
    book_ = workbook_new_opt(tempName_.constData(), &lxwOptions);
    const QByteArray sheet =
        options.sheetName.isEmpty() ? QByteArray() : sheetName(options.sheetName).toUtf8();
    if (book_) sheet_ = workbook_add_worksheet(book_, sheet.isEmpty() ? nullptr : sheet.constData());
    if (!book_ || !sheet_) error_ = QStringLiteral("内存不足");
    styles_ << CellStyle{};
    formats_ << newFormat(book_);
}

SpreadsheetWriter::~SpreadsheetWriter() {
    // Never saved: nothing was written to disk, only memory to give back.
    if (book_) lxw_workbook_free(book_);
}

void SpreadsheetWriter::fail(const QString& why) {
    if (error_.isEmpty()) error_ = why;
}

int SpreadsheetWriter::addStyle(const CellStyle& style) {
    if (const qsizetype known = styles_.indexOf(style); known >= 0) return int(known);
    lxw_format* f = newFormat(book_);
    if (f) {
        auto color = [this](int index, const char* what) -> std::optional<uint32_t> {
            if (index == 0) return std::nullopt;
            const auto rgb = paletteRgb(index);
            if (!rgb)
                fail(QStringLiteral("%1颜色编号%2超出调色板（1～56）")
                         .arg(QString::fromUtf8(what))
                         .arg(index));
            return rgb;
        };
        if (const auto rgb = color(style.fillColor, "填充")) {
            format_set_pattern(f, LXW_PATTERN_SOLID);
            format_set_bg_color(f, lxwColor(*rgb));
        }
        if (const auto rgb = color(style.fontColor, "字体")) format_set_font_color(f, lxwColor(*rgb));
        if (const auto rgb = color(style.borderColor, "边框")) {
            format_set_border(f, LXW_BORDER_THIN);
            format_set_border_color(f, lxwColor(*rgb));
        }
        if (style.wrap) format_set_text_wrap(f);
    }
    styles_ << style;
    formats_ << f;
    return int(styles_.size() - 1);
}

lxw_format* SpreadsheetWriter::format(int style) {
    return style >= 0 && style < formats_.size() ? formats_[style] : formats_.value(0);
}

void SpreadsheetWriter::setColumnWidth(int col, double width) {
    if (!sheet_ || saved_) return;
    if (col < 1 || col > kMaxCols) return fail(QStringLiteral("列号%1超出工作表范围").arg(col));
    worksheet_set_column(sheet_, lxw_col_t(col - 1), lxw_col_t(col - 1), width, nullptr);
}

void SpreadsheetWriter::printOnePageWide(bool landscape, int firstRow, int lastRow) {
    if (!sheet_ || saved_) return;
    worksheet_set_paper(sheet_, 9); // A4
    if (landscape) worksheet_set_landscape(sheet_);
    worksheet_fit_to_pages(sheet_, 1, 0);
    if (firstRow >= 1 && lastRow >= firstRow && lastRow <= kMaxRows)
        worksheet_repeat_rows(sheet_, lxw_row_t(firstRow - 1), lxw_row_t(lastRow - 1));
}

void SpreadsheetWriter::writeNumber(int row, int col, double value, lxw_format* f) {
    if (!numbersToMend_ && !libraryTextIsShortest(value)) numbersToMend_ = true;
    worksheet_write_number(sheet_, lxw_row_t(row - 1), lxw_col_t(col - 1), value, f);
}

QString SpreadsheetWriter::mendNumbers() {
    int error = 0;
    zip_t* zip = zip_open(tempName_.constData(), 0, &error);
    if (!zip) return QStringLiteral("不能重新打开临时文件");
    const char* entry = "xl/worksheets/sheet1.xml";
    zip_stat_t st;
    zip_stat_init(&st);
    const zip_int64_t index = zip_name_locate(zip, entry, 0);
    QByteArray xml;
    if (index >= 0 && zip_stat_index(zip, zip_uint64_t(index), 0, &st) == 0 && (st.valid & ZIP_STAT_SIZE) &&
        st.size < zip_uint64_t(1) << 31) {
        xml.resize(qsizetype(st.size));
        zip_file_t* f = zip_fopen_index(zip, zip_uint64_t(index), 0);
        const zip_int64_t read = f ? zip_fread(f, xml.data(), st.size) : -1;
        if (f) zip_fclose(f);
        if (read != zip_int64_t(st.size)) xml.clear();
    }
    if (xml.isEmpty()) {
        zip_discard(zip);
        return QStringLiteral("不能读回工作表");
    }
    const QByteArray mended = shortestNumbers(xml);
    zip_source_t* source = zip_source_buffer(zip, mended.constData(), zip_uint64_t(mended.size()), 0);
    if (!source || zip_file_replace(zip, zip_uint64_t(index), source, 0) < 0) {
        if (source) zip_source_free(source);
        zip_discard(zip);
        return QStringLiteral("不能改写工作表");
    }
    // The buffer is read when the archive is written, here.
    if (zip_close(zip) < 0) {
        zip_discard(zip);
        return QStringLiteral("写入时出错，磁盘可能已满");
    }
    return {};
}

bool SpreadsheetWriter::placeCell(int row, int col) {
    if (!sheet_ || saved_) return false;
    if (row < 1 || row > kMaxRows || col < 1 || col > kMaxCols) {
        fail(QStringLiteral("单元格（第%1行，第%2列）超出工作表范围").arg(row).arg(col));
        return false;
    }
    if (rowsInOrder_) {
        // Rows already flushed cannot take cells any more: say so rather
        // than lose the cell.
        if (row < lastRow_) {
            fail(QStringLiteral("第%1行已经写完，不能再写入").arg(row));
            return false;
        }
        lastRow_ = row;
    }
    return true;
}

void SpreadsheetWriter::setCell(int row, int col, const QString& text, int style) {
    if (isPlainDecimal(text)) {
        if (!placeCell(row, col)) return;
        writeNumber(row, col, text.toDouble(), format(style));
        return;
    }
    setText(row, col, text, style);
}

void SpreadsheetWriter::setText(int row, int col, const QString& text, int style) {
    if (!placeCell(row, col)) return;
    const auto r = lxw_row_t(row - 1);
    const auto c = lxw_col_t(col - 1);
    if (text.isEmpty()) {
        // A blank cell is only kept when it carries a style.
        worksheet_write_blank(sheet_, r, c, style == 0 ? nullptr : format(style));
        return;
    }
    const QByteArray bytes = cellBytes(text);
    if (const lxw_error e = worksheet_write_string(sheet_, r, c, bytes.constData(), format(style)))
        fail(QStringLiteral("单元格%1：%2").arg(cellName(row, col), reasonText(e, path_)));
}

void SpreadsheetWriter::setNumber(int row, int col, double value, int style) {
    if (!placeCell(row, col)) return;
    writeNumber(row, col, value, format(style));
}

void SpreadsheetWriter::setGrid(const Grid& grid, int firstRow, int firstCol, int style) {
    const int rows = grid.rows();
    const int cols = grid.cols();
    if (rows == 0 || cols == 0) return;
    // The whole block is checked once here, so that a grid too large for a
    // sheet is refused as one failure rather than cell by cell.
    if (!placeCell(firstRow, firstCol) || !placeCell(firstRow + rows - 1, firstCol + cols - 1)) return;
    if (rowsInOrder_) lastRow_ = firstRow;
    lxw_format* f = format(style);
    for (int r = 0; r < rows; ++r) {
        const auto row = lxw_row_t(firstRow - 1 + r);
        for (int c = 0; c < cols; ++c) {
            const auto col = lxw_col_t(firstCol - 1 + c);
            const QString text = grid.text(r, c);
            if (text.isEmpty()) {
                worksheet_write_blank(sheet_, row, col, style == 0 ? nullptr : f);
            } else if (isPlainDecimal(text)) {
                writeNumber(int(row) + 1, int(col) + 1, text.toDouble(), f);
            } else {
                const QByteArray bytes = cellBytes(text);
                if (const lxw_error e = worksheet_write_string(sheet_, row, col, bytes.constData(), f))
                    fail(QStringLiteral("单元格%1：%2")
                             .arg(cellName(int(row) + 1, int(col) + 1), reasonText(e, path_)));
            }
        }
    }
    if (rowsInOrder_) lastRow_ = firstRow + rows - 1;
}

Outcome SpreadsheetWriter::save() {
    auto failed = [this](const QString& why) {
        return Outcome::fail(Reason::Failed,
                             QStringLiteral("无法写入文件“%1”（%2）").arg(native(path_), why));
    };
    if (saved_) return failed(QStringLiteral("这个工作簿已经保存过"));
    saved_ = true;
    lxw_workbook* book = book_;
    book_ = nullptr;
    sheet_ = nullptr;
    if (!error_.isEmpty()) {
        if (book) lxw_workbook_free(book);
        return failed(error_);
    }
    if (QFileInfo::exists(path_)) {
        lxw_workbook_free(book);
        return failed(QStringLiteral("同名文件已经存在"));
    }
    // workbook_close frees the workbook whatever happens.
    if (const lxw_error e = workbook_close(book); e != LXW_NO_ERROR) {
        QFile::remove(tempPath_);
        return failed(reasonText(e, path_));
    }
    // A number is kept as the decimal the table shows: the library's text of
    // it is put right where it is not that decimal.
    if (numbersToMend_) {
        if (const QString why = mendNumbers(); !why.isEmpty()) {
            QFile::remove(tempPath_);
            return failed(why);
        }
    }
    // rename() never replaces a file that appeared meanwhile.
    if (!QFile::rename(tempPath_, path_)) {
        QFile::remove(tempPath_);
        return failed(QFileInfo::exists(path_) ? QStringLiteral("同名文件已经存在")
                                               : QStringLiteral("不能改名"));
    }
    return Outcome::done();
}

bool SpreadsheetWriter::isPlainDecimal(const QString& text) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    const bool negative = n > 0 && text[0] == u'-';
    if (negative) ++i;
    const qsizetype intStart = i;
    while (i < n && text[i].unicode() >= u'0' && text[i].unicode() <= u'9')
        ++i;
    const qsizetype intDigits = i - intStart;
    if (intDigits == 0) return false;
    if (intDigits > 1 && text[intStart] == u'0') return false; // "001", "00.5"
    qsizetype fracDigits = 0;
    if (i < n) {
        if (text[i] != u'.') return false;
        ++i;
        const qsizetype fracStart = i;
        while (i < n && text[i].unicode() >= u'0' && text[i].unicode() <= u'9')
            ++i;
        fracDigits = i - fracStart;
        if (i != n || fracDigits == 0 || text[n - 1] == u'0') return false; // "1.", "1.50", "1.5x"
    }
    // Significant digits: leading zeros of "0.0025" do not count.
    qsizetype significant = intDigits + fracDigits;
    if (text[intStart] == u'0') {
        significant = fracDigits;
        for (qsizetype k = intStart + 2; k < n && text[k] == u'0'; ++k)
            --significant;
    }
    if (significant > 15) return false;
    if (negative && intDigits == 1 && text[intStart] == u'0' && fracDigits == 0) return false; // "-0"
    return true;
}

QString SpreadsheetWriter::sheetName(const QString& name) {
    QString s = xmlText(name);
    s.removeIf([](QChar ch) {
        const char16_t u = ch.unicode();
        return u < 0x20 || u == u'[' || u == u']' || u == u':' || u == u'*' || u == u'?' || u == u'/' ||
               u == u'\\';
    });
    auto trim = [&s] {
        s = s.trimmed();
        while (s.startsWith(u'\'') || s.endsWith(u'\'')) {
            if (s.startsWith(u'\'')) s.remove(0, 1);
            if (s.endsWith(u'\'')) s.chop(1);
            s = s.trimmed();
        }
    };
    trim();
    if (s.size() > 31) {
        s.truncate(31);
        if (s.back().isHighSurrogate()) s.chop(1); // never half a character
        trim();
    }
    if (s.isEmpty()) return QStringLiteral("Sheet1");
    if (s.compare(QLatin1String("History"), Qt::CaseInsensitive) == 0) s += u'1';
    return s;
}

int SpreadsheetWriter::textWidth(const QString& text) {
    int width = 0;
    const QList<uint> points = text.toUcs4();
    for (const uint c : points) {
        const bool wide =
            (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) || (c >= 0xAC00 && c <= 0xD7A3) ||
            (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
            (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x1F300 && c <= 0x1FAFF) || (c >= 0x20000 && c <= 0x3FFFD);
        width += wide ? 2 : 1;
    }
    return width;
}

QString SpreadsheetWriter::columnName(int col) {
    QString name;
    for (int c = col; c > 0; c = (c - 1) / 26)
        name.prepend(QChar(u'A' + (c - 1) % 26));
    return name;
}

QString SpreadsheetWriter::cellName(int row, int col) {
    return columnName(col) + QString::number(row);
}

} // namespace shell
