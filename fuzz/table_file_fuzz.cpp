// Fuzz target of the table-file reader (shell/core/TableFile): any bytes as
// the file a teacher picks for an import. The kind is taken from the bytes,
// as a teacher's file is often misnamed: a zip package is read as .xlsx, an
// OLE compound file as .xls, XML as the first sheet of a package made
// around it (so mutations reach the sheet reader rather than the inflater;
// a NUL byte splits off the shared strings), anything else as CSV.
//
// Built two ways: with clang's libFuzzer by scripts/fuzz.sh, and as the
// `table_file_replay` test of the normal build, which runs fuzz/corpus and
// fuzz/crafted through it (under ASan and UBSan in the sanitizer build).
#include "shell/core/TableFile.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>
#include <zip.h>

namespace {

const QTemporaryDir& scratch() {
    // Memory-backed when the system has it: the fuzzer writes a file per run.
    static const QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists()
                                       ? QStringLiteral("/dev/shm/veltrano-fuzz-XXXXXX")
                                       : QDir::tempPath() + QStringLiteral("/veltrano-fuzz-XXXXXX"));
    return dir;
}

bool writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

// A package holding `sheet` as its first sheet and, when given, `strings`
// as its shared strings; stored, not deflated, to keep runs fast.
bool writePackage(const QString& path, const QByteArray& sheet, const QByteArray* strings) {
    int err = 0;
    zip_t* z = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &err);
    if (!z) return false;
    auto add = [z](const char* name, const QByteArray& bytes) {
        zip_source_t* src = zip_source_buffer(z, bytes.constData(), zip_uint64_t(bytes.size()), 0);
        const zip_int64_t at = src ? zip_file_add(z, name, src, ZIP_FL_OVERWRITE) : -1;
        if (at < 0) {
            if (src) zip_source_free(src);
            return false;
        }
        return zip_set_file_compression(z, zip_uint64_t(at), ZIP_CM_STORE, 0) == 0;
    };
    const bool ok =
        add("xl/worksheets/sheet1.xml", sheet) && (!strings || add("xl/sharedStrings.xml", *strings));
    if (!ok) {
        zip_discard(z);
        return false;
    }
    return zip_close(z) == 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const QDir dir(scratch().path());
    QString path;
    if (bytes.startsWith("PK")) {
        path = dir.filePath(QStringLiteral("fuzz.xlsx"));
        if (!writeBytes(path, bytes)) return 0;
    } else if (bytes.startsWith("\xD0\xCF\x11\xE0")) {
        path = dir.filePath(QStringLiteral("fuzz.xls"));
        if (!writeBytes(path, bytes)) return 0;
    } else if (bytes.startsWith("<")) {
        path = dir.filePath(QStringLiteral("fuzz.xlsx"));
        const qsizetype split = bytes.indexOf('\0');
        const QByteArray sheet = split < 0 ? bytes : bytes.left(split);
        const QByteArray strings = split < 0 ? QByteArray() : bytes.mid(split + 1);
        if (!writePackage(path, sheet, split < 0 ? nullptr : &strings)) return 0;
    } else {
        path = dir.filePath(QStringLiteral("fuzz.csv"));
        if (!writeBytes(path, bytes)) return 0;
    }
    shell::TableRows rows;
    shell::TableRead watch;
    const shell::Outcome read = shell::readTableFile(path, rows, &watch);
    // What the reader promises whatever the file: a message when refused,
    // nothing held past the bounds when not.
    if (!read && read.messages.isEmpty()) std::abort();
    if (read) {
        if (rows.size() > shell::TableLimits::kRows) std::abort();
        qint64 cells = 0;
        for (const QStringList& row : rows) {
            if (row.size() > shell::TableLimits::kColumns) std::abort();
            cells += row.size();
        }
        if (cells > shell::TableLimits::kCells || watch.cells.load() > shell::TableLimits::kCells)
            std::abort();
    }
    return 0;
}
