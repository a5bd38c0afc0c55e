#include "TableFile.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QStringDecoder>
#include <QXmlStreamReader>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <csv.h>
#include <fcntl.h>
#include <freexl.h>
#include <memory>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zip.h>

namespace shell {

namespace {

QString shortName(const QString& path) {
    return QFileInfo(path).fileName();
}

Outcome unreadable(const QString& path, const QString& why = {}) {
    return Outcome::fail(Reason::Invalid,
                         QStringLiteral("文件“%1”无法读取%2，请检查后再导入！")
                             .arg(shortName(path), why.isEmpty() ? QString() : u'（' + why + u'）'));
}

Outcome tooBig(const QString& path) {
    return Outcome::fail(Reason::Invalid, tooBigText(shortName(path)));
}

Outcome cancelled() {
    return Outcome::fail(Reason::NotChosen);
}

// A number as a spreadsheet shows it: at most 15 significant digits, no
// exponent for the sizes a class list holds.
QString numberText(double v) {
    if (!std::isfinite(v)) return {};
    if (v == std::floor(v) && std::fabs(v) < 1e15) return QString::number(qint64(v));
    return QString::number(v, 'g', 15);
}

// The rows being read, held within TableLimits. A cell is placed by its
// row and column; the row grows to reach it (the cells before it are held
// as empty ones and counted), and nothing is held for an empty cell past a
// row's end, so a sheet that marks a far-away cell with nothing in it costs
// nothing.
class Sheet {
public:
    explicit Sheet(TableRead* watch) : watch_(watch) {}

    bool full() const { return full_; }
    bool stopped() const { return watch_ && watch_->cancel.load(std::memory_order_relaxed); }

    // False (and full() from then on) when the cell would pass a bound.
    bool put(qint64 row, qint64 col, const QString& text) {
        if (full_) return false;
        if (text.isEmpty() && (row >= rows_.size() || col >= rows_[row].size())) return true;
        if (row < 0 || col < 0 || row >= TableLimits::kRows || col >= TableLimits::kColumns) return refuse();
        if (row >= rows_.size()) rows_.resize(row + 1);
        QStringList& r = rows_[row];
        const qint64 grown = std::max<qint64>(0, col + 1 - r.size());
        if (cells_ + grown > TableLimits::kCells || chars_ + text.size() > TableLimits::kTextChars)
            return refuse();
        cells_ += grown;
        chars_ += text.size();
        if (grown > 0) r.resize(col + 1);
        r[col] = text;
        if (watch_ && (cells_ & 1023) == 0) watch_->cells.store(cells_, std::memory_order_relaxed);
        return true;
    }
    // Appends an empty row (a CSV line of its own).
    bool newRow() {
        if (full_) return false;
        if (rows_.size() >= TableLimits::kRows) return refuse();
        rows_.append(QStringList());
        return true;
    }
    qsizetype rowCount() const { return rows_.size(); }

