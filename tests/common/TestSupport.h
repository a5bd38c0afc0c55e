#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEvent>
#include <QString>
#include <QTemporaryDir>
#include <QThread>
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

// Runs the event loop until `done()` holds or `ms` have passed, and says
// which. Tests assert the result (ASSERT_TRUE(waitFor(...))), so a wait that
// runs out fails the test; QTest's QTRY_* macros only return from it.
template <typename Done> [[nodiscard]] bool waitFor(Done done, int ms = 3000) {
    const QDeadlineTimer deadline(ms);
    while (!done()) {
        if (deadline.hasExpired()) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QThread::msleep(1);
    }
    return true;
}

// Sets how long a write waits for another program's lock while it lives,
// so the tests of a locked file take milliseconds instead of seconds.
class ShortBusyTimeout {
public:
    explicit ShortBusyTimeout(int ms = 50);
    ~ShortBusyTimeout();

private:
    int old_;
};

} // namespace testing_support
