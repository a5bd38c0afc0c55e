#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

namespace shell {

// The program's small pictures, drawn here rather than shipped as files:
// the tray menu's keys (about, setup, close, internet, jiaoan, viewdetails,
// studenBook, pen, jihua, exit), the library trees' keys (explorer, sortOff,
// sortOn, fileOff, fileOn), "app" for the program itself and "splash" for
// the large picture of the splash and about windows.
QIcon icon(const QString& key);
QPixmap picture(const QString& key, int size);

} // namespace shell