    void progress(qint64 done, qint64 total) const {
        if (watch_ && total > 0)
            watch_->permille.store(int(std::clamp<qint64>(done * 1000 / total, 0, 999)),
                                   std::memory_order_relaxed);
    }
    TableRows take() {
        if (watch_) watch_->cells.store(cells_);
        return std::move(rows_);
    }
    void report() const {
        if (watch_) watch_->cells.store(cells_);
    }

private:
    bool refuse() {
        full_ = true;
        report();
        return false;
    }
    TableRead* watch_;
    TableRows rows_;
    qint64 cells_ = 0;
    qint64 chars_ = 0;
    bool full_ = false;
};

// --- CSV --------------------------------------------------------------

// Fields are kept as bytes until the whole file is known to be UTF-8 or not;
// the same bounds hold for them (a byte counted as a character).
struct CsvSink {
    QList<QList<QByteArray>> rows;
    QList<QByteArray> row;
    qint64 cells = 0;
    qint64 bytes = 0;
    bool full = false;
};

void csvField(void* data, size_t len, void* sink) {
    auto* s = static_cast<CsvSink*>(sink);
    if (s->full) return;
    if (++s->cells > TableLimits::kCells || s->row.size() >= TableLimits::kColumns ||
        (s->bytes += qint64(len)) > TableLimits::kTextChars) {
        s->full = true;
        return;
    }
    s->row.append(data ? QByteArray(static_cast<const char*>(data), qsizetype(len)) : QByteArray());
}

void csvRowEnd(int, void* sink) {
    auto* s = static_cast<CsvSink*>(sink);
    if (s->full) return;
    if (s->rows.size() >= TableLimits::kRows) {
        s->full = true;
        return;
    }
    s->rows.append(std::move(s->row));
    s->row.clear();
}

// Blanks around a field are not part of it; a tab is the separator's.
int csvSpace(unsigned char c) {
    return c == ' ' ? 1 : 0;
}

struct CsvParser {
    csv_parser p{};
    bool ready = false;
    ~CsvParser() {
        if (ready) csv_free(&p);
    }
};

// Reads a CSV from `in` in blocks, so a file past the bounds stops at the
// first block that passes one. `name` is the file's name for messages
// (empty: "文件").
Outcome readCsvFrom(QIODevice& in, const QString& name, TableRows& rows, TableRead* watch) {
    rows.clear();
    constexpr qint64 kBlock = 64 * 1024;
    const qint64 total = in.size();
    QByteArray block = in.read(kBlock);
    qint64 done = block.size();
    bool utf8 = true;
    bool bom = false;
    if (block.startsWith("\xEF\xBB\xBF")) {
        block.remove(0, 3);
        bom = true;
    }
    QStringDecoder utf8Check(QStringDecoder::Utf8);
    CsvParser parser;
    if (csv_init(&parser.p, 0) != 0)
        return Outcome::fail(Reason::Failed, QStringLiteral("内存不足，无法读取文件！"));
    parser.ready = true;
    // libcsv grows its field buffer by a fixed step: a small step makes a
    // long quoted field cost one copy of the whole field per step.
    csv_set_blk_size(&parser.p, 1024 * 1024);
    csv_set_delim(&parser.p, static_cast<unsigned char>(guessSeparator(block)));
    csv_set_space_func(&parser.p, csvSpace);
    CsvSink sink;
    const QString file = name.isEmpty() ? QStringLiteral("文件") : QStringLiteral("文件“%1”").arg(name);
    auto tooBigCsv = [&] {
        if (watch) watch->cells.store(sink.cells);
        return Outcome::fail(Reason::Invalid, tooBigText(name));
    };
    // Separators, quotes and line ends are single ASCII bytes in UTF-8 and
    // in GB18030 alike (a GB18030 trail byte is 0x30 or above and never a
    // quote), so the bytes are split first and each field decoded after.
    while (!block.isEmpty()) {
        if (watch && watch->cancel.load(std::memory_order_relaxed)) return cancelled();
        if (!bom && utf8) {
            (void)QString(utf8Check(block));
            utf8 = !utf8Check.hasError();
        }
        if (csv_parse(&parser.p, block.constData(), size_t(block.size()), csvField, csvRowEnd, &sink) !=
            size_t(block.size()))
            return Outcome::fail(Reason::Invalid,
                                 QStringLiteral("%1无法读取（%2），请检查后再导入！")
                                     .arg(file, QString::fromUtf8(csv_strerror(csv_error(&parser.p)))));
        // A field still open (a quote never closed) is held by the parser
        // until it ends: it counts against the bound as it grows.
        if (sink.full || sink.bytes + qint64(parser.p.entry_pos) > TableLimits::kTextChars)
            return tooBigCsv();
        if (watch) {
            watch->bytes.store(done, std::memory_order_relaxed);
            watch->cells.store(sink.cells, std::memory_order_relaxed);
            if (total > 0) watch->permille.store(int(std::min<qint64>(done * 1000 / total, 999)));
        }
        block = in.read(kBlock);
        done += block.size();
    }
    // Strict only at the end, where libcsv then refuses a quote never
    // closed; a stray quote inside a field stays the text it always was.
    csv_set_opts(&parser.p, CSV_STRICT | CSV_STRICT_FINI);
    if (csv_fini(&parser.p, csvField, csvRowEnd, &sink) != 0) {
        if (csv_error(&parser.p) == CSV_EPARSE)
            return Outcome::fail(Reason::Invalid,
                                 QStringLiteral("%1第%2行的引号没有结束，没有导入任何内容，请检查后再导入！")
                                     .arg(file)
                                     .arg(sink.rows.size() + 1));
        return Outcome::fail(Reason::Invalid,
                             QStringLiteral("%1无法读取（%2），请检查后再导入！")
                                 .arg(file, QString::fromUtf8(csv_strerror(csv_error(&parser.p)))));
    }
    if (sink.full) return tooBigCsv();
    QStringDecoder decode(utf8 ? QStringDecoder(QStringDecoder::Utf8) : QStringDecoder("GB18030"));
    if (!decode.isValid()) return Outcome::fail(Reason::Failed, QStringLiteral("系统不支持GB18030编码！"));
    rows.reserve(sink.rows.size());
    for (QList<QByteArray>& raw : sink.rows) {
        QStringList row;
        row.reserve(raw.size());
        for (QByteArray& field : raw) {
            row.append(decode.decode(field));
            field = QByteArray(); // the bytes go as their text comes
        }
        rows.append(std::move(row));
    }
    if (watch) watch->cells.store(sink.cells);
    return Outcome::done();
}

// --- xlsx ------------------------------------------------------------

// One part of the package as a sequential device, inflated as the XML
// reader asks for it. The bytes are counted as they come out of the
// inflater: a part that unpacks to more than its limit ends
// there, whatever its header says.
class ZipPart : public QIODevice {
public:
    ZipPart(zip_file_t* f, qint64 limit, TableRead* watch, qint64* unpacked)
        : f_(f), limit_(limit), watch_(watch), unpacked_(unpacked) {
        open(QIODevice::ReadOnly);
    }
    ~ZipPart() override {
        close();
        if (f_) zip_fclose(f_);
    }
    bool isSequential() const override { return true; }
    bool over() const { return over_; }
    bool failed() const { return failed_; }

protected:
    qint64 readData(char* data, qint64 max) override {
        if (over_ || failed_) return -1;
        if (watch_ && watch_->cancel.load(std::memory_order_relaxed)) return -1;
        const qint64 room = limit_ + 1 - done_;
        const zip_int64_t n = zip_fread(f_, data, zip_uint64_t(std::min(max, room)));
        if (n < 0) {
            failed_ = true;
            return -1;
        }
        done_ += n;
        *unpacked_ += n;
        if (watch_) watch_->bytes.store(*unpacked_, std::memory_order_relaxed);
        if (done_ > limit_) {
            over_ = true;
            return -1;
        }
        return n;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    zip_file_t* f_;
    qint64 limit_;
    TableRead* watch_;
    qint64* unpacked_;
    qint64 done_ = 0;
    bool over_ = false;
    bool failed_ = false;
};

struct ZipArchive {
    zip_t* z = nullptr;
    TableRead* watch = nullptr;
    qint64 unpacked = 0;
    ~ZipArchive() {
        if (z) zip_discard(z); // opened read-only: nothing to write back
    }
    // The size a part claims, -1 when it is not there.
    qint64 declaredSize(const char* name) const {
        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_stat(z, name, 0, &st) != 0) return -1;
        return (st.valid & ZIP_STAT_SIZE) ? qint64(std::min<zip_uint64_t>(st.size, INT64_MAX)) : 0;
    }
    // The part to read from, or null when it is not there or cannot be opened.
    std::unique_ptr<ZipPart> part(const char* name, qint64 limit = TableLimits::kPartBytes) {
        zip_file_t* f = zip_fopen(z, name, 0);
        return f ? std::make_unique<ZipPart>(f, limit, watch, &unpacked) : nullptr;
    }
};

// "BC12" → 54 - 1 = 53, counting in capital or small ASCII letters; -1
// when there is no column. A reference longer than the widest sheet's
// ("XFD") gives a column past any bound instead of overflowing.
qint64 columnOf(QStringView ref) {
    qint64 col = 0;
    qsizetype i = 0;
    for (; i < ref.size(); ++i) {
        const char16_t c = ref[i].unicode();
        int digit = 0;
        if (c >= u'A' && c <= u'Z')
            digit = c - u'A' + 1;
        else if (c >= u'a' && c <= u'z')
            digit = c - u'a' + 1;
        else
            break;
        if (i >= 3) return INT32_MAX;
        col = col * 26 + digit;
    }
    return i == 0 ? -1 : col - 1;
}

struct PartResult {
    bool ok = true;
    bool tooBig = false;
    QString error;
};

PartResult partEnd(const QXmlStreamReader& r, const ZipPart& part) {
    if (part.over()) return {false, true, {}};
    if (r.hasError()) return {false, false, r.errorString()};
    return {};
}

// The texts of <si> items in sharedStrings.xml; phonetic runs (<rPh>) are
// reading aids, not part of the text. Their number and text stay within the
// bounds of cells.
PartResult sharedStrings(ZipPart& part, QStringList& out, const Sheet& sheet, qint64 total,
                         const qint64& unpacked) {
    QXmlStreamReader r(&part);
    QString current;
    qint64 chars = 0;
    int phonetic = 0;
    while (!r.atEnd()) {
        r.readNext();
        if (r.isStartElement()) {
            if (r.name() == u"si")
                current.clear();
            else if (r.name() == u"rPh")
                ++phonetic;
            else if (r.name() == u"t" && phonetic == 0)
                current += r.readElementText();
        } else if (r.isEndElement()) {
            if (r.name() == u"si") {
                chars += current.size();
                if (out.size() >= TableLimits::kCells || chars > TableLimits::kTextChars)
                    return {false, true, {}};
                out.append(current);
                if ((out.size() & 255) == 0) sheet.progress(unpacked, total);
            } else if (r.name() == u"rPh") {
                --phonetic;
            }
        }
    }
    return partEnd(r, part);
}

// The first sheet's part name ("xl/worksheets/sheet1.xml") from the
// workbook and its relationships.
QString firstSheetPart(ZipArchive& zip) {
    const QString fallback = QStringLiteral("xl/worksheets/sheet1.xml");
    QString rid;
    if (auto part = zip.part("xl/workbook.xml")) {
        QXmlStreamReader r(part.get());
        while (!r.atEnd() && rid.isEmpty())
            if (r.readNextStartElement() && r.name() == u"sheet")
                for (const QXmlStreamAttribute& a : r.attributes())
                    if (a.name() == u"id") rid = a.value().toString();
    }
    auto part = zip.part("xl/_rels/workbook.xml.rels");
    if (!part) return fallback;
    QXmlStreamReader r(part.get());
    while (!r.atEnd())
        if (r.readNextStartElement() && r.name() == u"Relationship" &&
            r.attributes().value(QLatin1String("Id")) == rid) {
            const QString target = r.attributes().value(QLatin1String("Target")).toString();
            return target.startsWith(u'/') ? target.mid(1) : QStringLiteral("xl/") + target;
        }
    return fallback;
}

enum class XlsRead : qint32 { Done, TooBig, Password, NotXls, NoSheet, Cancelled, Broken };

// The first sheet of an .xls through FreeXL, in this process.
XlsRead readXlsHere(const char* path, TableRows& rows) {
    const void* handle = nullptr;
    struct Closer {
        const void*& h;
        ~Closer() {
            if (h) freexl_close(h);
        }
    } closer{handle};
    int rc = freexl_open(path, &handle);
    if (rc == FREEXL_BIFF_PASSWORD) return XlsRead::Password;
    if (rc != FREEXL_OK) return XlsRead::NotXls;
    unsigned int rowCount = 0;
    unsigned short colCount = 0;
    if (freexl_select_active_worksheet(handle, 0) != FREEXL_OK ||
        freexl_worksheet_dimensions(handle, &rowCount, &colCount) != FREEXL_OK)
        return XlsRead::NoSheet;
    Sheet sheet(nullptr);
    for (unsigned int r = 0; r < rowCount; ++r) {
        // Backwards, so the row is sized once by its last value.
        for (int c = int(colCount) - 1; c >= 0; --c) {
            FreeXL_CellValue cell;
            QString text;
            if (freexl_get_cell_value(handle, r, static_cast<unsigned short>(c), &cell) == FREEXL_OK) {
                switch (cell.type) {
                case FREEXL_CELL_INT:
                    text = QString::number(cell.value.int_value);
                    break;
                case FREEXL_CELL_DOUBLE:
                    text = numberText(cell.value.double_value);
                    break;
                case FREEXL_CELL_TEXT:
                case FREEXL_CELL_SST_TEXT:
                case FREEXL_CELL_DATE:
                case FREEXL_CELL_DATETIME:
                case FREEXL_CELL_TIME:
                    text = QString::fromUtf8(cell.value.text_value);
                    break;
                default:
                    break;
                }
            }
            if (!sheet.put(r, c, text)) return XlsRead::TooBig;
        }
    }
    // Empty rows are kept up to the last one read, as the sheet numbers them.
    rows = sheet.take();
    while (rows.size() < qsizetype(rowCount) && rows.size() < TableLimits::kRows)
        rows.append(QStringList());
    return XlsRead::Done;
}

// What the reading process sends back: its result, then the rows as a row
// count, and per row its cell count and per cell its length and UTF-16
// text, all in this machine's byte order.
template <typename T> void putNumber(QByteArray& out, T v) {
    out.append(reinterpret_cast<const char*>(&v), sizeof v);
}

template <typename T> bool takeNumber(QByteArrayView& in, T& v) {
    if (in.size() < qsizetype(sizeof v)) return false;
    std::memcpy(&v, in.data(), sizeof v);
    in = in.sliced(sizeof v);
    return true;
}

QByteArray packRows(XlsRead result, const TableRows& rows) {
    QByteArray out;
    putNumber(out, qint32(result));
    if (result != XlsRead::Done) return out;
    putNumber(out, qint32(rows.size()));
    for (const QStringList& row : rows) {
        putNumber(out, qint32(row.size()));
        for (const QString& text : row) {
            putNumber(out, qint32(text.size()));
            out.append(reinterpret_cast<const char*>(text.constData()),
                       text.size() * qsizetype(sizeof(QChar)));
        }
    }
    return out;
}

// The rows back from the reading process, held to the same bounds; Broken
// when the bytes are not what packRows() writes.
XlsRead unpackRows(QByteArrayView in, TableRows& rows) {
    qint32 result = 0, rowCount = 0;
    if (!takeNumber(in, result) || result < 0 || result > qint32(XlsRead::Broken)) return XlsRead::Broken;
    if (XlsRead(result) != XlsRead::Done) return XlsRead(result);
    if (!takeNumber(in, rowCount) || rowCount < 0 || rowCount > TableLimits::kRows) return XlsRead::Broken;
    Sheet sheet(nullptr);
    for (qint32 r = 0; r < rowCount; ++r) {
        qint32 cells = 0;
        if (!takeNumber(in, cells) || cells < 0 || cells > TableLimits::kColumns) return XlsRead::Broken;
        if (cells == 0 && !sheet.newRow()) return XlsRead::Broken;
        for (qint32 c = 0; c < cells; ++c) {
            qint32 length = 0;
            if (!takeNumber(in, length) || length < 0 || in.size() < qsizetype(length) * 2)
                return XlsRead::Broken;
            QString text(reinterpret_cast<const QChar*>(in.data()), length);
            in = in.sliced(qsizetype(length) * 2);
            if (c == 0 && sheet.rowCount() <= r && !sheet.newRow()) return XlsRead::Broken;
            if (!sheet.put(r, c, text)) return XlsRead::Broken;
        }
    }
    if (!in.isEmpty()) return XlsRead::Broken;
    rows = sheet.take();
    return XlsRead::Done;
}

// FreeXL has read past its buffers on crafted files, which no check of ours
// before it can rule out: it reads in a process of its own, so a file that
// breaks it costs that process only ("文件已损坏"). The process is stopped
// when the read is, and when it takes far longer than any class list needs.
XlsRead readXlsApart(const char* path, TableRows& rows, TableRead* watch) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return XlsRead::Broken;
    const pid_t pid = fork();
    if (pid < 0) {
        close(fds[0]);
        close(fds[1]);
        return XlsRead::Broken;
    }
    if (pid == 0) {
        close(fds[0]);
        TableRows read;
        const XlsRead result = readXlsHere(path, read);
        const QByteArray out = packRows(result, read);
        for (qsizetype sent = 0; sent < out.size();) {
            const ssize_t n = write(fds[1], out.constData() + sent, size_t(out.size() - sent));
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) _exit(1);
            sent += n;
        }
        _exit(0);
    }
    close(fds[1]);
    // What the rows can take at most, in the form they come in.
    constexpr qint64 kMaxBytes =
        8 + 4 * (TableLimits::kRows + TableLimits::kCells) + 2 * TableLimits::kTextChars;
    constexpr int kTimeoutMs = 60'000;
    QByteArray in;
    XlsRead result = XlsRead::Broken;
    bool stopped = false;
    QElapsedTimer clock;
    clock.start();
    char block[65536];
    for (;;) {
        if (watch && watch->cancel.load(std::memory_order_relaxed)) {
            result = XlsRead::Cancelled;
            stopped = true;
            break;
        }
        if (clock.elapsed() > kTimeoutMs) {
            stopped = true;
            break;
        }
        pollfd p{fds[0], POLLIN, 0};
        const int ready = poll(&p, 1, 100);
        if (ready < 0 && errno != EINTR) {
            stopped = true;
            break;
        }
        if (ready <= 0) continue;
        const ssize_t n = read(fds[0], block, sizeof block);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        in.append(block, n);
        if (in.size() > kMaxBytes) {
            stopped = true;
            break;
        }
    }
    close(fds[0]);
    if (stopped) kill(pid, SIGKILL);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (stopped) return result;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return XlsRead::Broken;
    return unpackRows(in, rows);
}

} // namespace

