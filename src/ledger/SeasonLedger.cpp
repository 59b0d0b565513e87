#include "ledger/SeasonLedger.h"

#include "analysis/Focus.h"
#include "session/Settings.h"
#include "ledger/ResultBook.h"
#include "odds/Odds.h"
#include "output/ReportPieces.h"
#include "platform/Cp932.h"
#include "race/RaceBase.h"
#include "race/RaceCode.h"

#include <algorithm>
#include <system_error>

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kDateDigits = 6;
constexpr std::string_view kArchivePrefix = "rv";
constexpr std::string_view kArchiveSuffix = ".lzh";

bool isDigits(std::string_view text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

std::string pathText(const fs::path& path) {
    return toCp932Lenient(path.string());
}

// The date of a day archive's name; 0 for any other file.
int archiveDate(const std::string& name) {
    if (name.size() != kArchivePrefix.size() + kDateDigits + kArchiveSuffix.size() ||
        !name.starts_with(kArchivePrefix) || !name.ends_with(kArchiveSuffix))
        return 0;
    return SeasonDate(name.substr(kArchivePrefix.size(), kDateDigits));
}

// The race as the ledger keeps it, from the race, prediction and odds of the session.
TLedgerRace recordedRace(const TDaySession& session) {
    const TRaceBase& race = session.Race();
    const TFocus& focus = session.Focus();
    const TOdds& odds = session.Odds();
    const TRaceFacts facts = race.RaceFacts();
    TLedgerRace r;
    r.date = FieldToInt(facts.date);
    r.venue = facts.venue;
    r.number = facts.number;
    r.runners = race.RunnerCount();
    // the odds the race view shows; the session keeps only odds of the race's own field
    const bool hasOdds = odds.Count() != 0;
    for (int p = 1; p <= kLedgerMarks; ++p) {
        const int runner = focus.MarkedRunner(p);
        r.marked[static_cast<std::size_t>(p - 1)] = runner;
        r.winOdds[static_cast<std::size_t>(p - 1)] =
            runner != 0 && hasOdds ? odds.OddsA(TBetKind::Win, runner) : 0;
    }
    std::vector<TLedgerBet> recommended;
    for (int j = 0; j < focus.BetCount(); ++j) {
        const TBetPair pair = focus.BetPair(j);
        recommended.push_back({pair.lower, pair.higher, hasOdds ? BetOdds(focus, odds, j) : 0});
    }
    r.bets = BoughtTickets(focus.Rule(), recommended);
    r.results.assign(static_cast<std::size_t>(std::max(r.runners, 0)), runResult::kUnknown);
    return r;
}

// The one-digit course code of the past-run blocks for the selected race.
int pastRunCourseOf(const TRaceBase& race) {
    return FieldToInt(race.DayKey().substr(8, 2)) % 10;
}

} // namespace

int SeasonDate(const std::string& yymmdd) {
    if (yymmdd.size() != kDateDigits || !isDigits(yymmdd))
        return 0;
    const int year = std::stoi(yymmdd.substr(0, 2));
    return (year < 50 ? 20000000 : 19000000) + std::stoi(yymmdd);
}

std::vector<TSeasonDay> SeasonDays(const fs::path& folder) {
    std::error_code error;
    fs::directory_iterator entries(folder, error);
    if (error)
        throw ELedgerError(pathText(folder) + sjis("がオープンできません"));
    std::vector<TSeasonDay> days;
    for (const fs::directory_entry& entry : entries) {
        const int date = archiveDate(entry.path().filename().string());
        if (date != 0 && entry.is_regular_file(error))
            days.push_back({entry.path(), date});
    }
    if (days.empty())
        throw ELedgerError(pathText(folder) +
                           sjis("に開催日のデータ(rv + 年月日 + .lzh)がありません"));
    std::sort(days.begin(), days.end(),
              [](const TSeasonDay& a, const TSeasonDay& b) { return a.date < b.date; });
    return days;
}

TSeasonLedger::TSeasonLedger(const TSettings& settings, const fs::path& folder, TLedgerRange range)
    : m_settings(settings), m_range(range), m_days(SeasonDays(folder)) {
    // the days before the range can give no result to the days in it
    std::erase_if(m_days, [this](const TSeasonDay& day) { return day.date < m_range.from; });
    if (std::none_of(m_days.begin(), m_days.end(),
                     [this](const TSeasonDay& day) { return isKept(day); }))
        throw ELedgerError(pathText(folder) + sjis("に期間内の開催日のデータがありません"));
}

bool TSeasonLedger::isKept(const TSeasonDay& day) const {
    return day.date >= m_range.from && (m_range.to == 0 || day.date <= m_range.to);
}

TLedger TSeasonLedger::Run(const TOutputProgress& progress) const {
    TDaySession session(m_settings);
    session.FocusCreate();
    TLedger ledger;
    TResultBook book;
    const int total = DayCount();
    for (int d = 0; d < total; ++d) {
        if (progress && !progress(d + 1, total, ProgressCountText(d + 1, total))) {
            ledger.cancelled = true;
            break;
        }
        const TSeasonDay& day = m_days[static_cast<std::size_t>(d)];
        const std::string name = pathText(day.archive.filename());
        try {
            session.OpenDay(day.archive.string());
        } catch (const std::exception& error) {
            ++ledger.skippedArchives;
            ledger.problems.push_back(name + ": " + error.what());
            continue;
        }
        const bool kept = isKept(day);
        ledger.days += kept ? 1 : 0;
        for (int i = 0; i < session.Race().RaceCount(); ++i) {
            try {
                if (kept)
                    session.PrepareRace(i, true);
                else
                    session.Race().SelectRace(i);
                book.Resolve(session.Race(), ledger.races);
                if (kept) {
                    TLedgerRace race = recordedRace(session);
                    const int course = pastRunCourseOf(session.Race());
                    ledger.races.push_back(std::move(race));
                    book.Expect(session.Race(), ledger.races.size() - 1, ledger.races.back().date,
                                course);
                }
            } catch (const std::exception& error) {
                ledger.problems.push_back(name + " " + session.Race().RaceLine(i) + ": " +
                                          error.what());
            }
        }
        session.CloseDay();
    }
    return ledger;
}
