#include "TableFile.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QXmlStreamReader>
#include <cmath>
#include <csv.h>
#include <freexl.h>
#include <memory>
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

// A number as a spreadsheet shows it: at most 15 significant digits, no
// exponent for the sizes a class list holds.
QString numberText(double v) {
    if (!std::isfinite(v)) return {};
    if (v == std::floor(v) && std::fabs(v) < 1e15) return QString::number(qint64(v));
    return QString::number(v, 'g', 15);
}

// --- CSV --------------------------------------------------------------

struct CsvSink {
    QList<QList<QByteArray>> rows;
    QList<QByteArray> row;
};

void csvField(void* data, size_t len, void* sink) {
    auto* s = static_cast<CsvSink*>(sink);
    s->row.append(data ? QByteArray(static_cast<const char*>(data), qsizetype(len)) : QByteArray());
}

void csvRowEnd(int, void* sink) {
    auto* s = static_cast<CsvSink*>(sink);
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

// --- xlsx ------------------------------------------------------------

struct ZipArchive {
    zip_t* z = nullptr;
    ~ZipArchive() {
        if (z) zip_discard(z); // opened read-only: nothing to write back
    }
    // The whole entry, or nothing (with *found false when it is not there).
    QByteArray entry(const char* name, bool* found = nullptr) const {
        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_stat(z, name, 0, &st) != 0 || !(st.valid & ZIP_STAT_SIZE)) {
            if (found) *found = false;
            return {};
        }
        if (found) *found = true;
        zip_file_t* f = zip_fopen(z, name, 0);
        if (!f) return {};
        QByteArray out(qsizetype(st.size), Qt::Uninitialized);
        const zip_int64_t n = zip_fread(f, out.data(), st.size);
        zip_fclose(f);
        if (n != zip_int64_t(st.size)) return {};
        return out;
    }
};

// "BC12" → column 54 (0-based 54 - 1 = 53); -1 when there is no column.
int columnOf(QStringView ref) {
    int col = 0;
    qsizetype i = 0;
    for (; i < ref.size() && ref[i].isLetter(); ++i)
        col = col * 26 + (ref[i].toUpper().unicode() - 'A' + 1);
    return i == 0 ? -1 : col - 1;
}

// The texts of <si> items in sharedStrings.xml; phonetic runs (<rPh>) are
// reading aids, not part of the text.
QStringList sharedStrings(const QByteArray& xml) {
    QStringList out;
    QXmlStreamReader r(xml);
    QString current;
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
            if (r.name() == u"si")
                out.append(current);
            else if (r.name() == u"rPh")
                --phonetic;
        }
    }
    return out;
}

// The first sheet's part name ("xl/worksheets/sheet1.xml") from the
// workbook and its relationships.
QString firstSheetPart(const ZipArchive& zip) {
    QString rid;
    {
        QXmlStreamReader r(zip.entry("xl/workbook.xml"));
        while (!r.atEnd() && rid.isEmpty())
            if (r.readNextStartElement() && r.name() == u"sheet")
                for (const QXmlStreamAttribute& a : r.attributes())
                    if (a.name() == u"id") rid = a.value().toString();
    }
    QXmlStreamReader r(zip.entry("xl/_rels/workbook.xml.rels"));
    while (!r.atEnd())
        if (r.readNextStartElement() && r.name() == u"Relationship" &&
            r.attributes().value(QLatin1String("Id")) == rid) {
            const QString target = r.attributes().value(QLatin1String("Target")).toString();
            return target.startsWith(u'/') ? target.mid(1) : QStringLiteral("xl/") + target;
        }
    return QStringLiteral("xl/worksheets/sheet1.xml");
}

} // namespace

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

Outcome readCsv(const QByteArray& bytesIn, TableRows& rows) {
    rows.clear();
    QByteArray bytes = bytesIn;
    bool utf8 = true;
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        bytes.remove(0, 3);
    } else {
        QStringDecoder check(QStringDecoder::Utf8);
        (void)QString(check(bytes));
        utf8 = !check.hasError();
    }
    CsvParser parser;
    if (csv_init(&parser.p, 0) != 0)
        return Outcome::fail(Reason::Failed, QStringLiteral("内存不足，无法读取文件！"));
    parser.ready = true;
    csv_set_delim(&parser.p, static_cast<unsigned char>(guessSeparator(bytes)));
    csv_set_space_func(&parser.p, csvSpace);
    CsvSink sink;
    // Separators, quotes and line ends are single ASCII bytes in UTF-8 and
    // in GB18030 alike (a GB18030 trail byte is 0x30 or above and never a
    // quote), so the bytes are split first and each field decoded after.
    if (csv_parse(&parser.p, bytes.constData(), size_t(bytes.size()), csvField, csvRowEnd, &sink) !=
            size_t(bytes.size()) ||
        csv_fini(&parser.p, csvField, csvRowEnd, &sink) != 0)
        return Outcome::fail(Reason::Invalid, QString::fromUtf8(csv_strerror(csv_error(&parser.p))));
    QStringDecoder decode(utf8 ? QStringDecoder(QStringDecoder::Utf8) : QStringDecoder("GB18030"));
    if (!decode.isValid()) return Outcome::fail(Reason::Failed, QStringLiteral("系统不支持GB18030编码！"));
    rows.reserve(sink.rows.size());
    for (const QList<QByteArray>& raw : sink.rows) {
        QStringList row;
        row.reserve(raw.size());
        for (const QByteArray& field : raw)
            row.append(decode.decode(field));
        rows.append(std::move(row));
    }
    return Outcome::done();
}

