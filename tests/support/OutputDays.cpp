#include "support/OutputDays.h"

#include "platform/Cp932.h"
#include "platform/Format.h"
#include "race/RaceHelpers.h"

#include <algorithm>
#include <array>
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace fs = std::filesystem;

namespace {

constexpr int kStandardTenths = 960; // 1:36.0 over 1600 m on turf at 東京
constexpr int kBaseFigure = 80;

const std::array<const char*, 9> kNames{"アオバ", "イチゴ",   "ウメ",   "エノキ", "オトメ",
                                        "カエデ", "キキョウ", "クルミ", "ケヤキ"};

} // namespace

SampleTimeDb FormTimeDb() {
    SampleTimeDb db;
    db.distanceFactors = {{DistanceFactorKey(1600), 10}}; // a point per tenth of a second
    db.standardTimes = {{StandardTimeKey(1600, 5), kStandardTenths, kStandardTenths + 10}};
    return db;
}

SampleRunner FormRunner(int number, int runners, int figure) {
    SampleRunner r;
    r.bracket = std::to_string(runners <= 8 ? number : std::min(number, 8));
    r.horseName = kNames[static_cast<std::size_t>(number - 1) % kNames.size()];
    if (figure == 0)
        return r;
    const int tenths = kStandardTenths - (figure - kBaseFigure);
    for (SamplePastRun& run : r.pastRuns) {
        run.course = "04";
        run.date = "20001203";
        run.surface = "1";
        run.distance = "1600";
        run.weight = "550";
        run.position = "01";
        run.time = Format("%d%.3d", tenths / 600, tenths % 600);
    }
    return r;
}

SampleRace FormRace(const std::string& course, int number, std::vector<int> figures, bool noBet) {
    SampleRace race;
    race.course = course;
    race.raceNumber = Format("%.2d", number);
    race.postTime = Format("%.2d:00", 9 + number);
    race.noBet = noBet ? "1" : "0";
    const int n = static_cast<int>(figures.size());
    for (int k = 1; k <= n; ++k)
        race.runners.push_back(FormRunner(k, n, figures[static_cast<std::size_t>(k - 1)]));
    return race;
}

SampleRaceOdds NoOdds() {
    SampleRaceOdds o;
    o.absent = true;
    return o;
}

SampleRaceOdds WinOddsText(int runner, const char* text) {
    SampleRaceOdds o;
    o.win[runner] = text;
    return o;
}

SampleRaceOdds BracketOddsText(int first, int second, const char* text) {
    SampleRaceOdds o;
    o.bracket[{first, second}] = text;
    return o;
}

OutputDay::OutputDay(const SampleDay& day, const SampleDayOdds& odds, const SampleTimeDb& db)
    : m_day(day) {
    const fs::path base = m_folder.path();
    fs::create_directories(base / "time");
    fs::create_directories(base / "out");
    const fs::path archive = base / kDemoArchiveName;
    WriteDayArchive(archive, day);
    WriteRuvOddsArchive(base, DayCodeOf(archive.filename().string()), day, odds);
    WriteTimeDb(base / "time", db);
    settings.ProgramFolder = (base / "").string();
    settings.Folder.Time = (base / "time" / "").string();
    settings.Folder.OutTxt = (out() / "").string();
    settings.File.TextOut = settings.File.HtmlOut = settings.File.WarsOut = settings.File.RuvOut =
        1;
    m_session = std::make_unique<TDaySession>(settings);
    m_session->FocusCreate();
    m_session->OpenDay(archive.string());
}

TDaySession::TOutputSummary OutputDay::run(TOutputCommand command,
                                           const TOutputProgress& progress) {
    return m_session->RunOutput(command, progress);
}

void OutputDay::useRxFile(const SampleDayOdds& odds) {
    fs::create_directories(folder() / "rx");
    WriteRxFile(folder() / "rx", m_day, odds);
    settings.Folder.DrnRx = (folder() / "rx" / "").string();
    settings.Other.DrnRx = 1;
}

std::vector<std::string> OutputDay::files() const {
    return FolderEntries(out());
}

namespace {

constexpr const char* kCommaLocale = "de_DE.UTF-8";

// The folder that holds the comma locale, made at the first use; empty when localedef
// could not make it.
const fs::path& commaLocaleFolder() {
    static const TWorkFolder folder;
    static const fs::path made = [] {
        const std::string command = "localedef -i de_DE -f UTF-8 '" +
                                    (folder.path() / kCommaLocale).string() + "' >/dev/null 2>&1";
        return std::system(command.c_str()) == 0 ? folder.path() : fs::path();
    }();
    return made;
}

} // namespace

CommaDecimalLocale::CommaDecimalLocale() : m_previous(std::setlocale(LC_ALL, nullptr)) {
    const fs::path& folder = commaLocaleFolder();
    if (folder.empty()) {
        m_reason = "localedef cannot make de_DE.UTF-8 here (locales package missing?)";
        return;
    }
    // the C library reads LOCPATH when it loads a locale; the locale stays once loaded
    setenv("LOCPATH", folder.c_str(), 1);
    const bool set = std::setlocale(LC_ALL, kCommaLocale) != nullptr;
    unsetenv("LOCPATH");
    if (!set || std::strcmp(std::localeconv()->decimal_point, ",") != 0)
        m_reason = "de_DE.UTF-8 does not write a decimal comma here";
}

CommaDecimalLocale::~CommaDecimalLocale() {
    std::setlocale(LC_ALL, m_previous.c_str());
}
