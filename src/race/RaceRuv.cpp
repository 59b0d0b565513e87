// TRaceRuv: the race data read from the RUV data service's day archive.
#include "race/RaceRuv.h"

#include "platform/Cp932.h"
#include "platform/FileImage.h"
#include "platform/Format.h"
#include "platform/Unlha.h"
#include "platform/Version.h"
#include "race/HenkanJ.h"
#include "race/RaceCode.h"
#include "race/RaceHelpers.h"
#include "race/RaceRecords.h"

#include <array>
#include <filesystem>
#include <optional>
#include <system_error>

namespace fs = std::filesystem;

namespace {

constexpr const char* kRaceFile = "ruv_den1.kd2";
constexpr const char* kRunnerFile = "ruv_den2.kd2";
constexpr const char* kHorseFile = "ruv_uma.kd2";
constexpr std::array<const char*, 3> kDataFiles{kRaceFile, kRunnerFile, kHorseFile};

// Blanks and control bytes at either end go; a full-width blank stays.
std::string_view trim(std::string_view text) {
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ')
        text.remove_prefix(1);
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ')
        text.remove_suffix(1);
    return text;
}

// A past-run number: 0 when the bytes are not a number.
int numberOrZero(std::string_view field) {
    return FieldToIntOrNothing(field).value_or(0);
}

bool isBlank(std::string_view bytes) {
    return bytes.find_first_not_of(' ') == std::string_view::npos;
}

// The central racecourse number of a data course code; a code outside the ten central
// racecourses (refused for the race itself by SelectRace) keeps its own number.
int racecourseOf(std::string_view courseField) {
    int code = FieldToInt(courseField);
    return code >= 0 && code <= 9 ? CourseToRacecourse[static_cast<std::size_t>(code)] : code;
}

std::string racecourse2Of(std::string_view record) {
    return Format("%.2d", racecourseOf(bytesOf(record, raceRecord::kCourse)));
}

std::string raceKeyOf(std::string_view record) {
    return std::string(textOf(record, raceRecord::kDate)) + racecourse2Of(record) +
           std::string(textOf(record, raceRecord::kRaceNumber));
}

TRaceFacts raceFactsOf(std::string_view record) {
    TRaceFacts f;
    f.date = textOf(record, raceRecord::kDate);
    f.venue = LookupCode(bytesOf(record, raceRecord::kCourse), VenueTable());
    f.number = FieldToInt(bytesOf(record, raceRecord::kRaceNumber));
    f.name = trim(textOf(record, raceRecord::kName));
    if (f.name.empty())
        f.name = LookupCode(bytesOf(record, raceRecord::kAgeCondition), AgeConditionTable()) +
                 ClassText(bytesOf(record, raceRecord::kClass));
    f.surface = LookupCode(bytesOf(record, raceRecord::kSurface), SurfaceTable());
    f.distance = FieldToText(bytesOf(record, raceRecord::kDistance));
    f.surfaceCode = FieldToText(bytesOf(record, raceRecord::kSurface));
    f.ageConditionCode = FieldToText(bytesOf(record, raceRecord::kAgeCondition));
    f.classCode = FieldToText(bytesOf(record, raceRecord::kClass));
    f.conditionCode = FieldToText(bytesOf(record, raceRecord::kCondition));
    f.gradeCode = FieldToText(bytesOf(record, raceRecord::kGrade));
    return f;
}

// Why a record file cannot be read whole: it is empty, or bytes are left over after its
// last whole record; nothing when it is whole.
std::optional<std::string> recordFileWarning(const char* name, std::size_t size,
                                             std::size_t recordSize) {
    if (size == 0)
        return Format(sjis("%s は空です (0 バイト)").c_str(), name);
    if (size % recordSize != 0)
        return Format(sjis("%s の %zu バイトは %zu バイトのレコードで割り切れません: 最後の %zu "
                           "バイトは読みません")
                          .c_str(),
                      name, size, recordSize, size % recordSize);
    return std::nullopt;
}

} // namespace

