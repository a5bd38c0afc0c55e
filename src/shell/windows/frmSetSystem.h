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

    struct Tool {
        const char16_t* caption;
        const char16_t* searchName; // what the file finder looks for
        const char16_t* key;
    };
    // 画图, 记事本, 计算器, 通讯簿 with the GNOME programs a Debian desktop
    // brings for them.
    static const Tool kTools[4];

private:
    void chooseTool(int index);
    void accept();

    QCheckBox* cheAotoRUN_ = nullptr;
    QRadioButton* optEDIT_[4] = {};
};

} // namespace shell
