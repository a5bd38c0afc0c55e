#pragma once

#include "store/Currency.h"

#include <QString>
#include <cstdint>
#include <optional>

namespace scores {

// A fixed-point amount in ten-thousandths, as store::Currency keeps scores
// and weights, but 128 bits wide. A weighted total, a subject's sum over a
// whole grade and the points built from them can pass the 64-bit range of a
// stored amount (about 9.2e14) even though every score and weight fits it;
// here any such result fits, so a total is never wrapped or cut short. The
// rounding is Currency's: half away from zero, to four places, each step.
class WideAmount {
public:
    constexpr WideAmount() = default;
    constexpr explicit WideAmount(store::Currency c) : raw_(c.raw()) {}

    // score × weight / 100 (the weight in percent), rounded to four places
    // after the product and after the division, as the weighted total is.
    static WideAmount weighted(store::Currency score, store::Currency weightPercent);
    // A double rounded to four places; nullopt when it is not finite.
    static std::optional<WideAmount> fromDouble(double value);

    WideAmount& operator+=(WideAmount o) {
        raw_ += o.raw_;
        return *this;
    }
    friend WideAmount operator+(WideAmount a, WideAmount b) { return a += b; }
    // This amount divided by a whole count n > 0, rounded to four places.
    WideAmount dividedBy(int64_t n) const;
    // This amount times a whole count (exact).
    WideAmount times(int64_t n) const;

    double toDouble() const;
    // The shortest text form, as Currency writes it ("253", "84.3333").
    QString toString() const;

private:
    __int128 raw_ = 0;
};

} // namespace scores
