#pragma once

// "数据导出(&O)": whatever the visible score grid shows (score table, roster,
// report, band table, filter or find results) as a new spreadsheet file in
// the export folder. Grid cell (d, i) goes to sheet row d + 5, column i + 1;
// rows 1 to 4 stay empty, and every cell of the block has a thin black
// border. Nothing is written to the class table.

#include "ScoreModel.h"

#include "shell/core/Grid.h"

#include <QDateTime>
#include <QString>

namespace scores {

constexpr int kExportFirstRow = 5;     // "A5"
constexpr int kExportFirstCol = 1;     // column A
constexpr int kExportBorderColour = 1; // palette index: black

namespace msg {
// The export's own refusal when no class is open (the comment writer's
// wording, shared by both tools' spreadsheet entries).
inline const QString kNoCommentLibrary = QStringLiteral("还没有打开学生评语库，请建立或打开！");
// After the file was written, shown with its path.
QString exported(const QString& path);
// When the desktop has no program to open it.
QString exportedNotOpened(const QString& path);
} // namespace msg

// The grid as a workbook at `path` (which must not exist yet), on a sheet
// named `sheetName` (the class), each column as wide as its widest text and
// all of them on one printed page across, turned to landscape when they are
// wider than a portrait A4.
Outcome writeGridSheet(const shell::Grid& grid, const QString& path, const QString& sheetName = QString());

struct ExportResult {
    // Refused with Reason::NotOpen when no class is open; Reason::Failed
    // with "数据导出失败：" and the writer's reason when the file cannot be
    // written (and then no file is left).
    Outcome outcome;
    QString path;    // the file written
    int lastRow = 0; // the grid's last cell: the current cell after the export
    int lastCol = 0;
};

// The visible grid into a new file in the export folder, named from the
// print title and `when`.
ExportResult ExportScores(const ScoreModel& model, const QDateTime& when = QDateTime::currentDateTime());

} // namespace scores
