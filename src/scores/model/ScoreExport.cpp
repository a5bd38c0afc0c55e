#include "ScoreExport.h"

#include "shell/docs/ExportFolder.h"
#include "shell/docs/SpreadsheetWriter.h"

#include <QDir>

namespace scores {

QString msg::exported(const QString& path) {
    return QStringLiteral("数据已经导出到文件“%1”！").arg(QDir::toNativeSeparators(path));
}

QString msg::exportedNotOpened(const QString& path) {
    return QStringLiteral("数据已经导出到文件“%1”，但是没有找到打开电子表格的程序，请自行打开这个文件！")
        .arg(QDir::toNativeSeparators(path));
}

Outcome writeGridSheet(const shell::Grid& grid, const QString& path, const QString& sheetName) {
    // The block is written top to bottom, so the workbook can go to disk row
    // by row and a grid of any length takes the same memory.
    using shell::SpreadsheetWriter;
    SpreadsheetWriter book(path, {.rowsInOrder = true, .sheetName = sheetName});
    // Each column as wide as its widest text, with a character to spare on
    // either side; what the columns take decides the paper's direction (an
    // A4 in portrait has room for about 660 pixels between its margins, a
    // column takes 7 pixels a character and 5 of padding).
    int pixels = 0;
    for (int c = 0; c < grid.cols(); ++c) {
        int widest = 0;
        for (int r = 0; r < grid.rows(); ++r)
            widest = qMax(widest, SpreadsheetWriter::textWidth(grid.text(r, c)));
        const int width = qBound(4, widest + 2, 100);
        book.setColumnWidth(kExportFirstCol + c, width);
        pixels += width * 7 + 5;
    }
    constexpr int kPortraitPixels = 660;
    book.printOnePageWide(pixels > kPortraitPixels, kExportFirstRow, kExportFirstRow);
    const int bordered = book.addStyle({.borderColor = kExportBorderColour});
    book.setGrid(grid, kExportFirstRow, kExportFirstCol, bordered);
    return book.save();
}

ExportResult ExportScores(const ScoreModel& model, const QDateTime& when) {
    if (Outcome open = model.requireClass(msg::kNoCommentLibrary); !open) return {open, {}, 0, 0};
    auto failed = [](const Outcome& why) {
        return ExportResult{
            Outcome::fail(Reason::Failed, QStringLiteral("数据导出失败：%1！").arg(why.messages.value(0))),
            {},
            0,
            0};
    };
    const QString title =
        model.viewState().printTitle.isEmpty() ? model.className() : model.viewState().printTitle;
    const shell::ExportTarget target = shell::newExportFile(title, QStringLiteral("xlsx"), when);
    if (!target.outcome) return failed(target.outcome);
    const shell::Grid& grid = model.scoreGrid();
    if (const Outcome written = writeGridSheet(grid, target.path, model.className()); !written)
        return failed(written);
    return {Outcome::done(), target.path, qMax(0, grid.rows() - 1), qMax(0, grid.cols() - 1)};
}

} // namespace scores