int DayArchiveDate(const std::string& archive) {
    // the first record is all it takes
    const TMemberImages read = ExtractMembersInMemory(archive, {kRaceFile}, raceRecord::kSize);
    const std::optional<std::string>& image = read.images.front();
    if (!image)
        throw ERaceRuvOpenError(MemberNotOpenedMessage(kRaceFile, read.messages));
    if (image->size() < raceRecord::kSize)
        return 0;
    return FieldToIntOrNothing(textOf(*image, raceRecord::kDate)).value_or(0);
}

TRaceFiles ReadRaceFiles(const std::string& archive) {
    TMemberImages read = ExtractMembersInMemory(archive, {kDataFiles.begin(), kDataFiles.end()});
    for (std::size_t i = 0; i < kDataFiles.size(); ++i)
        if (!read.images[i])
            throw ERaceRuvOpenError(MemberNotOpenedMessage(kDataFiles[i], read.messages));
    return {std::move(*read.images[0]), std::move(*read.images[1]), std::move(*read.images[2])};
}

TRaceRuv::TRaceRuv(const std::string& archive, const std::string& folder)
    : TRaceBase(folder), m_extracted(true) {
    try {
        load(extract(archive));
    } catch (...) {
        deleteExtractedFiles();
        throw;
    }
}

TRaceRuv::TRaceRuv(TRaceFiles files) : TRaceBase("") {
    load(std::move(files));
}

TRaceRuv::~TRaceRuv() {
    deleteExtractedFiles();
}

TRaceFiles TRaceRuv::extract(const std::string& archive) const {
    const std::string reasons =
        ExtractMembers(archive, Folder(), {kDataFiles.begin(), kDataFiles.end()});
    std::array<std::string, kDataFiles.size()> images;
    for (std::size_t i = 0; i < kDataFiles.size(); ++i) {
        std::optional<std::string> image =
            ReadFileImage(Folder() + kDataFiles[i], TExtractLimits{}.member);
        if (!image)
            throw ERaceRuvOpenError(MemberNotOpenedMessage(kDataFiles[i], reasons));
        images[i] = std::move(*image);
    }
    return {std::move(images[0]), std::move(images[1]), std::move(images[2])};
}

void TRaceRuv::load(TRaceFiles files) {
    m_raceImage = std::move(files.race);
    m_runnerImage = std::move(files.runner);
    m_horseImage = std::move(files.horse);
    const std::pair<const std::string*, std::size_t> images[] = {
        {&m_raceImage, raceRecord::kSize},
        {&m_runnerImage, runnerRecord::kSize},
        {&m_horseImage, horseRecord::kSize}};
    for (std::size_t i = 0; i < kDataFiles.size(); ++i)
        if (auto warning =
                recordFileWarning(kDataFiles[i], images[i].first->size(), images[i].second))
            m_fileWarnings.push_back(std::move(*warning));
    buildRaceLines();
}

void TRaceRuv::deleteExtractedFiles() const {
    if (!m_extracted)
        return;
    for (const char* name : kDataFiles) {
        std::error_code ignored;
        fs::remove(fs::path(Folder()) / name, ignored);
    }
}

void TRaceRuv::buildRaceLines() {
    std::size_t count = m_raceImage.size() / raceRecord::kSize;
    m_raceLines.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const TRaceFacts f = raceFactsOf(raceRecord(static_cast<int>(i)));
        m_raceLines.push_back(Format("%s %2dR %s %s%sm", f.venue.c_str(), f.number, f.name.c_str(),
                                     f.surface.c_str(), f.distance.c_str()));
    }
}

std::string_view TRaceRuv::raceRecord(int index) const {
    return std::string_view(m_raceImage)
        .substr(static_cast<std::size_t>(index) * raceRecord::kSize, raceRecord::kSize);
}

std::size_t TRaceRuv::firstRunnerRecord(int index) const {
    long long start = 0;
    for (int i = 0; i < index; ++i)
        start += FieldToInt(bytesOf(raceRecord(i), raceRecord::kRunnerCount));
    return start > 0 ? static_cast<std::size_t>(start) : 0;
}

