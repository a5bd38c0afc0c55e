#include "TestSupport.h"

#include "store/Database.h"
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

ShortBusyTimeout::ShortBusyTimeout(int ms) : old_(store::Database::busyTimeoutMs()) {
    store::Database::setBusyTimeoutMs(ms);
}

ShortBusyTimeout::~ShortBusyTimeout() {
    store::Database::setBusyTimeoutMs(old_);
}

} // namespace testing_support
