#pragma once

#include "shell/windows/frmDate.h"

#include <QWidget>

class QLineEdit;

namespace compose {

// "开学计划高手", the plan writer. So far it holds the semester's dates of
// its week panel: the start (Text1) and the end of term (Text2), typed in
// or taken from the calendar with "开学时间" (Command2) and "期末时间"
// (Command3).
class frmKaiXueJiHua : public QWidget {
    Q_OBJECT
public:
    explicit frmKaiXueJiHua(QWidget* parent = nullptr);

    // Opens the calendar for the start or the end date; the date chosen
    // there comes back through its dateChosen signal.
    void chooseDate(shell::frmDate::Purpose purpose);

private:
    void takeDate(int purpose, const QString& text);

    QLineEdit* Text1_ = nullptr;
    QLineEdit* Text2_ = nullptr;
};

} // namespace compose
