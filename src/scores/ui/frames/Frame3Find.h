#pragma once

#include "TaskFrame.h"

#include "scores/model/ScoreSortFilter.h"

class QCheckBox;
class QComboBox;
class QPushButton;

namespace scores {

// Find ("查询"): one student by number or by name, with grades instead of
// scores, the plain total and the average on request.
class Frame3Find : public TaskFrame {
    Q_OBJECT
public:
    explicit Frame3Find(frmStudenCJ* window);
    void open() override;
    void gridClicked(int row, int col, const ClickResult& click) override;

    FindOptions options() const;

private:
    void find(bool byName);
    void fillCombo(const QStringList& items);

    QComboBox* combo_;        // cobListStdXB
    QPushButton* buttons_[3]; // optViewPrint(0..2)
    QCheckBox* checks_[3];    // cekViewStd(0..2)
};

} // namespace scores
