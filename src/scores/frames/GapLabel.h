#pragma once

#include <QLabel>

namespace scores {

// Several frame labels leave a run of blanks for a box to sit in
// ("卷面分相间         分为一段", "前      名"). The label keeps its text; its
// blanks are widened (word spacing) until the box fits, and the box is put
// over them.
void placeInGap(QLabel* label, QWidget* box, int boxWidth);

} // namespace scores
