#pragma once

// The text of the PDF files the program writes. A PDF tells a reader which
// characters each drawn glyph stands for through the font's ToUnicode map,
// and Qt's PDF writer fills that map with the first code point the font maps
// to the glyph. CJK fonts draw a radical (⼆ U+2F06, ⻩ U+2EE9) and its unified
// ideograph (二, 黄) with one glyph, and the radicals come first, so a reader
// searching a printed score table or comment for "二" or "黄" found nothing.
// After Qt has written a PDF, the maps are put right here: a glyph that
// stands for a radical stands for its unified ideograph instead, and a
// Latin ligature glyph (ﬁ) for the letters drawn (fi).

#include <QByteArray>
#include <QString>

namespace shell {

// The unified ideograph a CJK radical or stroke is drawn as (Unicode's
// EquivalentUnifiedIdeograph data); `c` itself when it has none.
char32_t unifiedIdeograph(char32_t c);

// A ToUnicode CMap with every radical or stroke replaced by its unified
// ideograph and every Latin ligature by its letters; the CMap as it was (and *changed false) when none is
// there or when it is not a CMap this reader knows.
QByteArray mendToUnicodeMap(const QByteArray& cmap, bool* changed = nullptr);

// Rewrites the ToUnicode maps of the PDF file at `path` as above, in place
// and atomically (the file is replaced only by a complete new one). True when
// the file needed nothing or was mended; false, with a clause naming the
// file in *error (no closing mark: callers end it in their own style), when
// it could not be read, understood or written (it is then left as it was).
bool mendPdfText(const QString& path, QString* error = nullptr);

} // namespace shell
