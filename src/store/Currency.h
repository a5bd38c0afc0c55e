#pragma once

#include <QMetaType>
#include <QString>
#include <compare>
#include <cstdint>
#include <optional>

namespace store {

// A fixed-point decimal with four places, as the record store keeps scores,
// weights and page values: a 64-bit count of ten-thousandths. Arithmetic is
// exact; multiplication and division round half away from zero to four places.
class Currency {
public:
    static constexpr int64_t Scale = 10000;

    constexpr Currency() = default;
    static constexpr Currency fromRaw(int64_t raw) {
        Currency c;
        c.raw_ = raw;
        return c;
    }
    static constexpr Currency fromInt(int64_t whole) { return fromRaw(whole * Scale); }
    // Rounds to four places; NaN and values out of range give nullopt.
    static std::optional<Currency> fromDouble(double value);
    // Accepts an optional sign, digits and at most one decimal point
    // ("85", "-2.5", ".75", "100."); more than four decimals are rounded.
    // Surrounding blanks are ignored. Anything else gives nullopt.
    static std::optional<Currency> parse(const QString& text);

    constexpr int64_t raw() const { return raw_; }
    double toDouble() const { return double(raw_) / double(Scale); }
    // Shortest text form: "253", "84.3333", "-0.5" (no trailing zeros).
    QString toString() const;

    // Checked arithmetic: a result outside the 64-bit range gives nullopt,
    // never a wrapped value. Multiplication and division round half away
    // from zero to four places; division by zero gives nullopt.
    static std::optional<Currency> add(Currency a, Currency b);
    static std::optional<Currency> subtract(Currency a, Currency b);
    static std::optional<Currency> multiply(Currency a, Currency b);
    static std::optional<Currency> divide(Currency a, Currency b);
    friend constexpr auto operator<=>(Currency a, Currency b) = default;

private:
    int64_t raw_ = 0;
};

} // namespace store

Q_DECLARE_TYPEINFO(store::Currency, Q_PRIMITIVE_TYPE);
Q_DECLARE_METATYPE(store::Currency)
