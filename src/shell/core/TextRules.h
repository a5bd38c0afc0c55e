#pragma once

// What text the program takes into names and writes into XML. Names (of a
// class, a student, a subject) are shown in lists and grids, become table
// and sheet names and go into every file the program writes: a line break,
// a control character or a bidirectional override in one would break a
// list, turn a printed table around or make a spreadsheet unreadable, so
// they are refused where the teacher types them. Whatever reaches a file
// written as XML anyway (a cell of an older class) is cleaned there.

#include <QList>
#include <QString>

namespace shell {

// The length of a text as the teacher counts it: characters, not UTF-16
// units (an emoji or a rare CJK character outside the basic plane is one, as
// is a stray half of a surrogate pair). Field sizes and name limits count
// this way.
inline qsizetype characters(const QString& s) {
    return s.toUcs4().size();
}

// XML 1.0's Char production: tab, line feed, carriage return, U+0020 to
// U+D7FF, U+E000 to U+FFFD and the planes beyond.
constexpr bool isXmlChar(char32_t c) {
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0x10FFFF);
}

// `text` without the characters XML 1.0 cannot carry: C0 controls other than
// tab, line feed and carriage return, U+FFFE, U+FFFF and unpaired
// surrogates. A text that has none is returned as it is.
QString xmlText(const QString& text);

// The marks that change the direction text is laid out in: LRM, RLM, ALM,
// the embeddings and overrides U+202A to U+202E and the isolates U+2066 to
// U+2069.
constexpr bool isBidiControl(char32_t c) {
    return c == 0x200E || c == 0x200F || c == 0x061C || (c >= 0x202A && c <= 0x202E) ||
           (c >= 0x2066 && c <= 0x2069);
}

// Unicode's noncharacters: U+FDD0 to U+FDEF and the last two code points of
// every plane.
constexpr bool isNoncharacter(char32_t c) {
    return (c >= 0xFDD0 && c <= 0xFDEF) || (c & 0xFFFE) == 0xFFFE;
}

// Why `name` cannot be the name of `what` ("学生姓名", "文件名", …), a field
// of `maxChars` characters; empty when it can. Refused: line breaks and
// every other control character, bidirectional marks, noncharacters and
// unpaired surrogates, and more than `maxChars` characters (counted as the
// teacher counts them, not in UTF-16 units). Emptiness is the caller's
// rule: some fields take an empty name.
QString nameProblem(const QString& name, const QString& what, int maxChars);

} // namespace shell
