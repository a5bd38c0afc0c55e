#include "Printers.h"
#include "shell/core/Units.h"

#include <QDate>
#include <cmath>
#include <gtest/gtest.h>

TEST(Units, NumberAndUnitForms) {
    struct Case {
        double v;
        const char* text;
    } cases[] = {{253, "253"},        {253.0 / 3, "84.3333333333333"},
                 {-0.5, "-0.5"},      {0, "0"},
                 {1e-7, "0.0000001"}, {65, "65"},
                 {0.1 + 0.2, "0.3"}};
    for (const Case& c : cases)
        EXPECT_EQ(shell::numberText(c.v), QString::fromLatin1(c.text)) << c.v;
    EXPECT_EQ(shell::numberText(std::nan("")), QString());
    EXPECT_EQ(shell::numberText(INFINITY), QString());
    EXPECT_EQ(shell::mmToTwips(210), 11907);
    EXPECT_EQ(shell::twipsToPx(480), 32);
    EXPECT_EQ(shell::dateText(QDate(2003, 9, 1)), QStringLiteral("2003-9-1"));
    EXPECT_EQ(shell::parseDateText(QStringLiteral("2003-2-11")), QDate(2003, 2, 11));
}
