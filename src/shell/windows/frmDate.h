#pragma once

#include <QColor>
#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace shell {

// "日历表": a month calendar from which the plan writer takes the semester's
// start or end date as "2003-9-1" text.
class frmDate : public QWidget {
    Q_OBJECT
public:
    // What the calendar is opened for; the number is the "确定" button that
    // shows.
    enum Purpose { SemesterStart = 1, TermEnd = 2 };

    explicit frmDate(QWidget* parent = nullptr);

    // How the plan writer asks for a date: opens the calendar (making it when
    // needed, over `caller`), sets its caption and shows the matching "确定".
    // The chosen date comes back through dateChosen, which the plan writer
    // connects to its start (Text1) or end (Text2) box.
    static frmDate* openFor(Purpose purpose, QWidget* caller = nullptr);

    // Redraws the grid for the year in Text1 and the month in cobMonth. A
    // year box without a usable year is set back to the year shown, so that
    // the year box, the month list and the grid always show one month.
    void ShowMonth();
    // "2003-9-1": the year and month shown and the chosen day, kept within
    // that month: day 31 chosen in a 30-day month gives its 30th (the
    // highlighted cell). The chosen day itself is kept for the next month.
    QString dateText() const;

    static const QColor kCellColor;      // RGB 224, 224, 224
    static const QColor kHighlightColor; // RGB 100, 135, 220

Q_SIGNALS:
    // Sent by "确定" before the calendar closes.
    void dateChosen(int purpose, const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void clickDay(int index);
    void stepYear(int delta);
    void choose(int purpose);
    void tick();
    int dayShown() const;

    QLineEdit* Text1_ = nullptr;
    QComboBox* cobMonth_ = nullptr;
    QLabel* labDate_[43] = {};
    QLabel* imgMonth_[13] = {};
    QLabel* labTim_[3] = {};
    QPushButton* cmdYesNo_[4] = {};
    QTimer* Timer1_ = nullptr;
    int year_ = 1;  // shown in the grid
    int month_ = 1; // shown in the grid
    int days_ = 31; // in the month shown
    bool loading_ = true;
};

} // namespace shell
