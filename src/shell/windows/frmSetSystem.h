#pragma once

#include <QWidget>

class QCheckBox;
class QListWidget;
class QRadioButton;
class QPushButton;

namespace shell {

// "Veltrano-系统设置": start with the desktop on or off, the program of
// each Tools-menu entry, located with the file finder, and the backups of
// the database files: made now, listed, and one of them put back.
class frmSetSystem : public QWidget {
    Q_OBJECT
public:
    explicit frmSetSystem(QWidget* parent = nullptr);

private:
    void chooseTool(int index);
    void accept();
    void fillBackups();
    void backUpNow();
    void restoreChosen();

    QCheckBox* cheAotoRUN_ = nullptr;
    QRadioButton* optEDIT_[4] = {};
    QListWidget* lstBackup_ = nullptr;
};

} // namespace shell
