// Runs files through the fuzz target without libFuzzer: each argument is a
// file or a folder of them. A file that makes the reader crash, hang past
// ctest's timeout or break its bounds fails the run.
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
    int files = 0;
    for (int i = 1; i < argc; ++i) {
        const QString arg = QFile::decodeName(argv[i]);
        QStringList paths;
        if (QFileInfo(arg).isDir()) {
            QDirIterator it(arg, QDir::Files, QDirIterator::Subdirectories);
            while (it.hasNext())
                paths << it.next();
        } else {
            paths << arg;
        }
        paths.sort();
        for (const QString& path : paths) {
            QFile f(path);
            if (!f.open(QIODevice::ReadOnly)) {
                std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
                return 1;
            }
            const QByteArray bytes = f.readAll();
            std::fprintf(stderr, "%s (%lld bytes)\n", qPrintable(path), static_cast<long long>(bytes.size()));
            LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size()));
            ++files;
        }
    }
    std::fprintf(stderr, "%d files read\n", files);
    return files > 0 ? 0 : 1;
}
