#pragma once

#include <cstddef>
#include <string_view>

// Byte ranges of the RUV record files. Every field is CP932 text, digits as ASCII,
// blank-padded.
struct Field {
    std::size_t offset;
    std::size_t width;
};

// The field's bytes as stored (the code-table helpers read them so).
inline std::string_view bytesOf(std::string_view record, Field f) {
    return record.substr(f.offset, f.width);
}

// The field as text: it ends before the first zero byte among its bytes.
inline std::string_view textOf(std::string_view record, Field f) {
    std::string_view bytes = bytesOf(record, f);
    return bytes.substr(0, bytes.find('\0'));
}

// ruv_den1.kd2, the race file: one record per race.
namespace raceRecord {
constexpr std::size_t kSize = 779;
constexpr Field kCourse{0, 2}; // the data's course code (venue table)
constexpr Field kYear{2, 4};
constexpr Field kYearLastTwo{4, 2};
constexpr Field kMeeting{6, 2};
constexpr Field kMeetingLastDigit{7, 1};
constexpr Field kDay{8, 2};
constexpr Field kDayLastDigit{9, 1};
constexpr Field kRaceNumber{10, 2};
constexpr Field kDate{12, 8};
constexpr Field kDateYear{12, 4};
constexpr Field kDateYearLastTwo{14, 2};
constexpr Field kDateMonth{16, 2};
constexpr Field kDateDay{18, 2};
constexpr Field kNoBetFlag{24, 1};
constexpr Field kName{28, 30};
constexpr Field kGrade{72, 1};
constexpr Field kConditionText{75, 18};
constexpr Field kCondition{93, 2};
constexpr Field kAgeCondition{97, 1};
constexpr Field kClass{99, 5};
constexpr Field kSurface{104, 1};
constexpr Field kDistance{108, 4};
constexpr Field kPostTime{331, 5};
constexpr Field kRunnerCount{336, 2};
constexpr Field runnerKey(std::size_t k) {
    return {500 + 10 * k, 7};
}
} // namespace raceRecord

// ruv_den2.kd2, the runner file: one record per runner entry, races in file order.
namespace runnerRecord {
constexpr std::size_t kSize = 743;
constexpr Field kBracket{22, 1};
constexpr Field kKey{25, 7};
constexpr Field kHorseName{32, 30};
constexpr std::size_t kHorseNameUsed = 18;
constexpr Field kSex{64, 1};
constexpr Field kAge{65, 2};
constexpr Field kBlinkers{147, 1};
constexpr Field kWeightKilograms{148, 2};
constexpr Field kWeightTenths{150, 1};
constexpr Field kJockey{188, 8};
constexpr std::size_t kJockeyUsed = 6;
constexpr Field kAllowance{204, 1};
constexpr Field kJockeyStar{205, 1};
constexpr Field kServiceMark{254, 1};
constexpr std::size_t kTrainingEntries = 3;
constexpr Field training(std::size_t t) {
    return {256 + 117 * t, 116};
}
constexpr Field kRemarkPosition{606, 1};
constexpr Field kRemark{607, 86};
} // namespace runnerRecord

// One training entry inside a runner record.
namespace trainingEntry {
constexpr Field kColumnA{0, 8};
constexpr Field kDate{8, 8};
constexpr Field kMonth{12, 2};
constexpr Field kDay{14, 2};
constexpr Field kColumnB{16, 6};
constexpr Field kColumnC{22, 2};
constexpr Field kColumnD{24, 2};
constexpr std::size_t kLapColumns = 7;
constexpr Field lap(std::size_t i) {
    return {26 + 6 * i, 6};
}
constexpr Field kCircledDigit{68, 1};
constexpr Field kColumnE{69, 6};
constexpr Field kComment{76, 40};
} // namespace trainingEntry

// ruv_uma.kd2, the horse file: one record per runner entry, in runner-file order.
namespace horseRecord {
constexpr std::size_t kSize = 5166;
constexpr Field kKey{0, 7};
constexpr std::size_t kPastRuns = 5;
constexpr Field pastRun(std::size_t j) {
    return {1064 + 590 * j, 590};
}
} // namespace horseRecord

// One past-run block inside a horse record.
namespace pastRunBlock {
constexpr Field kCourse{0, 2}; // two blanks: no race
constexpr Field kDate{12, 8};
constexpr Field kCategory{23, 1}; // 0 central, 1-3 local, 4 abroad
constexpr Field kJump{25, 1};
constexpr Field kSurface{115, 1}; // 1 turf
constexpr Field kDistance{119, 4};
constexpr Field kWeight{242, 3};   // tenths of a kilogram
constexpr Field kPosition{368, 2}; // 31-35: abnormal result
constexpr Field kTime{374, 4};     // MSSd
// The abnormal results in the position field.
constexpr int kFell = 31;
constexpr int kDisqualified = 32;
constexpr int kNotFinished = 33;
constexpr int kScratched = 34;
constexpr int kExcluded = 35;
} // namespace pastRunBlock
