#pragma once

#include <QWidget>

class QCheckBox;
class QRadioButton;
class QPushButton;

namespace shell {

// "Veltrano-系统设置": start with the desktop on or off, and the program of
// each Tools-menu entry, located with the file finder.
class frmSetSystem : public QWidget {
    Q_OBJECT
public:
    explicit frmSetSystem(QWidget* parent = nullptr);

private:
    void chooseTool(int index);
    void accept();

    QCheckBox* cheAotoRUN_ = nullptr;
    QRadioButton* optEDIT_[4] = {};
};

} // namespace shell
