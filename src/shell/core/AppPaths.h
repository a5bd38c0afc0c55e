#pragma once

#include <QString>
#include <QStringList>

namespace shell {

// The data folder: VELTRANO_DATA_DIR when set, else --data-dir DIR, else the
// executable's folder when it is writable and not an installed program's
// (under /usr or in a folder named bin), else ~/.local/share/veltrano.
class AppPaths {
public:
    static QString dataDir();
    static void setDataDir(const QString& dir); // from --data-dir; the variable wins
    // The data folder followed by a file name: AppPaths::file("cCj218.mdb").
    static QString file(const QString& name);
    // Picks the folder from the environment and the arguments.
    static void init(const QStringList& arguments);
};

} // namespace shell
