#pragma once

namespace shell {

// Maps the Chinese font names the program uses to installed CJK fonts ("宋体" to Noto
// Serif CJK SC, "华文新魏" to a Kai-style font) and gives the program a CJK
// user-interface font, so that Chinese never shows as boxes.
void installFonts();
// Only the font-name mappings, once: for callers that print without the
// program's start (a test, a tool run on its own).
void installFontSubstitutions();

} // namespace shell