Outcome readXlsx(const QString& path, TableRows& rows) {
    rows.clear();
    int err = 0;
    ZipArchive zip;
    zip.z = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &err);
    if (!zip.z) return unreadable(path, QStringLiteral("不是有效的.xlsx文件"));
    const QStringList strings = sharedStrings(zip.entry("xl/sharedStrings.xml"));
    bool found = false;
    const QByteArray sheet = zip.entry(firstSheetPart(zip).toUtf8().constData(), &found);
    if (!found) return unreadable(path, QStringLiteral("找不到工作表"));

    QXmlStreamReader r(sheet);
    int rowNumber = 0;
    QStringList* row = nullptr;
    while (!r.atEnd()) {
        r.readNext();
        if (!r.isStartElement()) continue;
        if (r.name() == u"row") {
            const int n = r.attributes().value(QLatin1String("r")).toInt();
            rowNumber = n > 0 ? n : rowNumber + 1;
            while (rows.size() < rowNumber)
                rows.append(QStringList());
            row = &rows[rowNumber - 1];
        } else if (r.name() == u"c" && row) {
            const QXmlStreamAttributes a = r.attributes();
            const QStringView type = a.value(QLatin1String("t"));
            int col = columnOf(a.value(QLatin1String("r")));
            if (col < 0) col = int(row->size());
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
                text = strings.value(value.toInt());
            } else if (type == u"str" || type == u"e") {
                text = value;
            } else if (type == u"b") {
                text = value == u"1" ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
            } else if (type != u"inlineStr" && !value.isEmpty()) {
                bool ok = false;
                const double v = value.toDouble(&ok);
                text = ok ? numberText(v) : value;
            }
            if (col > 16383) continue;
            while (row->size() <= col)
                row->append(QString());
            (*row)[col] = text;
        }
    }
    if (r.hasError()) return unreadable(path, r.errorString());
    return Outcome::done();
}

Outcome readXls(const QString& path, TableRows& rows) {
    rows.clear();
    const void* handle = nullptr;
    struct Closer {
        const void*& h;
        ~Closer() {
            if (h) freexl_close(h);
        }
    } closer{handle};
    int rc = freexl_open(QFile::encodeName(path).constData(), &handle);
    if (rc == FREEXL_BIFF_PASSWORD) return unreadable(path, QStringLiteral("文件设有密码"));
    if (rc != FREEXL_OK) return unreadable(path, QStringLiteral("不是有效的.xls文件"));
    unsigned int rowCount = 0;
    unsigned short colCount = 0;
    if (freexl_select_active_worksheet(handle, 0) != FREEXL_OK ||
        freexl_worksheet_dimensions(handle, &rowCount, &colCount) != FREEXL_OK)
        return unreadable(path, QStringLiteral("找不到工作表"));
    rows.reserve(rowCount);
    for (unsigned int r = 0; r < rowCount; ++r) {
        QStringList row;
        for (unsigned short c = 0; c < colCount; ++c) {
            FreeXL_CellValue cell;
            QString text;
            if (freexl_get_cell_value(handle, r, c, &cell) == FREEXL_OK) {
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
            row.append(text);
        }
        while (!row.isEmpty() && row.last().isEmpty())
            row.removeLast();
        rows.append(std::move(row));
    }
    return Outcome::done();
}

Outcome readTableFile(const QString& path, TableRows& rows) {
    rows.clear();
    const QFileInfo info(path);
    if (!info.isFile())
        return Outcome::fail(Reason::NotFound, QStringLiteral("找不到文件“%1”！").arg(shortName(path)));
    const QString suffix = info.suffix().toLower();
    Outcome read;
    if (suffix == u"xlsx") {
        read = readXlsx(path, rows);
    } else if (suffix == u"xls") {
        read = readXls(path, rows);
    } else if (suffix == u"csv" || suffix == u"txt") {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly)) return unreadable(path, f.errorString());
        read = readCsv(f.readAll(), rows);
        if (!read && read.reason == Reason::Invalid) return unreadable(path, read.messages.value(0));
    } else {
        return Outcome::fail(
            Reason::Invalid,
            QStringLiteral("只能导入.csv、.xls或.xlsx文件，“%1”不是这几种文件！").arg(shortName(path)));
    }
    if (!read) rows.clear();
    return read;
}

} // namespace shell
