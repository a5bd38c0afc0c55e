#pragma once

#include "shell/core/Outcome.h"
#include "shell/core/Tree.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace comments {

// The comment phrase library: table "studenPy" of "cJapy218.mdb", each
// phrase with a category number 1 to 12, a title and a text.
inline constexpr int kCategoryCount = 12;
// The twelve category names in their fixed order (tree and editor).
const QStringList& categoryNames();
// The number of a category name (1..12), 0 for a name that is none of them.
int categoryNumber(const QString& name);

QString libraryPath(); // "cJapy218.mdb" in the data folder
inline const QString kPhraseTable = QStringLiteral("studenPy");

struct Phrase {
    int category = 0; // 0 when "类别" is not a whole number 1..12
    QString title;
    QString text;
    QString numberText; // "序号" as shown
};

// A snapshot of the library, read in stored order. The reads of the comment
// writer (tree, titles of a category, phrases of a title) work on it.
class PhraseLibrary {
public:
    PhraseLibrary() = default;
    // Reads the library at `dbPath` (the data folder's when empty). On
    // failure the snapshot is empty and the message names the file.
    shell::Outcome load(const QString& dbPath = {});
    // Builds a snapshot from records in memory (the benchmark's and tests' way
    // to a large library without a file).
    void setPhrases(QList<Phrase> phrases) { phrases_ = std::move(phrases); }

    const QList<Phrase>& phrases() const { return phrases_; }

    // The distinct non-empty titles of a category, in the order of their
    // first appearance. Every title is listed, however many a category has.
    QStringList ListTitles(int category) const;
    // The non-empty texts of every record with exactly this title, whatever
    // its category, in stored order.
    QStringList ListPhrases(const QString& title) const;
    // The tree of the comment writer: the root "学生评语库" (key "explor"),
    // the twelve categories ("C1".."C12") and their titles ("kt" and a
    // running counter). Records outside categories 1..12 are not shown.
    shell::Tree BuildPhraseTree() const;

private:
    QList<Phrase> phrases_;
};

} // namespace comments
