#pragma once

#include "BookmarkFile.h"
#include "Bookmarks.h"
#include "shell/core/Outcome.h"

#include <QList>
#include <QString>

namespace web {

// What an import does with each page of a bookmark file, shown to the
// teacher before anything is written.
enum class ImportKind {
    New,      // 新增
    Stored,   // 重复: the address is stored already
    Repeated, // 重复: an earlier page of the same file has the address
    Refused,  // 不导入: see the note
};

struct ImportEntry {
    FilePage page; // as it would be stored: category and date filled in
    ImportKind kind = ImportKind::New;
    QString note; // whom it repeats, or why it is refused
};

struct ImportPlan {
    QList<ImportEntry> entries;
    int count(ImportKind kind) const;
};

// The preview of an import: each page checked as a page recorded by hand is
// (a name and an address; the lengths the table takes), a category made of
// its folders or kImportCategory, the file's date or `today`, and its
// address compared, normalised, with the stored pages and with the pages
// before it in the file.
ImportPlan planImport(const QList<FilePage>& pages, const QList<Bookmark>& stored,
                      const BookmarkLimits& limits, const QDate& today);

// Writes the new pages of the plan, and with `duplicatesToo` the repeated
// ones as well, in one transaction: all of them or, on a failure, none (the
// Outcome says why). `written` gets how many were stored.
shell::Outcome importPages(const QString& dbPath, const ImportPlan& plan, bool duplicatesToo,
                           int* written = nullptr);

} // namespace web
