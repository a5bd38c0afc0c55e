#include "FileSearch.h"

#include <QFile>
#include <QStorageInfo>
#include <algorithm>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace shell {

namespace {

inline char lowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

// Wildcard match with backtracking to the last "*": linear for the patterns
// people type. `pattern` is already lower-case.
template <typename C, typename Lower>
bool wildMatch(const C* p, size_t pn, const C* s, size_t sn, Lower lower) {
    size_t pi = 0, si = 0, starP = size_t(-1), starS = 0;
    while (si < sn) {
        if (pi < pn && (p[pi] == C('?') || p[pi] == lower(s[si])) && p[pi] != C('*')) {
            ++pi;
            ++si;
        } else if (pi < pn && p[pi] == C('*')) {
            starP = pi++;
            starS = si;
        } else if (starP != size_t(-1)) {
            pi = starP + 1;
            si = ++starS;
        } else {
            return false;
        }
    }
    while (pi < pn && p[pi] == C('*'))
        ++pi;
    return pi == pn;
}

bool isAscii(const QString& s) {
    for (QChar c : s)
        if (c.unicode() >= 0x80) return false;
    return true;
}

} // namespace

NamePattern::NamePattern(const QString& pattern) : text_(pattern) {
    QString p = pattern;
    if (p == u"*.*") p = QStringLiteral("*");
    folded_ = p.toCaseFolded();
    if (isAscii(p)) {
        ascii_ = p.toLower().toStdString();
    }
}

bool NamePattern::matches(const QString& name) const {
    if (text_.isEmpty()) return false;
    const QString n = name.toCaseFolded();
    return wildMatch(folded_.constData(), size_t(folded_.size()), n.constData(), size_t(n.size()),
                     [](QChar c) { return c; });
}

bool NamePattern::matches(const char* name, size_t length) const {
    if (text_.isEmpty()) return false;
    if (!ascii_.empty()) {
        // An ASCII pattern compares bytes: non-ASCII bytes of a name can only
        // meet "*" then. Only "?" must see whole characters.
        bool plain = ascii_.find('?') == std::string::npos;
        if (!plain) {
            plain = true;
            for (size_t i = 0; i < length; ++i)
                if (static_cast<unsigned char>(name[i]) >= 0x80) {
                    plain = false;
                    break;
                }
        }
        if (plain) return wildMatch(ascii_.data(), ascii_.size(), name, length, lowerAscii);
    }
    return matches(QFile::decodeName(QByteArray::fromRawData(name, qsizetype(length))));
}

struct FileSearch::Open {
    std::string path; // ends with "/"
    DIR* dir = nullptr;
    std::vector<std::string> matches;
    std::vector<std::string> subfolders;
    ~Open() {
        if (dir) closedir(dir);
    }
};

FileSearch::FileSearch(const QString& root, const QString& pattern) : pattern_(pattern) {
    std::string r = QFile::encodeName(root).toStdString();
    if (r.empty()) return;
    if (r.back() != '/') r += '/';
    if (!systemFolder(r) && !pattern_.isEmpty()) pending_.push_back(r);
}

FileSearch::~FileSearch() = default;

bool FileSearch::systemFolder(const std::string& path) {
    for (const char* top : {"/proc/", "/sys/", "/dev/"})
        if (path.starts_with(top)) return true;
    return false;
}

bool FileSearch::systemFolder(const QString& path) {
    return systemFolder(QFile::encodeName(path).toStdString());
}

QStringList FileSearch::drives() {
    QStringList out;
    for (const QStorageInfo& s : QStorageInfo::mountedVolumes()) {
        if (!s.isValid() || !s.isReady()) continue;
        QString root = s.rootPath();
        if (!root.endsWith(u'/')) root += u'/';
        if (systemFolder(root)) continue;
        if (root != u"/" && !out.contains(root)) out << root;
    }
    out.sort();
    out.prepend(QStringLiteral("/"));
    return out;
}

bool FileSearch::finished() const {
    return !open_ && pending_.empty();
}

QString FileSearch::currentFolder() const {
    if (open_) return QFile::decodeName(QByteArray::fromStdString(open_->path));
    if (!pending_.empty()) return QFile::decodeName(QByteArray::fromStdString(pending_.back()));
    return {};
}

bool FileSearch::openNext() {
    std::string path = std::move(pending_.back());
    pending_.pop_back();
    ++folders_;
    // O_NOFOLLOW: a folder swapped for a link since it was listed is not
    // followed either.
    const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return false; // unreadable: passed over
    struct stat st {};
    if (fstat(fd, &st) != 0 || !seen_.insert(DevIno{uint64_t(st.st_dev), uint64_t(st.st_ino)}).second) {
        ::close(fd);
        return false;
    }
    DIR* d = fdopendir(fd);
    if (!d) {
        ::close(fd);
        return false;
    }
    open_ = std::make_unique<Open>();
    open_->path = std::move(path);
    open_->dir = d;
    return true;
}

void FileSearch::finishFolder(std::vector<Batch>& out) {
    std::unique_ptr<Open> o = std::move(open_);
    if (!o->matches.empty()) {
        std::sort(o->matches.begin(), o->matches.end());
        Batch b;
        b.folder = QFile::decodeName(QByteArray::fromStdString(o->path));
        b.matches.reserve(qsizetype(o->matches.size()));
        for (const std::string& m : o->matches)
            b.matches << QFile::decodeName(QByteArray::fromStdString(o->path + m));
        matchCount_ += qint64(o->matches.size());
        out.push_back(std::move(b));
    }
    // The first subfolder in name order must be searched next: it goes on
    // the back of the stack.
    std::sort(o->subfolders.begin(), o->subfolders.end(), std::greater<>());
    for (std::string& s : o->subfolders) {
        std::string p = o->path + s + '/';
        if (!systemFolder(p)) pending_.push_back(std::move(p));
    }
}

std::vector<FileSearch::Batch> FileSearch::step(int budgetMs, qint64 maxMatches) {
    std::vector<Batch> out;
    QElapsedTimer clock;
    clock.start();
    const qint64 before = matchCount_;
    do {
        if (!open_) {
            if (pending_.empty()) break;
            openNext();
            continue;
        }
        const int fd = dirfd(open_->dir);
        bool ended = true;
        // Look at the clock every few hundred entries so that one huge folder
        // does not hold up the window.
        for (int n = 0; n < 512; ++n) {
            const dirent* e = readdir(open_->dir);
            if (!e) {
                ended = true;
                break;
            }
            ended = false;
            const char* name = e->d_name;
            if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0))) continue;
            const size_t len = strlen(name);
            bool folder = e->d_type == DT_DIR;
            if (e->d_type == DT_UNKNOWN) {
                struct stat st {};
                folder = fstatat(fd, name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(st.st_mode);
            }
            if (pattern_.matches(name, len)) open_->matches.emplace_back(name, len);
            // Hidden folders are listed above when they match, never entered:
            // from "/" they are every .cache and .git on the disk.
            if (folder && name[0] != '.') open_->subfolders.emplace_back(name, len);
        }
        if (ended) finishFolder(out);
    } while (clock.elapsed() < budgetMs && matchCount_ - before < maxMatches);
    return out;
}

} // namespace shell
