#pragma once

// Files and folders the shell's tests of both layers build on: small file
// helpers, a folder tree with the traps of a real disk, and a private
// XDG_CONFIG_HOME.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace shell_files {

inline void touch(const QString& path) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
}

inline QString readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

inline void writeAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// A tree with the traps of a real disk: links back up the tree, a link to a
// folder with a matching name, a folder nobody may read, Chinese names.
class Tree {
public:
    Tree() {
        // Readable by the unprivileged user the test may switch to.
        QFile::setPermissions(dir_.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                               QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                               QFileDevice::ExeOther | QFileDevice::ReadGroup |
                                               QFileDevice::ExeGroup);
        touch(path("b/calc.EXE"));
        touch(path("a/CALC.EXE"));
        touch(path("a/sub/calc.exe"));
        touch(path("a/sub/notcalc.exe"));
        touch(path("locked/calc.exe"));
        touch(path("中文/计算器.exe"));
        touch(path("中文/calc.exe.txt"));
        QDir().mkpath(path("c"));
        QFile::link(dir_.path(), path("b/loop"));   // back to the top
        QFile::link(path("a"), path("c/calc.exe")); // a link to a folder, by a matching name
        QFile::link("..", path("a/sub/up"));        // relative link up
        ::chmod(QFile::encodeName(path("locked")).constData(), 0);
    }
    ~Tree() { ::chmod(QFile::encodeName(path("locked")).constData(), 0755); }
    QString root() const { return dir_.path(); }
    QString path(const QString& rel) const { return dir_.path() + u'/' + rel; }

private:
    QTemporaryDir dir_;
};

// Points XDG_CONFIG_HOME at a temporary folder for one test.
class ConfigHome {
public:
    ConfigHome() : old_(qgetenv("XDG_CONFIG_HOME")) { qputenv("XDG_CONFIG_HOME", dir_.path().toUtf8()); }
    ~ConfigHome() {
        if (old_.isEmpty())
            qunsetenv("XDG_CONFIG_HOME");
        else
            qputenv("XDG_CONFIG_HOME", old_);
    }
    QString entry() const { return dir_.path() + QStringLiteral("/autostart/veltrano.desktop"); }

private:
    QTemporaryDir dir_;
    QByteArray old_;
};

// A desktop of its own for one test: XDG data folders (the user's and two of
// the system's), configuration folders, a PATH folder and the desktop's name,
// every one in a temporary folder, and the environment put back afterwards.
class FakeDesktop {
public:
    FakeDesktop() {
        set("XDG_DATA_HOME", path("home/data"));
        set("XDG_DATA_DIRS", path("usr/local/share") + u':' + path("usr/share"));
        set("XDG_CONFIG_HOME", path("home/config"));
        set("XDG_CONFIG_DIRS", path("etc/xdg"));
        set("PATH", bin());
        set("XDG_CURRENT_DESKTOP", QStringLiteral("GNOME"));
    }
    ~FakeDesktop() {
        for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
            if (it->second.isNull())
                qunsetenv(it->first);
            else
                qputenv(it->first, it->second);
        }
    }
    QString path(const QString& rel) const { return dir_.path() + u'/' + rel; }
    QString bin() const { return path(QStringLiteral("bin")); }
    // An executable in the PATH folder (or at an absolute path).
    QString program(const QString& name) const {
        const QString p = QDir::isAbsolutePath(name) ? name : bin() + u'/' + name;
        touch(p);
        QFile::setPermissions(p, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        return p;
    }
    // A desktop entry in one of the data folders: "home/data", "usr/local/share" or "usr/share".
    QString entry(const QString& dataFolder, const QString& fileName, const QByteArray& text) const {
        const QString file = path(dataFolder + QStringLiteral("/applications/") + fileName);
        touch(file);
        writeAll(file, text);
        return file;
    }
    // A program's usual entry: Type, Name, Exec and Categories.
    QString app(const QString& dataFolder, const QString& fileName, const QString& exec,
                const QString& categories, const QByteArray& extra = {}) const {
        return entry(dataFolder, fileName,
                     "[Desktop Entry]\nType=Application\nName=" + fileName.toUtf8() +
                         "\nExec=" + exec.toUtf8() + "\nCategories=" + categories.toUtf8() + "\n" + extra);
    }

private:
    void set(const char* name, const QString& value) {
        saved_.emplace_back(name, qEnvironmentVariableIsSet(name) ? qgetenv(name) : QByteArray());
        qputenv(name, QFile::encodeName(value));
    }
    QTemporaryDir dir_;
    std::vector<std::pair<const char*, QByteArray>> saved_;
};

} // namespace shell_files
