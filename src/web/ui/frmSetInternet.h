#pragma once

#include <QDate>
#include <QWidget>
#include <functional>
#include <memory>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace web {

namespace capture {
class BrowserCapture;
}

// "把当前网址记录到<<Veltrano>>中": while the name box is empty, looks ten
// times a second for a browser window and takes its page name and address;
// the teacher checks the name, picks or types a category and confirms.
class frmSetInternet : public QWidget {
    Q_OBJECT
public:
    using CaptureFactory = std::function<std::unique_ptr<capture::BrowserCapture>()>;
    // What windows made from now on capture with (tests hand in a window
    // tree); empty: the desktop's.
    static void setCaptureFactory(CaptureFactory f);

    explicit frmSetInternet(QWidget* parent = nullptr);
    ~frmSetInternet() override;

    // The date stored with a new page; today's by default.
    void setToday(const QDate& d) { today_ = d; }
    // One timer tick: CaptureBrowserAddress, then the name-box check.
    void tick();
    bool searching() const;
    capture::BrowserCapture& capturer() { return *capture_; }

private:
    void FillCategoryList();
    void CaptureBrowserAddress();
    void nameCheck();
    void noteCopied(const QString& text);
    void categoryCheck();
    void confirm();
    // Messages with the timer stopped, so that no tick runs while a box is
    // open; the search resumes afterwards when the name box is still empty.
    void say(const QStringList& texts);

    QLineEdit* txt_ = nullptr;
    QLineEdit* txtAddress_ = nullptr;
    QLabel* labHint_ = nullptr; // how to get an address when none was found
    QComboBox* cobAddText_ = nullptr;
    QTimer* tim_ = nullptr;
    QPushButton* Command1_ = nullptr;
    QPushButton* cmdWinHide_ = nullptr;
    QPushButton* Command2_ = nullptr;
    std::unique_ptr<capture::BrowserCapture> capture_;
    QDate today_;
    bool loading_ = false;
    bool ticking_ = false;
    bool speaking_ = false;
};

} // namespace web
