#include "odds/OddsText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(OddsText, DecimalTextsAreReadAsAWhole) {
    struct Case {
        const char* text;
        float value;
    };
    const std::vector<Case> numbers{
        {"12.3", 12.3f}, {"  1.5", 1.5f}, {"1.5  ", 1.5f},   {" 999.9 ", 999.9f},
        {"7", 7.0f},     {"+2.5", 2.5f},  {"-1", -1.0f},     {".5", 0.5f},
        {"3.", 3.0f},    {"1e2", 100.0f}, {"2.5E-1", 0.25f}, {"0000.1", 0.1f},
    };
    for (const Case& c : numbers) {
        EXPECT_EQ(textToFloatOrNothing(c.text), c.value) << c.text;
        EXPECT_EQ(oddsOfText(c.text), c.value) << c.text;
    }
}

TEST(OddsText, AnythingButANumberIsNoOdds) {
    for (const char* text : {"", "     ", "-", "*****", "12.3x", "1,5", "1 5", "1..5", ".", "e5",
                             "1e", "+-1", "--1", "0x10", "inf", "nan", "1e99", "\t1.5"}) {
        EXPECT_EQ(textToFloatOrNothing(text), std::nullopt) << text;
        EXPECT_EQ(oddsOfText(text), -1.0f) << text;
    }
}
