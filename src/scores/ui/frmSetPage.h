#pragma once

#include "scores/model/PageSetup.h"

#include <QWidget>
#include <array>

class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabBar;

namespace shell {
class ClearTimer;
}

namespace scores {

// "页面设置": paper, orientation, margins and rows per page of the class open
// in the score window. The values belong to the model; this window shows
// pageSetupForm() and hands "确定" to storePageSetup().
class frmSetPage : public QWidget {
    Q_OBJECT
public:
    explicit frmSetPage(ScoreModel& model, QWidget* parent = nullptr);

    // "确定": stores and closes, or tells why not and stays.
    void confirm();
    // A paper entry was chosen: its size, turned for the orientation.
    void choosePaper(int index);
    // An orientation option was chosen.
    void chooseOrientation(Orientation o);
    // A tab was chosen: 0 "纸张边距", 1 "纸张类型".
    void chooseTab(int index);

private:
    void showSheet();

    ScoreModel& model_;
    QTabBar* tabs_;                       // tabSetPage
    std::array<QGroupBox*, 6> frames_{};  // fraSetPage 0..5
    std::array<QLineEdit*, 8> boxes_{};   // txtSetPage 1..7
    QComboBox* paper_;                    // cobSetPage
    std::array<QRadioButton*, 2> orient_; // optSetPage 0 纵向, 1 横向
    QWidget* sheet_;                      // picSetPage(1) inside picSetPage(0)
    shell::ClearTimer* timer_;            // timReText
    Orientation orientation_ = Orientation::Portrait;
};

} // namespace scores
