#include "BookmarkSearch.h"

#include <QRegularExpression>
#include <algorithm>
#include <cstring>

namespace web {

namespace {
// Full-width letters and digits (as a Chinese input method types them) are
// the ASCII ones, and case does not count.
QString folded(const QString& s) {
    const bool ascii = std::all_of(s.cbegin(), s.cend(), [](QChar c) { return c.unicode() < 0x80; });
    return (ascii ? s : s.normalized(QString::NormalizationForm_KC)).toCaseFolded();
}

// Control characters part the fields and the pages: a word never holds
// one, so no match runs from one field into the next.
void appendFolded(QByteArray& out, const QString& s) {
    QString f = folded(s);
    for (QChar& c : f)
        if (c.unicode() < 0x20) c = u' ';
    out += f.toUtf8();
}
} // namespace

void BookmarkSearch::clear() {
    text_.clear();
    starts_.clear();
    lastWords_.clear();
    hits_.clear();
}

void BookmarkSearch::add(const QString& name, const QString& category, const QString& address) {
    starts_.push_back(text_.size());
    appendFolded(text_, name);
    text_ += '\x1f';
    appendFolded(text_, category);
    text_ += '\x1f';
    appendFolded(text_, address);
    text_ += '\n';
    // A page added after a search is not among its hits.
    lastWords_.clear();
}

QStringList BookmarkSearch::words(const QString& query) {
    return folded(query).split(QRegularExpression(QStringLiteral("[\\s\\x00-\\x1f]+")), Qt::SkipEmptyParts);
}

bool BookmarkSearch::contains(int page, const QByteArray& word) const {
    const qsizetype from = starts_[page];
    const qsizetype to = page + 1 < int(starts_.size()) ? starts_[page + 1] : text_.size();
    return memmem(text_.constData() + from, size_t(to - from), word.constData(), size_t(word.size())) !=
           nullptr;
}

const std::vector<int>& BookmarkSearch::find(const QString& query) {
    const QStringList now = words(query);
    // Every old word inside one of the new ones: the new hits are among the old.
    const bool narrower =
        !lastWords_.isEmpty() && std::all_of(lastWords_.cbegin(), lastWords_.cend(), [&](const QString& w) {
            return std::any_of(now.cbegin(), now.cend(), [&](const QString& n) { return n.contains(w); });
        });
    std::vector<QByteArray> utf8;
    for (const QString& w : now)
        utf8.push_back(w.toUtf8());
    // The longest word first: it rules out the most.
    std::sort(utf8.begin(), utf8.end(),
              [](const QByteArray& a, const QByteArray& b) { return a.size() > b.size(); });

    if (now.isEmpty()) {
        hits_.clear();
    } else if (narrower) {
        std::vector<int> kept;
        for (int page : hits_)
            if (std::all_of(utf8.cbegin(), utf8.cend(),
                            [&](const QByteArray& w) { return contains(page, w); }))
                kept.push_back(page);
        hits_ = std::move(kept);
    } else {
        hits_.clear();
        const char* base = text_.constData();
        const size_t total = size_t(text_.size());
        const QByteArray& first = utf8.front();
        size_t at = 0;
        while (at < total) {
            const void* m = memmem(base + at, total - at, first.constData(), size_t(first.size()));
            if (!m) break;
            const qsizetype off = static_cast<const char*>(m) - base;
            // The page that holds the match: the last start at or before it.
            const int page =
                int(std::upper_bound(starts_.cbegin(), starts_.cend(), off) - starts_.cbegin()) - 1;
            bool all = true;
            for (size_t k = 1; k < utf8.size() && all; ++k)
                all = contains(page, utf8[k]);
            if (all) hits_.push_back(page);
            // On to the next page: one hit per page.
            at = page + 1 < int(starts_.size()) ? size_t(starts_[page + 1]) : total;
        }
    }
    lastWords_ = now;
    return hits_;
}

} // namespace web
