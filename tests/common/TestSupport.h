#pragma once

#include <QString>
#include <QTemporaryDir>
#include <memory>

namespace testing_support {

// A fresh data folder for one test: VELTRANO_DATA_DIR points at it and the
// database files with their tables are in it.
class DataFolder {
public:
    explicit DataFolder(bool createFiles = true);
    ~DataFolder();
    QString path() const { return dir_.path(); }
    QString file(const QString& name) const;

private:
    QTemporaryDir dir_;
    QByteArray oldEnv_;
};

} // namespace testing_support
