#include "TextRules.h"

namespace shell {

namespace {

// Walks `text` by code point; an unpaired surrogate comes as itself with
// `paired` false.
template <typename Each> void forEachCodePoint(const QString& text, Each each) {
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar ch = text[i];
        if (ch.isHighSurrogate() && i + 1 < n && text[i + 1].isLowSurrogate()) {
            if (!each(QChar::surrogateToUcs4(ch, text[i + 1]), i, qsizetype(2), true)) return;
            ++i;
        } else {
            if (!each(char32_t(ch.unicode()), i, qsizetype(1), !ch.isSurrogate())) return;
        }
    }
}

bool isControl(char32_t c) {
    // C0, DEL, C1, and the line and paragraph separators.
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x2028 || c == 0x2029;
}

} // namespace

QString xmlText(const QString& text) {
    bool clean = true;
    forEachCodePoint(text, [&](char32_t c, qsizetype, qsizetype, bool paired) {
        clean = paired && isXmlChar(c);
        return clean;
    });
    if (clean) return text;
    QString out;
    out.reserve(text.size());
    forEachCodePoint(text, [&](char32_t c, qsizetype at, qsizetype units, bool paired) {
        if (paired && isXmlChar(c)) out.append(text.constData() + at, units);
        return true;
    });
    return out;
}

QString nameProblem(const QString& name, const QString& what, int maxChars) {
    QString why;
    qsizetype chars = 0;
    forEachCodePoint(name, [&](char32_t c, qsizetype, qsizetype, bool paired) {
        ++chars;
        if (isControl(c))
            why = QStringLiteral("%1不能包含换行符或控制字符，请重做！").arg(what);
        else if (isBidiControl(c))
            why = QStringLiteral("%1不能包含文字方向控制符，请重做！").arg(what);
        else if (!paired || isNoncharacter(c))
            why = QStringLiteral("%1含有无效的字符，请重做！").arg(what);
        return why.isEmpty();
    });
    if (why.isEmpty() && chars > maxChars)
        why = QStringLiteral("%1不能超过%2个字符，请重做！").arg(what).arg(maxChars);
    return why;
}

} // namespace shell
