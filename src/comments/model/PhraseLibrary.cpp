#include "PhraseLibrary.h"

#include "shell/core/AppPaths.h"
#include "shell/core/StatementTable.h"
#include "store/Schema.h"

#include <QSet>

namespace comments {

const QStringList& categoryNames() {
    static const QStringList names{
        QStringLiteral("本期印象"), QStringLiteral("行为纪律"), QStringLiteral("交际能力"),
        QStringLiteral("班务工作"), QStringLiteral("特长爱好"), QStringLiteral("课堂上课"),
        QStringLiteral("平时作业"), QStringLiteral("学习情况"), QStringLiteral("其他方面"),
        QStringLiteral("存在问题"), QStringLiteral("建议希望"), QStringLiteral("评语范例")};
    return names;
}

int categoryNumber(const QString& name) {
    return int(categoryNames().indexOf(name)) + 1;
}

QString libraryPath() {
    return shell::AppPaths::file(store::kCommonDb);
}

shell::Outcome PhraseLibrary::load(const QString& dbPath) {
    phrases_.clear();
    QString error;
    auto table = shell::StatementTable::open(dbPath.isEmpty() ? libraryPath() : dbPath, kPhraseTable, &error);
    if (!table) return shell::Outcome::fail(shell::Reason::Failed, error);
    phrases_.reserve(table->count());
    for (const shell::Statement& s : table->rows()) {
        // "类别" is kept as the text of the number and compared as a number.
        const auto n = shell::wholeNumber(s.category);
        const int category = n && *n >= 1 && *n <= kCategoryCount ? int(*n) : 0;
        phrases_.append(Phrase{category, s.title, s.text, s.numberText});
    }
    return shell::Outcome::done();
}

QStringList PhraseLibrary::ListTitles(int category) const {
    QStringList titles;
    if (category < 1 || category > kCategoryCount) return titles;
    QSet<QString> seen;
    for (const Phrase& p : phrases_) {
        if (p.category != category || p.title.isEmpty()) continue;
        if (!seen.contains(p.title)) {
            seen.insert(p.title);
            titles << p.title;
        }
    }
    return titles;
}

QStringList PhraseLibrary::ListPhrases(const QString& title) const {
    QStringList texts;
    for (const Phrase& p : phrases_)
        if (p.title == title && !p.text.isEmpty()) texts << p.text;
    return texts;
}

shell::Tree PhraseLibrary::BuildPhraseTree() const {
    // Titles of every category in one walk rather than twelve.
    QList<QStringList> titles(kCategoryCount + 1);
    QList<QSet<QString>> seen(kCategoryCount + 1);
    for (const Phrase& p : phrases_) {
        if (p.category == 0 || p.title.isEmpty()) continue;
        QSet<QString>& s = seen[p.category];
        const qsizetype before = s.size();
        s.insert(p.title);
        if (s.size() != before) titles[p.category] << p.title;
    }
    shell::Tree tree;
    const QString root = QStringLiteral("explor");
    tree.add({}, root, QStringLiteral("学生评语库"), QStringLiteral("explorer"), {}, QStringLiteral("root"));
    int counter = 1; // the root is node 1
    for (int n = 1; n <= kCategoryCount; ++n) {
        const QString category = QStringLiteral("C%1").arg(n);
        tree.add(root, category, categoryNames()[n - 1], QStringLiteral("sortOff"), QStringLiteral("sortOn"));
        ++counter;
        for (const QString& title : titles[n]) {
            tree.add(category, QStringLiteral("kt%1").arg(counter), title, QStringLiteral("fileOff"),
                     QStringLiteral("fileOn"));
            ++counter;
        }
    }
    tree.setExpanded(root);
    return tree;
}

} // namespace comments