std::vector<std::string_view> TRaceRuv::findRecords(std::string_view image, std::size_t size,
                                                    std::size_t keyOffset, std::size_t start,
                                                    const std::vector<std::string_view>& keys) {
    const std::size_t count = image.size() / size;
    auto keyAt = [&](std::size_t i) { return image.substr(i * size + keyOffset, keys[0].size()); };
    auto search = [&](std::string_view key, std::size_t from) -> std::optional<std::size_t> {
        for (std::size_t i = from; i < count; ++i) {
            if (keyAt(i) == key)
                return i;
        }
        return std::nullopt;
    };
    std::vector<std::string_view> found;
    found.reserve(keys.size());
    std::size_t position = start;
    for (std::string_view key : keys) {
        // a second pass from the start finds records stored out of order
        std::optional<std::size_t> at = search(key, position);
        if (!at)
            at = search(key, 0);
        if (!at)
            throw ERaceRuvDataError(
                Format(sjis("該当するデータがありません(%s)").c_str(), VisibleText(key).c_str()));
        found.push_back(image.substr(*at * size, size));
        position = *at + 1;
    }
    return found;
}

void TRaceRuv::SelectRace(int index) {
    if (index < 0 || index >= RaceCount())
        throw ERaceRuvRangeError(Format(sjis("(%d)処理対象範囲を越えています").c_str(), index));
    std::size_t start = firstRunnerRecord(index);
    Race race;
    race.record = raceRecord(index);
    // a course code beyond the ten central racecourses would be keyed and filed as another
    // venue's (code 10 as 小倉, racecourse number 10), so such a race is refused
    const int course = FieldToInt(bytesOf(race.record, raceRecord::kCourse));
    if (course < 0 || course >= static_cast<int>(CourseToRacecourse.size()))
        throw ERaceRuvDataError(
            Format(sjis("競馬場コード%sは中央の競馬場ではありません(%s %dR)").c_str(),
                   std::string(textOf(race.record, raceRecord::kCourse)).c_str(),
                   std::string(textOf(race.record, raceRecord::kDate)).c_str(),
                   FieldToInt(bytesOf(race.record, raceRecord::kRaceNumber))));
    int n = FieldToInt(bytesOf(race.record, raceRecord::kRunnerCount));
    // a runner count beyond the 18 slots is refused rather than loaded
    if (n < 0 || n > kMaxRunners)
        throw ERaceRuvDataError(Format(sjis("該当するデータがありません(%s)").c_str(),
                                       VisibleText(raceKeyOf(race.record)).c_str()));
    std::vector<std::string_view> keys;
    for (int k = 0; k < n; ++k)
        keys.push_back(bytesOf(race.record, raceRecord::runnerKey(static_cast<std::size_t>(k))));
    // a runner without its record is named by file and race, not only by its key
    const auto inFile = [&](const char* file, auto find) {
        try {
            return find();
        } catch (const ERaceRuvDataError& error) {
            const TRaceFacts f = raceFactsOf(race.record);
            throw ERaceRuvDataError(
                error.what() + Format(sjis("\n%s に %s %dR の出走馬のレコードがありません").c_str(),
                                      file, f.venue.c_str(), f.number));
        }
    };
    race.runners = inFile(kRunnerFile, [&] {
        return findRecords(m_runnerImage, runnerRecord::kSize, runnerRecord::kKey.offset, start,
                           keys);
    });
    race.horses = inFile(kHorseFile, [&] {
        return findRecords(m_horseImage, horseRecord::kSize, horseRecord::kKey.offset, start, keys);
    });
    // made current only once every record was found, so a failure leaves the old race
    m_race = std::move(race);
}

std::string_view TRaceRuv::runner(int r) const {
    return m_race.runners[static_cast<std::size_t>(r)];
}

std::string_view TRaceRuv::pastRun(int r, int j) const {
    return bytesOf(m_race.horses[static_cast<std::size_t>(r)],
                   horseRecord::pastRun(static_cast<std::size_t>(j)));
}

std::string TRaceRuv::HorseName(int r) const {
    std::string_view name = textOf(runner(r), runnerRecord::kHorseName);
    return LeftBytes(name, runnerRecord::kHorseNameUsed);
}

int TRaceRuv::BracketNo(int r) const {
    return FieldToInt(bytesOf(runner(r), runnerRecord::kBracket));
}