QString tooBigText(const QString& fileName) {
    return QStringLiteral("%1太大，最多只能导入%2行、%3列（共%4万个单元格），请分开导入！")
        .arg(fileName.isEmpty() ? QStringLiteral("文件") : QStringLiteral("文件“%1”").arg(fileName))
        .arg(TableLimits::kRows)
        .arg(TableLimits::kColumns)
        .arg(TableLimits::kCells / 10000);
}

char guessSeparator(const QByteArray& bytes) {
    int comma = 0, semicolon = 0, tab = 0;
    bool quoted = false;
    for (const char c : bytes) {
        if (c == '"') quoted = !quoted;
        if (quoted) continue;
        if (c == '\n' || c == '\r') break;
        comma += c == ',';
        semicolon += c == ';';
        tab += c == '\t';
    }
    if (tab > comma && tab >= semicolon) return '\t';
    if (semicolon > comma) return ';';
    return ',';
}

Outcome readCsv(const QByteArray& bytes, TableRows& rows) {
    QByteArray copy = bytes;
    QBuffer in(&copy);
    in.open(QIODevice::ReadOnly);
    return readCsvFrom(in, {}, rows, nullptr);
}

Outcome readXlsx(const QString& path, TableRows& rows, TableRead* watch) {
    rows.clear();
    if (QFileInfo(path).size() > TableLimits::kXlsxFileBytes) return tooBig(path);
    int err = 0;
    ZipArchive zip;
    zip.watch = watch;
    zip.z = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &err);
    if (!zip.z) return unreadable(path, QStringLiteral("不是有效的.xlsx文件"));
    Sheet sheet(watch);
    const QByteArray sheetName = firstSheetPart(zip).toUtf8();
    const qint64 stringsSize = zip.declaredSize("xl/sharedStrings.xml");
    const qint64 sheetSize = zip.declaredSize(sheetName.constData());
    if (sheetSize < 0) return unreadable(path, QStringLiteral("找不到工作表"));
    // What the package says each part unpacks to refuses the plain cases
    // at once; the count while inflating stops those that lie.
    if (stringsSize > TableLimits::kSharedStringsBytes || sheetSize > TableLimits::kPartBytes)
        return tooBig(path);
    const qint64 total = std::max<qint64>(stringsSize, 0) + sheetSize;
    const qint64 before = zip.unpacked;
    auto progress = [&] { sheet.progress(zip.unpacked - before, total); };

    QStringList strings;
    if (stringsSize >= 0) {
        if (auto part = zip.part("xl/sharedStrings.xml", TableLimits::kSharedStringsBytes)) {
            const PartResult read = sharedStrings(*part, strings, sheet, total, zip.unpacked);
            if (sheet.stopped()) return cancelled();
            if (read.tooBig) return tooBig(path);
            if (!read.ok) return unreadable(path, read.error);
        }
    }
    auto part = zip.part(sheetName.constData());
    if (!part) return unreadable(path, QStringLiteral("找不到工作表"));

    QXmlStreamReader r(part.get());
    qint64 rowNumber = 0; // 1-based, as the sheet numbers rows
    qint64 nextColumn = 0;
    while (!r.atEnd() && !sheet.full()) {
        r.readNext();
        if (!r.isStartElement()) continue;
        if (r.name() == u"row") {
            bool ok = false;
            const qint64 n = r.attributes().value(QLatin1String("r")).toLongLong(&ok);
            rowNumber = ok && n > 0 ? n : std::min<qint64>(rowNumber, INT32_MAX) + 1;
            nextColumn = 0;
            if ((rowNumber & 63) == 0) progress();
        } else if (r.name() == u"c" && rowNumber > 0) {
            const QXmlStreamAttributes a = r.attributes();
            const QString type = a.value(QLatin1String("t")).toString();
            qint64 col = columnOf(a.value(QLatin1String("r")));
            if (col < 0) col = nextColumn;
            nextColumn = std::min<qint64>(col, INT32_MAX) + 1;
            QString text;
            QString value;
            while (r.readNextStartElement()) {
                if (r.name() == u"v") {
                    value = r.readElementText();
                } else if (r.name() == u"is") {
                    // An inline string: every <t> inside, runs included.
                    while (!(r.isEndElement() && r.name() == u"is") && !r.atEnd()) {
                        r.readNext();
                        if (r.isStartElement() && r.name() == u"t") text += r.readElementText();
                    }
                } else {
                    r.skipCurrentElement();
                }
            }
            if (type == u"s") {
                bool ok = false;
                const int index = value.toInt(&ok);
                if (ok) text = strings.value(index);
            } else if (type == u"str" || type == u"e") {
                text = value;
            } else if (type == u"b") {
                text = value == u"1" ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
            } else if (type != u"inlineStr" && !value.isEmpty()) {
                bool ok = false;
                const double v = value.toDouble(&ok);
                text = ok ? numberText(v) : value;
            }
            if (!sheet.put(rowNumber - 1, col, text)) break;
        }
    }
    if (sheet.stopped()) return cancelled();
    if (sheet.full() || part->over()) return tooBig(path);
    if (r.hasError()) return unreadable(path, r.errorString());
    sheet.report();
    rows = sheet.take();
    return Outcome::done();
}

