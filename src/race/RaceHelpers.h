#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

// The central racecourse number (1 札幌 .. 10 小倉) of the data's course code 0..9.
extern const std::array<int, 10> CourseToRacecourse;
// The data's course code of racecourse number 0..10; 0 and 10 both give 3 (小倉),
// since the one-digit form of racecourse number 10 is 0.
extern const std::array<int, 11> RacecourseToCourse;

// The weekday (日 .. 土, CP932) of a date.
std::string WeekdayName(int year, int month, int day);

// A 10-byte day key (date + racecourse number) with its racecourse number turned
// back into the data's course code; any other text unchanged.
std::string DayKeyToDataCode(std::string_view key);
// The same for a 12-byte race key (date + racecourse number + race number).
std::string RaceKeyToDataCode(std::string_view key);

// The day code that names a day's odds archives: characters 3 to 8 of the day archive's
// file name (fewer when it is shorter), "rv010128.lzh" -> "010128".
std::string DayCodeOf(const std::string& archiveFileName);

// Copies text into a fixed-width line buffer from column on, without growing it;
// a character split by the copy leaves a blank, never half of itself.
void CopyText(std::string& line, std::size_t column, std::string_view text);

using TRgb = std::uint32_t; // 0xRRGGBB

struct TBracketColor {
    TRgb background;
    TRgb text;
    const char* backgroundHtml;
    const char* textHtml;
};

// Index bracket number - 1.
extern const std::array<TBracketColor, 8> BracketColors;
