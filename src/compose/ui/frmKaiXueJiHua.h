#pragma once

#include "WriterWindow.h"
#include "shell/windows/frmDate.h"

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
    void stepClicked(int n) override;
    void composingShown() override;

private:
    void takeDate(int purpose, const QString& text);
    void buildTree();
    void buildPanels();
    void startOpening();
    void itemClicked(int list);
    void itemDoubleClicked(int list);
    void acceptOpening(const QString& text);
    void LoadMiddleList();
    void LoadEndingList();
    void ShowMiddleStage();
    void enterEditStep();
    void showPanels(bool month, bool week);
    void stageButton(int index);
    void pickMonth(int m);
    void pickWeek(int n);

    int headingNumber_ = 0;
    QGroupBox* fraJhMidSelect_[2] = {};
    QRadioButton* optMouth_[13] = {};
    QRadioButton* optWeek_[29] = {};
    QLineEdit* Text1_ = nullptr;
    QLineEdit* Text2_ = nullptr;
    QLabel* imgJH_ = nullptr;
};

} // namespace compose
