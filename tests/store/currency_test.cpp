#include "store/Currency.h"

#include <gtest/gtest.h>

using store::Currency;

TEST(Currency, ParsesAndPrintsShortestForm) {
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {{"85", "85"},        {" 84.3333 ", "84.3333"}, {"-2.50", "-2.5"}, {".75", "0.75"},
                 {"100.", "100"},     {"1.23456", "1.2346"},    {"0", "0"},       {"+3", "3"},
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
    EXPECT_EQ((c("0.1") + c("0.2")).toString(), "0.3");
    EXPECT_EQ((c("80") * c("0.5")).toString(), "40");
    EXPECT_EQ((c("60") * c("1.5")).toString(), "90");
    EXPECT_EQ((c("85") * c("0.3333")).toString(), "28.3305");
    EXPECT_EQ(Currency::divide(c("253"), c("3"))->toString(), "84.3333");
    EXPECT_FALSE(Currency::divide(c("1"), c("0")).has_value());
    EXPECT_LT(c("2"), c("10")); // numeric, not text, order
}
