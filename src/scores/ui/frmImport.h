#pragma once

#include "scores/model/ScoreImport.h"

#include <QList>
#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class QTableWidget;

namespace scores {

// "导入学生名单和成绩": the first rows of a table file under a combo per
// column (学号, 姓名, a subject of the class or 不导入, guessed from the
// heading row), whether the first row is a heading, and the import. Problems
// in the file are shown and confirmed before anything is written.
class frmImport : public QWidget {
    Q_OBJECT
public:
    static constexpr int kPreviewRows = 20;

    explicit frmImport(ScoreModel& model, QWidget* parent = nullptr);

    // The file chosen and its rows, as read.
    void setTable(const QString& path, const shell::TableRows& rows);
    // The combo over file column `column`.
    QComboBox* columnCombo(int column) const { return combos_.value(column); }

Q_SIGNALS:
    // The import was written; the score window shows the result.
    void imported();

private:
    void fillPreview();
    void headingToggled();
    void runImport();

    ScoreModel& model_;
    QString path_;
    shell::TableRows rows_;
    QList<QComboBox*> combos_;
    QLabel* labFile_ = nullptr;
    QLabel* labRows_ = nullptr;
    QCheckBox* cheHeading_ = nullptr;
    QTableWidget* preview_ = nullptr;
};

} // namespace scores
