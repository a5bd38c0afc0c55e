#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <vector>

namespace web {

// Search over the pages' names, categories and addresses as the teacher
// types: every blank-separated word of the query must occur in one of the
// three, without regard to case (full-width letters as ASCII ones). The
// texts are kept folded in one UTF-8 block and scanned with memmem, a few
// milliseconds for a million pages; a query that only adds to the last one
// (one more character typed) searches the last hits alone.
class BookmarkSearch {
public:
    // Starts over with no pages.
    void clear();
    // Adds the next page (pages are numbered 0, 1, … in the order added).
    void add(const QString& name, const QString& category, const QString& address);
    int size() const { return int(starts_.size()); }

    // The numbers of the pages that match, ascending. An empty query (or
    // one of blanks only) matches nothing.
    const std::vector<int>& find(const QString& query);

    // The words of a query, case-folded: what find() looks for.
    static QStringList words(const QString& query);

private:
    bool contains(int page, const QByteArray& word) const;

    QByteArray text_;               // per page: name \x1f category \x1f address \n
    std::vector<qsizetype> starts_; // where each page begins in text_
    QStringList lastWords_;
    std::vector<int> hits_;
};

} // namespace web
