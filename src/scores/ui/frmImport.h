#pragma once

#include "scores/model/ScoreImport.h"

#include <QFutureWatcher>
#include <QList>
#include <QWidget>
#include <memory>

class QCheckBox;
class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QTableWidget;
class QTimer;

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
    ~frmImport() override;

    // Reads the chosen file away from the window, which shows how far it
    // has come and answers throughout; 取消 (or closing) stops the read.
    // The rows then come in as setTable() takes them, or the window tells
    // why the file cannot be imported and closes.
    void readFile(const QString& path);
    bool reading() const { return read_ != nullptr; }
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
    void readDone();

    struct Read;

    ScoreModel& model_;
    QString path_;
    shell::TableRows rows_;
    QList<QComboBox*> combos_;
    QLabel* labFile_ = nullptr;
    QLabel* labRows_ = nullptr;
    QCheckBox* cheHeading_ = nullptr;
    QTableWidget* preview_ = nullptr;
    QPushButton* cmdImport_ = nullptr;
    QProgressBar* prgRead_ = nullptr;
    QTimer* progressTimer_ = nullptr;
    QFutureWatcher<void> readWatcher_;
    std::shared_ptr<Read> read_;
};

} // namespace scores
