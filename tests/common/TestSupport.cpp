#include "TestSupport.h"

#include "store/Schema.h"

#include <QDir>

namespace testing_support {

DataFolder::DataFolder(bool createFiles) {
    oldEnv_ = qgetenv("VELTRANO_DATA_DIR");
    qputenv("VELTRANO_DATA_DIR", dir_.path().toUtf8());
    if (createFiles) store::ensureDataFiles(dir_.path());
}

DataFolder::~DataFolder() {
    if (oldEnv_.isEmpty())
        qunsetenv("VELTRANO_DATA_DIR");
    else
        qputenv("VELTRANO_DATA_DIR", oldEnv_);
}

QString DataFolder::file(const QString& name) const {
    return QDir(dir_.path()).filePath(name);
}

} // namespace testing_support
