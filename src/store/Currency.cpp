#include "Currency.h"

#include <cmath>
#include <limits>

namespace store {

namespace {
constexpr __int128 kMax = std::numeric_limits<int64_t>::max();
constexpr __int128 kMin = std::numeric_limits<int64_t>::min();

std::optional<Currency> inRange(__int128 raw) {
    if (raw > kMax || raw < kMin) return std::nullopt;
    return Currency::fromRaw(int64_t(raw));
}

// Round a / b half away from zero, in 128-bit to keep products exact
// (64-bit when the values allow, which is nearly always).
__int128 roundedDiv(__int128 a, __int128 b) {
    constexpr __int128 lim = __int128(1) << 61;
    if (a < lim && a > -lim && b < lim && b > -lim) {
        const int64_t x = int64_t(a), y = int64_t(b);
        const bool neg = (x < 0) != (y < 0);
        const uint64_t ux = x < 0 ? uint64_t(-x) : uint64_t(x);
        const uint64_t uy = y < 0 ? uint64_t(-y) : uint64_t(y);
        const uint64_t q = (ux + uy / 2) / uy;
        return neg ? -int64_t(q) : int64_t(q);
    }
    bool neg = (a < 0) != (b < 0);
    __int128 ua = a < 0 ? -a : a;
    __int128 ub = b < 0 ? -b : b;
    __int128 q = (ua + ub / 2) / ub;
    return neg ? -q : q;
}
} // namespace

std::optional<Currency> Currency::fromDouble(double value) {
    if (!std::isfinite(value)) return std::nullopt;
    double scaled = std::round(value * double(Scale));
    // 2^63 is the first value a 64-bit count cannot hold.
    if (!(scaled < 9223372036854775808.0 && scaled >= -9223372036854775808.0)) return std::nullopt;
    return fromRaw(int64_t(scaled));
}

std::optional<Currency> Currency::parse(const QString& input) {
    const QString text = input.trimmed();
    if (text.isEmpty()) return std::nullopt;
    int i = 0;
    bool neg = false;
    if (text[0] == u'+' || text[0] == u'-') {
        neg = text[0] == u'-';
        ++i;
    }
    __int128 whole = 0;
    __int128 frac = 0;
    int fracDigits = 0;
    bool seenPoint = false, seenDigit = false;
    int roundDigit = -1;
    for (; i < text.size(); ++i) {
        const QChar ch = text[i];
        if (ch == u'.') {
            if (seenPoint) return std::nullopt;
            seenPoint = true;
            continue;
        }
        if (ch < u'0' || ch > u'9') return std::nullopt;
        seenDigit = true;
        const int d = ch.unicode() - u'0';
        if (!seenPoint) {
            whole = whole * 10 + d;
            if (whole > __int128(std::numeric_limits<int64_t>::max() / Scale)) return std::nullopt;
        } else if (fracDigits < 4) {
            frac = frac * 10 + d;
            ++fracDigits;
        } else if (roundDigit < 0) {
            roundDigit = d;
        }
    }
    if (!seenDigit) return std::nullopt;
    for (int k = fracDigits; k < 4; ++k)
        frac *= 10;
    const __int128 raw = whole * Scale + frac + (roundDigit >= 5 ? 1 : 0);
    return inRange(neg ? -raw : raw);
}

QString Currency::toString() const {
    // Written out by hand: a score table formats tens of thousands of these
    // on every fill, and general number formatting is several times slower.
    char16_t buf[32];
    int p = 32;
    const bool neg = raw_ < 0;
    const uint64_t u = neg ? uint64_t(0) - uint64_t(raw_) : uint64_t(raw_);
    uint64_t frac = u % uint64_t(Scale);
    uint64_t whole = u / uint64_t(Scale);
    if (frac) {
        int digits = 4;
        while (frac % 10 == 0) {
            frac /= 10;
            --digits;
        }
        for (int i = 0; i < digits; ++i) {
            buf[--p] = char16_t(u'0' + frac % 10);
            frac /= 10;
        }
        buf[--p] = u'.';
    }
    do {
        buf[--p] = char16_t(u'0' + whole % 10);
        whole /= 10;
    } while (whole);
    if (neg) buf[--p] = u'-';
    return QString(reinterpret_cast<const QChar*>(buf + p), 32 - p);
}

std::optional<Currency> Currency::add(Currency a, Currency b) {
    return inRange(__int128(a.raw()) + b.raw());
}

std::optional<Currency> Currency::subtract(Currency a, Currency b) {
    return inRange(__int128(a.raw()) - b.raw());
}

std::optional<Currency> Currency::multiply(Currency a, Currency b) {
    return inRange(roundedDiv(__int128(a.raw()) * b.raw(), Scale));
}

std::optional<Currency> Currency::divide(Currency a, Currency b) {
    if (b.raw() == 0) return std::nullopt;
    return inRange(roundedDiv(__int128(a.raw()) * Scale, b.raw()));
}

} // namespace store
