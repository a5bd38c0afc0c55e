#pragma once

#include "scores/model/ScorePrint.h"

#include <QImage>
#include <QWidget>
#include <array>
#include <memory>

class QLabel;
class QPushButton;
class QScrollBar;
class QStatusBar;

namespace scores {

// Prints the pages on the default printer, or into a PDF file the teacher
// names where there is no printer, and tells the teacher what became of
// them: where the file is, or why nothing was printed (one message).
Outcome printScorePages(const ScorePrintLayout& layout, QWidget* parent);

// "打印浏览": the printed pages of the score table one at a time, at full or
// half size, drawn by the same painter as the paper. It shows the layout it
// was given; the score window hands it a new one each time it is opened.
class frmPrintView : public QWidget {
    Q_OBJECT
public:
    explicit frmPrintView(QWidget* parent = nullptr);
    ~frmPrintView() override;

    // Shows page 1 of `layout`.
    void showLayout(std::unique_ptr<ScorePrintLayout> layout);
    const ScorePrintLayout* layout() const { return layout_.get(); }

    // cmdViewToob: 5 "打印", 1 "下页", 2 "上页", 3 "放大", 4 "缩小", 0 "退出".
    void button(int index);
    int shownPage() const { return page_; }
    bool halfSize() const { return half_; }
    // The full-size image of the shown page (picViewBak).
    const QImage& pageImage() const { return full_; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void drawPage();
    void showPicture();
    void placeBars();
    void scrolled();

    std::unique_ptr<ScorePrintLayout> layout_;
    int page_ = 1;
    bool half_ = false;
    QImage full_;
    std::array<QPushButton*, 6> buttons_{};
    QWidget* bak_;       // picBak
    QLabel* view_;       // picView
    QLabel* viewBak_;    // picViewBak (hidden)
    QScrollBar* hBar_;   // hslViewWidth
    QScrollBar* vBar_;   // vslViewHeight
    QStatusBar* status_; // StatusBar1
};

} // namespace scores
