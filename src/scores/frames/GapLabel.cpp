#include "GapLabel.h"

#include <QFontMetrics>

namespace scores {

void placeInGap(QLabel* label, QWidget* box, int boxWidth) {
    const QString text = label->text();
    const int start = int(text.indexOf(QStringLiteral("  ")));
    if (start < 0) return;
    int end = start;
    while (end < text.size() && text[end] == u' ') ++end;
    const int blanks = end - start;
    QFont font = label->font();
    font.setWordSpacing(0);
    const QFontMetrics plain(font);
    const int gap = plain.horizontalAdvance(text.mid(start, blanks));
    if (gap < boxWidth + 4) font.setWordSpacing(qreal(boxWidth + 4 - gap) / blanks + 0.5);
    label->setFont(font);
    const QFontMetrics fm(font);
    label->resize(fm.horizontalAdvance(text) + 4, label->height());
    const int x = label->x() + fm.horizontalAdvance(text.left(start)) + 2;
    box->setGeometry(x, label->y() + (label->height() - box->height()) / 2, boxWidth, box->height());
    box->raise();
}

} // namespace scores
