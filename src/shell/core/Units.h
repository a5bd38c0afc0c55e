#pragma once

#include <QDate>
#include <QString>
#include <cmath>

namespace shell {

// Window positions and sizes are given in twips: 15 twips a pixel at 96 dpi,
// 56.7 twips a millimetre.
constexpr double TwipsPerPixel = 15.0;
constexpr double TwipsPerMm = 56.7;

inline int twipsToPx(double twips) {
    return int(std::lround(twips / TwipsPerPixel));
}
inline int pxToTwips(double px) {
    return int(std::lround(px * TwipsPerPixel));
}
inline int mmToTwips(double mm) {
    return int(std::lround(mm * TwipsPerMm));
}
inline double twipsToMm(double twips) {
    return twips / TwipsPerMm;
}

// A double in its shortest text form with up to 15 significant digits, as the
// score table shows averages: 84.3333333333333, 253, -0.5.
inline QString numberText(double v) {
    if (!std::isfinite(v)) return {};
    QString s = QString::number(v, 'g', 15);
    if (s.contains(u'e')) s = QString::number(v, 'f', 15); // never show exponents
    if (s.contains(u'.') && !s.contains(u'e')) {
        while (s.endsWith(u'0'))
            s.chop(1);
        if (s.endsWith(u'.')) s.chop(1);
    }
    return s == u"-0" ? QStringLiteral("0") : s;
}

// Dates shown as text: "2003-2-11", without leading zeros.
inline QString dateText(const QDate& d) {
    return d.isValid() ? QStringLiteral("%1-%2-%3").arg(d.year()).arg(d.month()).arg(d.day()) : QString();
}
inline QDate parseDateText(const QString& s) {
    return QDate::fromString(s.trimmed(), QStringLiteral("yyyy-M-d"));
}

} // namespace shell
