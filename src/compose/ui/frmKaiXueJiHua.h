#pragma once

#include "WriterWindow.h"
#include "shell/windows/frmDate.h"

#include <array>

class QGroupBox;
class QRadioButton;

namespace compose {

// "开学计划高手", the plan writer: an opening, middle statements (prose, or
// by month or by week with a dated weekly schedule) and an ending from the
// plan library, composed stage by stage into the article ricJiHua.
class frmKaiXueJiHua : public WriterWindow {
    Q_OBJECT
public:
    explicit frmKaiXueJiHua(QWidget* parent = nullptr);

    // Opens the calendar for the start or the end date; the date chosen
    // there comes back through its dateChosen signal.
    void chooseDate(shell::frmDate::Purpose purpose);
    // "确定" of the week panel.
    void GenerateWeekSchedule();

    QChar mode() const { return modeKey_.isEmpty() ? QChar(u'0') : modeKey_.back(); }
    int headingNumber() const { return headingNumber_; }

protected:
    bool nodeStartsOpening() override;
    QStringList categories(Stage s) const override;
    void placeOpening(const QString& text) override;
    void placeMiddle(const QString& heading, const QString& text) override;
    void placeEnding(const QString& text) override;
    QList<StageControls> middleStages() const override;
    StageControls middleStage() const override;
    void showTimePanel(bool shown) override;

private:
    void takeDate(int purpose, const QString& text);
    void buildTree();
    void buildPanels();
    // A month or week item: previewed on a click, put under its heading on
    // a double click.
    void timeItemClicked(QListWidget* list);
    void timeItemDoubleClicked(QListWidget* list);
    void pickMonth(int m);
    void pickWeek(int n);

    int headingNumber_ = 0;
    // The middle stages by month and by week: their own lists, one pair of
    // buttons.
    StageControls byMonth_, byWeek_;
    QGroupBox* monthPanel_ = nullptr;
    QGroupBox* weekPanel_ = nullptr;
    std::array<QRadioButton*, 13> monthOptions_{}; // by month, 1 to 12
    std::array<QRadioButton*, 29> weekOptions_{};  // by week, 1 to 28
    QLineEdit* startDateBox_ = nullptr;
    QLineEdit* endDateBox_ = nullptr;
};

} // namespace compose
