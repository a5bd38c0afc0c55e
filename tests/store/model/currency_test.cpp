#include "store/Currency.h"

#include <gtest/gtest.h>

using store::Currency;

TEST(Currency, ParsesAndPrintsShortestForm) {
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {{"85", "85"},          {" 84.3333 ", "84.3333"}, {"-2.50", "-2.5"}, {".75", "0.75"},
                 {"100.", "100"},       {"1.23456", "1.2346"},    {"0", "0"},        {"+3", "3"},
                 {"0.00005", "0.0001"}, {"-0.00004", "0"}};
    for (const Case& c : cases) {
        auto v = Currency::parse(QString::fromUtf8(c.in));
        ASSERT_TRUE(v.has_value()) << c.in;
        EXPECT_EQ(v->toString(), QString::fromUtf8(c.out)) << c.in;
    }
    for (const char* bad : {"", "abc", "1.2.3", "12a", "-", ".", "1e5", "９０"})
        EXPECT_FALSE(Currency::parse(QString::fromUtf8(bad)).has_value()) << bad;
}

TEST(Currency, ArithmeticIsExactToFourPlaces) {
    auto c = [](const char* s) { return *Currency::parse(QString::fromLatin1(s)); };
    EXPECT_EQ(Currency::add(c("0.1"), c("0.2"))->toString(), "0.3");
    EXPECT_EQ(Currency::subtract(c("0.1"), c("0.3"))->toString(), "-0.2");
    EXPECT_EQ(Currency::multiply(c("80"), c("0.5"))->toString(), "40");
    EXPECT_EQ(Currency::multiply(c("60"), c("1.5"))->toString(), "90");
    EXPECT_EQ(Currency::multiply(c("85"), c("0.3333"))->toString(), "28.3305");
    EXPECT_EQ(Currency::divide(c("253"), c("3"))->toString(), "84.3333");
    EXPECT_FALSE(Currency::divide(c("1"), c("0")).has_value());
    EXPECT_LT(c("2"), c("10")); // numeric, not text, order
}

TEST(Currency, ShortestFormAcrossTheRange) {
    struct Case {
        int64_t raw;
        const char* text;
    } cases[] = {{0, "0"},
                 {1, "0.0001"},
                 {5000, "0.5"},
                 {10000, "1"},
                 {2530000, "253"},
                 {843333, "84.3333"},
                 {-5000, "-0.5"},
                 {-1, "-0.0001"},
                 {100, "0.01"},
                 {1010, "0.101"},
                 {1234567890123, "123456789.0123"},
                 {INT64_MAX, "922337203685477.5807"},
                 {INT64_MIN, "-922337203685477.5808"}};
    for (const Case& c : cases)
        EXPECT_EQ(Currency::fromRaw(c.raw).toString(), QString::fromLatin1(c.text)) << c.raw;
}

// Values past the 64-bit count are refused, never wrapped to the other sign.
TEST(Currency, OutOfRangeIsRefusedNotWrapped) {
    EXPECT_EQ(Currency::parse("922337203685477.5807")->raw(), INT64_MAX);
    EXPECT_EQ(Currency::parse("-922337203685477.5808")->raw(), INT64_MIN);
    for (const char* bad : {"922337203685477.5808", "922337203685477.58075", "-922337203685477.5809",
                            "1000000000000000", "99999999999999999999999"})
        EXPECT_FALSE(Currency::parse(QString::fromLatin1(bad)).has_value()) << bad;
    const Currency max = Currency::fromRaw(INT64_MAX), min = Currency::fromRaw(INT64_MIN);
    const Currency one = Currency::fromInt(1), hundred = Currency::fromInt(100);
    EXPECT_FALSE(Currency::add(max, Currency::fromRaw(1)).has_value());
    EXPECT_FALSE(Currency::subtract(min, Currency::fromRaw(1)).has_value());
    EXPECT_FALSE(Currency::multiply(max, hundred).has_value());
    EXPECT_FALSE(Currency::multiply(min, Currency::fromInt(-1)).has_value());
    EXPECT_FALSE(Currency::divide(max, Currency::fromRaw(1)).has_value()); // / 0.0001
    EXPECT_EQ(Currency::multiply(max, one)->raw(), INT64_MAX);
    EXPECT_FALSE(Currency::fromDouble(9.3e14).has_value());
    EXPECT_FALSE(Currency::fromDouble(-9.3e14).has_value());
}
