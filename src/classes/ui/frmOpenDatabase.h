#pragma once

#include "classes/model/ClassFiles.h"
#include "shell/core/Grid.h"

#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;

namespace shell {
class GridView;
}

namespace scores {

// The class-file window "打开学生名册": lists the class files, creates a
// class from the template and hands the chosen class back to the tool that
// opened it (the score manager or the comment writer). Loaded afresh for
// every use and discarded when it closes.
class frmOpenDatabase : public QWidget {
    Q_OBJECT
public:
    // Who opened the window and for what.
    enum class Purpose { CommentNew, CommentOpenWorking, CommentOpenReference, ScoreNew, ScoreOpen };

    explicit frmOpenDatabase(ClassState& classes, QWidget* parent = nullptr);

    // Loads a fresh window through the window registry, sets it up for
    // `purpose` (disabling the caller where it should) and shows it.
    static frmOpenDatabase* openFor(Purpose purpose);
    void setup(Purpose purpose);
    Purpose purpose() const { return purpose_; }

    // The list grid's tooltip for a cell: the class name over the "文件名"
    // column, nothing elsewhere.
    QString toolTipFor(int row, int col) const;
    // A click or double click on a list row.
    void pick(int row);

Q_SIGNALS:
    // The class was created or opened; the shared class state is already set.
    void handedBack(const QString& name, frmOpenDatabase::Purpose purpose);

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool commentRow() const;
    void nameChanged();
    void create();
    void open();
    void finish(const QString& name);

    Purpose purpose_ = Purpose::ScoreOpen;
    shell::Grid list_;
    shell::GridView* grid_ = nullptr;
    QLabel* folderLabel_ = nullptr;
    QLabel* nameLabel_ = nullptr;
    QLineEdit* name_ = nullptr;
    QLabel* mode_ = nullptr; // labNO: "new", "old" or empty
    QPushButton* fileYN_[3] = {};
    QPushButton* fileCjYN_[3] = {};
    ClassState& classes_;
};

} // namespace scores
