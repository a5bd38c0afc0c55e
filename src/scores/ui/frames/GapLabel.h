#pragma once

#include <QLabel>

namespace scores {

// Several frame labels leave a run of blanks for a box to sit in
// ("卷面分相间         分为一段", "前      名"). This label keeps its text as
// written but draws the blanks as a gap wide enough for the box, and puts the
// box into the gap.
class GapLabel : public QLabel {
    Q_OBJECT
public:
    explicit GapLabel(const QString& text, QWidget* parent = nullptr);
    // Sizes the gap for `box` (of width `boxWidth`) and moves the box into it.
    void holdBox(QWidget* box, int boxWidth);
    QSize sizeHint() const override;
    // Where the text before and after the gap is drawn, in the parent's
    // coordinates: the held box lies between them, never under them.
    QList<QRect> textRects() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // The text before and after the first run of two or more blanks.
    QString before() const;
    QString after() const;
    int gap_ = 0;
    QWidget* box_ = nullptr;
    int boxWidth_ = 0;
};

} // namespace scores
