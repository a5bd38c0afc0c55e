#pragma once

#include <QLabel>

namespace scores {

// A 24 x 24 picture that acts as a button (the score window's new, open,
// print and preview pictures). The pictures are drawn here.
class PictureButton : public QLabel {
    Q_OBJECT
public:
    enum class Kind { NewFile, OpenFile, Print, Preview };
    PictureButton(Kind kind, const QString& objectName, const QString& toolTip, QWidget* parent = nullptr);
    static QPixmap draw(Kind kind);

Q_SIGNALS:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void enterEvent(QEnterEvent* e) override;
    void leaveEvent(QEvent* e) override;

private:
    bool pressed_ = false;
};

} // namespace scores
