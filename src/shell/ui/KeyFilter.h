#pragma once

#include <QObject>
#include <functional>

namespace shell {

// The number boxes' key filter: "." "/" and the digits (codes 46 to 57) and
// backspace pass silently; any other character shows
// "分数只能以数字表示，请重做！" and is still taken into the box. Control
// keys (arrows, Enter, Tab, shortcuts) are not characters and pass. An
// optional callback runs after a rejected key (a box that is emptied later
// by a timer starts it there).
class NumberKeyFilter : public QObject {
    Q_OBJECT
public:
    explicit NumberKeyFilter(QObject* parent = nullptr, std::function<void()> onRejected = {});
    static const QString& message();
    // Whether a typed character passes silently.
    static bool accepts(QChar ch);
    // Installs a filter on a line edit, combo box or any widget.
    static NumberKeyFilter* install(QObject* target, std::function<void()> onRejected = {});

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void()> onRejected_;
};

} // namespace shell
