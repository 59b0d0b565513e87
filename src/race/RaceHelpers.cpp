#include "race/RaceHelpers.h"

#include "platform/Cp932.h"
#include "race/RaceCode.h"

#include <algorithm>
#include <cstdio>

const std::array<int, 10> CourseToRacecourse{8, 9, 7, 10, 5, 6, 3, 4, 1, 2};
const std::array<int, 11> RacecourseToCourse{3, 8, 9, 6, 7, 4, 5, 2, 0, 1, 3};

const std::array<TBracketColor, 8> BracketColors{{
    {0xFFFFFF, 0x000000, "#FFFFFF", "#000000"},
    {0x000000, 0xFFFFFF, "#000000", "#FFFFFF"},
    {0xFF0000, 0xFFFFFF, "#FF0000", "#FFFFFF"},
    {0x0000FF, 0xFFFFFF, "#0000FF", "#FFFFFF"},
    {0xFFFF00, 0x000000, "#FFFF00", "#000000"},
    {0x008000, 0xFFFFFF, "#008000", "#FFFFFF"},
    {0xFF8000, 0x000000, "#FF8000", "#000000"},
    {0xFF80C0, 0x000000, "#FF80C0", "#000000"},
}};

std::string WeekdayName(int year, int month, int day) {
    static const std::array<std::string, 7> names{
        toCp932("日"), toCp932("月"), toCp932("火"), toCp932("水"),
        toCp932("木"), toCp932("金"), toCp932("土"),
    };
    if (month < 3) {
        year -= 1;
        month += 12;
    }
    int w = (year + year / 4 - year / 100 + year / 400 + (13 * month + 8) / 5 + day) % 7;
    return names[static_cast<std::size_t>((w + 7) % 7)];
}

namespace {

std::string courseCodeOf(std::string_view racecourseDigits) {
    int racecourse = FieldToInt(racecourseDigits);
    char text[16];
    int course = racecourse >= 0 && racecourse <= 10
                     ? RacecourseToCourse[static_cast<std::size_t>(racecourse)]
                     : racecourse;
    std::snprintf(text, sizeof text, "%.2d", course);
    return text;
}

} // namespace

std::string DayKeyToDataCode(std::string_view key) {
    if (key.size() != 10)
        return std::string(key);
    return std::string(key.substr(0, 8)) + courseCodeOf(key.substr(8, 2));
}

std::string RaceKeyToDataCode(std::string_view key) {
    if (key.size() != 12)
        return std::string(key);
    return std::string(key.substr(0, 8)) + courseCodeOf(key.substr(8, 2)) +
           std::string(key.substr(10, 2));
}

std::string DayCodeOf(const std::string& archiveFileName) {
    return archiveFileName.substr(std::min<std::size_t>(2, archiveFileName.size()), 6);
}

void CopyText(std::string& line, std::size_t column, std::string_view text) {
    OverwriteBytes(line, column, text);
}
