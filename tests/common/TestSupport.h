#pragma once

#include <QString>
#include <QTemporaryDir>
#include <memory>

class QWidget;

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

// Finds a child widget by objectName (control-array names included).
template <typename T> T* child(QWidget* parent, const QString& name);

} // namespace testing_support

#include <QWidget>
template <typename T> T* testing_support::child(QWidget* parent, const QString& name) {
    return parent ? parent->findChild<T*>(name) : nullptr;
}
