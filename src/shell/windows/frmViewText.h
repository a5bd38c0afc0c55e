#pragma once

#include <QWidget>

class QPlainTextEdit;

namespace shell {

// "文本显示": shows one phrase or statement for the writer windows; it has
// no behaviour of its own.
class frmViewText : public QWidget {
    Q_OBJECT
public:
    explicit frmViewText(QWidget* parent = nullptr);
    QPlainTextEdit* txtViewText() const { return text_; }
    void setText(const QString& text);

private:
    QPlainTextEdit* text_;
};

} // namespace shell
