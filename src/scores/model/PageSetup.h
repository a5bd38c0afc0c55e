#pragma once

// The page setup of the open class: paper, orientation, margins and table
// rows per page, kept as page values 1 to 9 in the "js4" field of the
// class table's settings rows. The page-setup window shows pageSetupForm()
// and hands what the teacher typed to storePageSetup().

#include "ScoreModel.h"

#include <QSize>
#include <QString>
#include <QStringList>
#include <array>

namespace scores {

// The paper list (cobSetPage): entry texts and their sizes in millimetres.
// The last entry, "自定义", starts from A4 and leaves the size boxes to the
// teacher.
const QStringList& paperNames();
QSize paperSizeMm(int index);
constexpr int kCustomPaper = 7;

enum class Orientation { Portrait = 0, Landscape = 1 };

// What the window shows when it opens. A paper index or orientation outside
// the lists (a damaged or foreign class) shows as "自定义" / "纵向".
struct PageSetupForm {
    int paperIndex = kCustomPaper;
    Orientation orientation = Orientation::Portrait;
    // txtSetPage 1..7: top, bottom, left, right, width, height, rows; index 0 unused.
    std::array<QString, 8> boxes;
};
PageSetupForm pageSetupForm(const ClassData& data);

// What "确定" hands over: the boxes' texts as typed, the chosen paper entry
// and orientation.
struct PageSetupInput {
    std::array<QString, 8> boxes; // txtSetPage 1..7 as above
    int paperIndex = kCustomPaper;
    Orientation orientation = Orientation::Portrait;
};

namespace msg {
inline const QString kContentTooWide = QStringLiteral(" 内容宽度已经大于打印纸宽！");
inline const QString kContentTooHigh = QStringLiteral(" 内容高度已经大于打印纸高！");
inline const QString kPageNotNumber = QStringLiteral("页面设置的每一项都要填写数字，请重做！");
inline const QString kPageTooLarge = QStringLiteral("纸张大小和页边距不能超过5000毫米，请重做！");
inline const QString kPageRowsWhole = QStringLiteral("每页打印行数要填写大于0的整数，请重做！");
} // namespace msg

// "确定": checks every box (a plain number of millimetres; rows a whole
// number from 1), then that the score grid's columns fit between the left
// and right margins and the rows per page between the top and bottom ones,
// and stores page values 1 to 9 in one transaction, each into the record
// at its own position whose "编号" is "listKM" and that position. Then the
// class's settings are read again. A refusal or failed write stores
// nothing; the outcome says why.
Outcome storePageSetup(ScoreModel& model, const PageSetupInput& input);

} // namespace scores
