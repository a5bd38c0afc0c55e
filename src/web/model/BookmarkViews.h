#pragma once

#include "BookmarkImport.h"
#include "Bookmarks.h"
#include "shell/core/Grid.h"

#include <QList>

namespace web {

// The tables of the bookmark window's tools, as values.

// An import's preview: one row per page of the file, numbered, with what
// the import does with it (新增, 重复, 不导入), its name, category, date,
// address and the note; refused rows in red, repeated ones in grey.
shell::Grid importPreviewGrid(const ImportPlan& plan);
// "共 8 个网页：新增 2 个，重复 2 个，不导入 4 个。"
QString importSummary(const ImportPlan& plan);

// The groups of pages sharing an address: one row per page, column 0 the
// group's number on its first row, then name, category, date, address.
// `rowKeys` gets the record behind each row (index 0 for the heading).
shell::Grid duplicatesGrid(const QList<QList<Bookmark>>& groups, QList<qint64>* rowKeys);
// The records a merge removes: every page of each group but its first.
QList<qint64> mergeRemovals(const QList<QList<Bookmark>>& groups);

} // namespace web