std::string TRaceRuv::SexText(int r) const {
    return LookupCode(bytesOf(runner(r), runnerRecord::kSex), SexTable());
}

int TRaceRuv::Age(int r) const {
    return FieldToInt(bytesOf(runner(r), runnerRecord::kAge));
}

std::string TRaceRuv::WeightText(int r) const {
    std::string text(textOf(runner(r), runnerRecord::kWeightKilograms));
    char tenths = bytesOf(runner(r), runnerRecord::kWeightTenths)[0];
    if (tenths != '0')
        text += std::string(".") + tenths;
    return text;
}

std::string TRaceRuv::AllowanceMark(int r) const {
    return LookupCode(bytesOf(runner(r), runnerRecord::kAllowance), AllowanceTable());
}

std::string TRaceRuv::JockeyName(int r) const {
    std::string name =
        LeftBytes(textOf(runner(r), runnerRecord::kJockey), runnerRecord::kJockeyUsed);
    return std::string(trim(name));
}

bool TRaceRuv::IsJockeyStarred(int r) const {
    return bytesOf(runner(r), runnerRecord::kJockeyStar) == "1";
}

std::string TRaceRuv::ServiceMark(int r) const {
    return LookupCode(bytesOf(runner(r), runnerRecord::kServiceMark), MarkTable());
}

bool TRaceRuv::HasBlinkers(int r) const {
    return bytesOf(runner(r), runnerRecord::kBlinkers) == "1";
}

int TRaceRuv::TrainingLines(int r, std::vector<std::string>& lines) const {
    namespace te = trainingEntry;
    lines.clear();
    std::string_view d = runner(r);
    for (std::size_t t = 0; t < runnerRecord::kTrainingEntries; ++t) {
        std::string_view e = bytesOf(d, runnerRecord::training(t));
        bool hasDate = bytesOf(e, te::kDate)[0] != ' ';
        if (!hasDate && bytesOf(e, te::kComment)[0] == ' ')
            continue;
        std::string circle = "  ";
        if (char digit = bytesOf(e, te::kCircledDigit)[0]; digit != ' ')
            circle = {'\x87', static_cast<char>((0x40 + (digit - 0x30)) & 0xFF)};
        std::string line;
        if (hasDate) {
            line = Format(sjis("%2d月%2d日").c_str(), FieldToInt(bytesOf(e, te::kMonth)),
                          FieldToInt(bytesOf(e, te::kDay)));
            line += textOf(e, te::kColumnB);
            line += textOf(e, te::kColumnC);
            line += textOf(e, te::kColumnD);
            line += ' ';
            line += textOf(e, te::kColumnA);
            for (std::size_t i = 0; i < te::kLapColumns; ++i)
                line += textOf(e, te::lap(i));
            line += circle;
            line += textOf(e, te::kColumnE);
        } else {
            line = std::string(40, ' ') + std::string(textOf(e, te::kComment));
        }
        lines.push_back(line);
        if (bytesOf(d, runnerRecord::kRemarkPosition)[0] - '0' == static_cast<int>(t) + 1)
            lines.push_back(
                Format("%70s", std::string(trim(textOf(d, runnerRecord::kRemark))).c_str()));
    }
    return static_cast<int>(lines.size());
}

std::uint8_t TRaceRuv::PastRunStatus(int r, int j) const {
    namespace pb = pastRunBlock;
    std::string_view p = pastRun(r, j);
    if (bytesOf(p, pb::kCourse) == "  ")
        return kRunNone;
    std::uint8_t status = kRunNone;
    char category = bytesOf(p, pb::kCategory)[0];
    if (category == '0')
        status = kRunUsable;
    if (category >= '1' && category <= '3')
        return kRunLocal;
    if (category == '4')
        return kRunAbroad;
    if (bytesOf(p, pb::kJump) == "1")
        return kRunJump;
    int position = numberOrZero(bytesOf(p, pb::kPosition));
    if (position < pb::kFell)
        return status;
    switch (position) {
    case pb::kFell: status = kRunFell; break;
    case pb::kDisqualified: status = kRunDisqualified; break;
    case pb::kNotFinished: status = kRunNotFinished; break;
    case pb::kScratched: status = kRunScratched; break;
    case pb::kExcluded: status = kRunExcluded; break;
    default: break;
    }
    if (!isBlank(bytesOf(p, pb::kTime)))
        status = kRunUsable;
    return status;
}

