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

} // namespace shell_files
