#include "WideAmount.h"

#include <cmath>
#include <limits>

namespace scores {

namespace {

constexpr int64_t kScale = store::Currency::Scale;

// a / b rounded half away from zero (b > 0).
__int128 roundedDiv(__int128 a, __int128 b) {
    const __int128 q = ((a < 0 ? -a : a) + b / 2) / b;
    return a < 0 ? -q : q;
}

} // namespace

WideAmount WideAmount::weighted(store::Currency score, store::Currency weightPercent) {
    WideAmount w;
    // Both factors are 64-bit counts: their product fits 127 bits.
    const __int128 product = roundedDiv(__int128(score.raw()) * weightPercent.raw(), kScale);
    w.raw_ = roundedDiv(product, 100);
    return w;
}

std::optional<WideAmount> WideAmount::fromDouble(double value) {
    // Far beyond anything a total can reach, and well inside 128 bits.
    if (!std::isfinite(value) || std::fabs(value) > 1e30) return std::nullopt;
    WideAmount w;
    w.raw_ = __int128(std::round(static_cast<long double>(value) * kScale));
    return w;
}

WideAmount WideAmount::dividedBy(int64_t n) const {
    WideAmount w;
    w.raw_ = n > 0 ? roundedDiv(raw_, n) : 0;
    return w;
}

WideAmount WideAmount::times(int64_t n) const {
    WideAmount w;
    w.raw_ = raw_ * n;
    return w;
}

double WideAmount::toDouble() const {
    return double(static_cast<long double>(raw_) / kScale);
}

QString WideAmount::toString() const {
    constexpr __int128 lo = std::numeric_limits<int64_t>::min(), hi = std::numeric_limits<int64_t>::max();
    if (raw_ >= lo && raw_ <= hi) return store::Currency::fromRaw(int64_t(raw_)).toString();
    // Past the stored range (rare): the same form written out from 128 bits.
    const bool neg = raw_ < 0;
    unsigned __int128 u = neg ? -static_cast<unsigned __int128>(raw_) : static_cast<unsigned __int128>(raw_);
    unsigned frac = unsigned(u % kScale);
    u /= kScale;
    QString digits;
    do {
        digits.prepend(QChar(char16_t(u'0' + unsigned(u % 10))));
        u /= 10;
    } while (u);
    if (frac) {
        QString f = QString::number(frac).rightJustified(4, u'0');
        while (f.endsWith(u'0'))
            f.chop(1);
        digits += u'.' + f;
    }
    return neg ? u'-' + digits : digits;
}

} // namespace scores