int TRaceRuv::PastRunDate(int r, int j) const {
    return numberOrZero(textOf(pastRun(r, j), pastRunBlock::kDate));
}

int TRaceRuv::PastRunCourse(int r, int j) const {
    return racecourseOf(bytesOf(pastRun(r, j), pastRunBlock::kCourse)) % 10;
}

bool TRaceRuv::PastRunOnDirt(int r, int j) const {
    return bytesOf(pastRun(r, j), pastRunBlock::kSurface) != "1";
}

int TRaceRuv::PastRunDistance(int r, int j) const {
    return numberOrZero(textOf(pastRun(r, j), pastRunBlock::kDistance));
}

int TRaceRuv::PastRunTime(int r, int j) const {
    return numberOrZero(textOf(pastRun(r, j), pastRunBlock::kTime));
}

int TRaceRuv::PastRunWeight(int r, int j) const {
    return numberOrZero(textOf(pastRun(r, j), pastRunBlock::kWeight));
}

int TRaceRuv::RaceCount() const {
    return static_cast<int>(m_raceLines.size());
}

std::string TRaceRuv::RaceLine(int index) const {
    if (index < 0 || index >= RaceCount())
        throw ERaceRuvRangeError(Format(sjis("(%d)処理対象範囲を越えています").c_str(), index));
    return m_raceLines[static_cast<std::size_t>(index)];
}

int TRaceRuv::RunnerCount() const {
    return FieldToInt(bytesOf(m_race.record, raceRecord::kRunnerCount));
}

bool TRaceRuv::IsNoBetRace() const {
    return bytesOf(m_race.record, raceRecord::kNoBetFlag) == "1";
}

std::string TRaceRuv::racecourse2() const {
    return racecourse2Of(m_race.record);
}

std::string TRaceRuv::RaceKey() const {
    return raceKeyOf(m_race.record);
}

std::string TRaceRuv::JrdbRaceKey() const {
    const std::string_view r = m_race.record;
    // JRDB writes a meeting's tenth to fifteenth day as a to f
    std::string day(textOf(r, raceRecord::kDayLastDigit));
    try {
        int number = FieldToInt(bytesOf(r, raceRecord::kDay));
        if (number >= 10 && number <= 15)
            day = std::string(1, static_cast<char>('a' + number - 10));
    } catch (const std::exception&) {
        // a day that is not a number keeps its stored digit
    }
    return racecourse2() + std::string(textOf(r, raceRecord::kDateYearLastTwo)) +
           std::string(textOf(r, raceRecord::kMeetingLastDigit)) + day +
           std::string(textOf(r, raceRecord::kRaceNumber));
}

std::string TRaceRuv::DayKey() const {
    return std::string(textOf(m_race.record, raceRecord::kDate)) + racecourse2();
}

std::string TRaceRuv::mainLine() const {
    const std::string_view r = m_race.record;
    std::string conditions =
        Format("%s %s %s %s %s",
               LookupCode(bytesOf(r, raceRecord::kAgeCondition), AgeConditionTable()).c_str(),
               ClassText(bytesOf(r, raceRecord::kClass)).c_str(),
               LookupCode(bytesOf(r, raceRecord::kGrade), GradeTable()).c_str(),
               LookupCode(bytesOf(r, raceRecord::kCondition), ConditionTable()).c_str(),
               std::string(trim(textOf(r, raceRecord::kConditionText))).c_str());
    conditions = EraseBytes(conditions, 38, 20);
    return Format(
        sjis("%2dR %s %d年%d回%d日 %.2d/%.2d %-38s %sm %s").c_str(),
        FieldToInt(bytesOf(r, raceRecord::kRaceNumber)),
        LookupCode(bytesOf(r, raceRecord::kCourse), VenueTable()).c_str(),
        FieldToInt(bytesOf(r, raceRecord::kYear)), FieldToInt(bytesOf(r, raceRecord::kMeeting)),
        FieldToInt(bytesOf(r, raceRecord::kDay)), FieldToInt(bytesOf(r, raceRecord::kDateMonth)),
        FieldToInt(bytesOf(r, raceRecord::kDateDay)), conditions.c_str(),
        FieldToText(bytesOf(r, raceRecord::kDistance)).c_str(),
        LookupCode(bytesOf(r, raceRecord::kSurface), SurfaceTable()).c_str());
}

