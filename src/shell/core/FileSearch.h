#pragma once

#include <QElapsedTimer>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

namespace shell {

// A file-name pattern with the wildcards "*" (any run of characters) and "?"
// (one character), matched without regard to case. "*.*" matches every name,
// with or without a dot: teachers type it to mean "every file".
class NamePattern {
public:
    explicit NamePattern(const QString& pattern = {});
    bool matches(const char* utf8Name, size_t length) const;
    bool matches(const QString& name) const;
    bool isEmpty() const { return text_.isEmpty(); }

private:
    QString text_;
    std::string ascii_; // lower-cased pattern when it is plain ASCII
    QString folded_;    // case-folded pattern for names beyond ASCII
};

// The walk of the file finder without any window: it searches a folder tree
// for names matching a pattern, a little at a time, so that the window can
// run it from its event loop and stay responsive.
//
// - A folder's own matches come first, sorted by name, then its subfolders,
//   depth first, in name order.
// - Symbolic links are listed when they match but never followed, and a
//   folder already visited (same device and inode, e.g. through a bind
//   mount) is not searched twice, so the walk always ends.
// - Folders whose names begin with "." (settings, caches, version control)
//   are listed when they match but not searched, except the folder the
//   search starts from.
// - /proc, /sys and /dev are not searched; folders that cannot be read are
//   passed over.
class FileSearch {
public:
    // The kernel's and device file systems (/proc, /sys, /dev and everything
    // below them): endless or live files, nothing a teacher looks for. They
    // are neither searched nor offered as drives. `path` ends with "/".
    static bool systemFolder(const QString& path);
    // Mounted file systems that can be searched, each ending with "/", "/"
    // first and the others in name order.
    static QStringList drives();

    struct Batch {
        QString folder;      // ends with "/"
        QStringList matches; // full paths
    };

    FileSearch(const QString& root, const QString& pattern);
    ~FileSearch();
    FileSearch(const FileSearch&) = delete;
    FileSearch& operator=(const FileSearch&) = delete;

    // Works until `budgetMs` milliseconds have passed (a huge folder is read
    // in pieces across calls) or, after a folder, until `maxMatches` names
    // have been found, and returns what was found meanwhile. Returns at least
    // after one piece of work even with a budget of 0.
    std::vector<Batch> step(int budgetMs, qint64 maxMatches = std::numeric_limits<qint64>::max());
    bool finished() const;
    // The folder being searched (for the status line).
    QString currentFolder() const;
    qint64 foldersSearched() const { return folders_; }
    qint64 matchCount() const { return matchCount_; }

private:
    struct Open;
    struct DevIno {
        uint64_t dev, ino;
        bool operator==(const DevIno& o) const { return dev == o.dev && ino == o.ino; }
    };
    struct DevInoHash {
        size_t operator()(const DevIno& d) const { return std::hash<uint64_t>()(d.ino * 1000003u ^ d.dev); }
    };
    bool openNext();
    void finishFolder(std::vector<Batch>& out);
    static bool systemFolder(const std::string& path);

    NamePattern pattern_;
    std::vector<std::string> pending_; // folders still to search, the next at the back
    std::unique_ptr<Open> open_;       // the folder being read
    std::unordered_set<DevIno, DevInoHash> seen_;
    qint64 folders_ = 0;
    qint64 matchCount_ = 0;
};

} // namespace shell
