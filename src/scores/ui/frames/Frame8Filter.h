#pragma once

#include "TaskFrame.h"

#include "scores/model/ScoreSortFilter.h"

class QComboBox;
class QLineEdit;
class QRadioButton;

namespace scores {

class GapLabel;

// The nine filters ("高级筛选"): the top N of a subject, the students at or
// above a score, and seven filters on failing, excellent and full marks.
class Frame8Filter : public TaskFrame {
    Q_OBJECT
public:
    explicit Frame8Filter(frmStudenCJ* window);
    void open() override;
    // "确定".
    void confirm();
    int selected() const;

private:
    void chooseFilter(int index);
    void chooseSubject(int index);
    void numberTyped();
    void rebuildCaption();
    void syncSubjects();

    QRadioButton* filters_[kFilterCount]; // optSetFilter(0..8)
    QComboBox* subject_;                  // cobSetFilter
    QLineEdit* number_;                   // txtSetFilter
    GapLabel* unit_;                      // labSetFilter
};

} // namespace scores