std::string TRaceRuv::RaceHeading() const {
    const std::string_view r = m_race.record;
    return Format(sjis("    %s%36s%s発走").c_str(),
                  std::string(textOf(r, raceRecord::kName)).c_str(), "",
                  std::string(textOf(r, raceRecord::kPostTime)).c_str()) +
           "\r\n" + mainLine();
}

std::string TRaceRuv::RaceHeadingLine() const {
    return mainLine() + std::string(textOf(m_race.record, raceRecord::kPostTime)) + sjis("発走");
}

std::string TRaceRuv::RaceName() const {
    return std::string(textOf(m_race.record, raceRecord::kName));
}

TRaceFacts TRaceRuv::RaceFacts() const {
    return raceFactsOf(m_race.record);
}

std::string TRaceRuv::RuvHeaderLine(std::uint8_t style) const {
    const std::string_view r = m_race.record;
    std::string venue = LookupCode(bytesOf(r, raceRecord::kCourse), VenueTable());
    int raceNumber = FieldToInt(bytesOf(r, raceRecord::kRaceNumber));
    std::string date(textOf(r, raceRecord::kDate));
    if (style == 0)
        return "  " + venue + Format(sjis("-%2dＲ-").c_str(), raceNumber) + date +
               Format("-[%s]", "A006") + std::string(45, '-');
    std::string tag = std::string(" RUV PELTON ") + ProductVersion() + " ";
    std::string hyphens(tag.size() < 35 ? 35 - tag.size() : 0, '-');
    return venue + Format(sjis("---%2dＲ-").c_str(), raceNumber) + date +
           Format("-[%s]---", "A006") + tag + hyphens +
           Format("(%5s)", std::string(textOf(r, raceRecord::kPostTime)).c_str());
}

std::string TRaceRuv::WarsHeaderLine(std::uint8_t style) const {
    const std::string_view r = m_race.record;
    std::string venue = LookupCode(bytesOf(r, raceRecord::kCourse), VenueTable());
    int month = FieldToInt(bytesOf(r, raceRecord::kDateMonth));
    int day = FieldToInt(bytesOf(r, raceRecord::kDateDay));
    std::string weekday = WeekdayName(FieldToInt(bytesOf(r, raceRecord::kDateYear)), month, day);
    std::string meeting(textOf(r, raceRecord::kMeetingLastDigit));
    std::string dayOfMeeting(textOf(r, raceRecord::kDayLastDigit));
    if (style == 0)
        return venue + "  " + ToFullWidth(textOf(r, raceRecord::kYearLastTwo)) + sjis(" 年 ") +
               ToFullWidth(meeting) + sjis(" 回 ") + ToFullWidth(dayOfMeeting) + sjis(" 日目 ") +
               Format(sjis("%4s月%4s日（%2s）[%s] %s ver%s").c_str(),
                      ToFullWidth(textOf(r, raceRecord::kDateMonth)).c_str(),
                      ToFullWidth(textOf(r, raceRecord::kDateDay)).c_str(), weekday.c_str(), "0020",
                      "RUV PELTON", ProductVersion());
    return venue + " " + std::string(textOf(r, raceRecord::kYear)) + sjis("年  ") + meeting +
           sjis("回  ") + dayOfMeeting + sjis("日目 ") +
           Format(sjis("%2d月%3d日(%2s) [%s] %s ver%s").c_str(), month, day, weekday.c_str(),
                  "0020", "RUV PELTON", ProductVersion());
}

std::string TRaceRuv::RunnerKey(int r) const {
    return std::string(bytesOf(runner(r), runnerRecord::kKey));
}

int TRaceRuv::PastRunPosition(int r, int j) const {
    return numberOrZero(bytesOf(pastRun(r, j), pastRunBlock::kPosition));
}