Outcome readXls(const QString& path, TableRows& rows, TableRead* watch) {
    rows.clear();
    // FreeXL reads the whole workbook at once: its size is what bounds it.
    if (QFileInfo(path).size() > TableLimits::kXlsFileBytes) return tooBig(path);
    const QByteArray name = QFile::encodeName(path);
    switch (readXlsApart(name.constData(), rows, watch)) {
    case XlsRead::Done:
        return Outcome::done();
    case XlsRead::TooBig:
        return tooBig(path);
    case XlsRead::Password:
        return unreadable(path, QStringLiteral("文件设有密码"));
    case XlsRead::NotXls:
        return unreadable(path, QStringLiteral("不是有效的.xls文件"));
    case XlsRead::NoSheet:
        return unreadable(path, QStringLiteral("找不到工作表"));
    case XlsRead::Cancelled:
        return cancelled();
    case XlsRead::Broken:
        break;
    }
    return unreadable(path, QStringLiteral("文件已损坏"));
}

Outcome readTableFile(const QString& path, TableRows& rows, TableRead* watch) {
    rows.clear();
    const QFileInfo info(path);
    if (!info.isFile())
        return Outcome::fail(Reason::NotFound, QStringLiteral("找不到文件“%1”！").arg(shortName(path)));
    const QString suffix = info.suffix().toLower();
    Outcome read;
    if (suffix == u"xlsx") {
        read = readXlsx(path, rows, watch);
    } else if (suffix == u"xls") {
        read = readXls(path, rows, watch);
    } else if (suffix == u"csv" || suffix == u"txt") {
        if (info.size() > TableLimits::kCsvFileBytes) return tooBig(path);
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly)) return unreadable(path, f.errorString());
        read = readCsvFrom(f, shortName(path), rows, watch);
    } else {
        return Outcome::fail(
            Reason::Invalid,
            QStringLiteral("只能导入.csv、.xls或.xlsx文件，“%1”不是这几种文件！").arg(shortName(path)));
    }
    if (!read) rows.clear();
    if (read && watch) watch->permille.store(1000);
    return read;
}

} // namespace shell
