#pragma once

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QPointer>
#include <QTimer>
#include <functional>

namespace testing_support {

// Runs `act` on the file dialog once it is up (Qt's own dialog, shown for
// real); a dialog `act` leaves open is cancelled soon after, so no test
// waits on it for ever.
inline void onFileDialog(const std::function<void(QFileDialog*)>& act, int tries = 500) {
    QTimer::singleShot(10, [act, tries] {
        auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!d) {
            if (tries > 0) onFileDialog(act, tries - 1);
            return;
        }
        act(d);
        QPointer<QFileDialog> open(d);
        QTimer::singleShot(500, [open] {
            if (open) open->reject();
        });
    });
}

// What a file dialog showed: its folder, the name in its name box and the
// filter entry chosen.
struct DialogSeen {
    QString folder, name, filter;
};
// An `act` that notes what the dialog shows, then cancels it.
inline std::function<void(QFileDialog*)> lookAndCancel(DialogSeen* seen) {
    return [seen](QFileDialog* d) {
        seen->folder = d->directory().absolutePath();
        const QString first = d->selectedFiles().value(0);
        seen->name = QFileInfo(first).isDir() ? QString() : QFileInfo(first).fileName();
        seen->filter = d->selectedNameFilter();
        d->reject();
    };
}

} // namespace testing_support
