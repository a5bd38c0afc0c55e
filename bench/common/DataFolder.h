#pragma once

// One data folder for a whole benchmark run: a temporary folder holding the
// program's database files, made on first use and named to the program
// through VELTRANO_DATA_DIR, so classes and libraries built for one size are
// reused by every benchmark that asks for that size.

#include "store/Schema.h"

#include <QDir>
#include <QString>
#include <QTemporaryDir>

namespace bench_support {

struct DataFolder {
    QTemporaryDir dir;
    QString db; // the class database
    DataFolder() {
        qputenv("VELTRANO_DATA_DIR", dir.path().toUtf8());
        store::ensureDataFiles(dir.path());
        db = QDir(dir.path()).filePath(store::kClassDb);
    }
    QString out(const char* name) const { return QDir(dir.path()).filePath(QString::fromLatin1(name)); }
};

inline DataFolder& folder() {
    static DataFolder f;
    return f;
}

} // namespace bench_support
