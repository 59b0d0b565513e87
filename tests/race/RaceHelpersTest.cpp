#include "race/RaceHelpers.h"

#include "platform/Cp932.h"
#include "platform/Errors.h"

#include <gtest/gtest.h>

TEST(WeekdayName, GivesTheDayOfTheWeek) {
    EXPECT_EQ(toUtf8(WeekdayName(2000, 1, 1)), "土");
    EXPECT_EQ(toUtf8(WeekdayName(2001, 4, 1)), "日");
    EXPECT_EQ(toUtf8(WeekdayName(2001, 1, 28)), "日");
    EXPECT_EQ(toUtf8(WeekdayName(2000, 2, 29)), "火");
    EXPECT_EQ(toUtf8(WeekdayName(2026, 12, 8)), "火");
}

TEST(CourseTables, AreInverseOverTheCentralRacecourses) {
    for (int code = 0; code <= 9; ++code)
        EXPECT_EQ(RacecourseToCourse[static_cast<std::size_t>(
                      CourseToRacecourse[static_cast<std::size_t>(code)])],
                  code);
    EXPECT_EQ(RacecourseToCourse[0], 3);
    EXPECT_EQ(RacecourseToCourse[10], 3);
}

TEST(DataCodes, TurnRacecourseNumbersBackIntoCourseCodes) {
    EXPECT_EQ(DayKeyToDataCode("2001012805"), "2001012804");
    EXPECT_EQ(DayKeyToDataCode("2001012810"), "2001012803");
    EXPECT_EQ(DayKeyToDataCode("200101280"), "200101280");
    EXPECT_EQ(RaceKeyToDataCode("200101280511"), "200101280411");
    EXPECT_EQ(RaceKeyToDataCode("20010128051"), "20010128051");
    EXPECT_THROW(DayKeyToDataCode("20010128xx"), EConvertError);
}

TEST(CopyText, OverwritesAFixedWidthLineWithoutGrowingIt) {
    std::string line(10, ' ');
    CopyText(line, 2, "abc");
    CopyText(line, 4, "XYZ");
    CopyText(line, 8, "long text");
    EXPECT_EQ(line, "  abXYZ lo");
}

TEST(BracketColors, HoldTheGridAndHtmlForms) {
    EXPECT_EQ(BracketColors[0].background, 0xFFFFFFu);
    EXPECT_EQ(BracketColors[2].background, 0xFF0000u);
    EXPECT_STREQ(BracketColors[2].textHtml, "#FFFFFF");
    EXPECT_STREQ(BracketColors[7].backgroundHtml, "#FF80C0");
    EXPECT_EQ(BracketColors[5].background, 0x008000u);
}
