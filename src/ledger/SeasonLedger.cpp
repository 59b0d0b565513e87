#include "ledger/SeasonLedger.h"

#include "analysis/Focus.h"
#include "session/Settings.h"
#include "ledger/ResultBook.h"
#include "odds/Odds.h"
#include "output/ReportPieces.h"
#include "platform/Cp932.h"
#include "platform/Format.h"
#include "platform/WorkFolder.h"
#include "race/RaceBase.h"
#include "race/RaceCode.h"

#include <algorithm>
#include <system_error>

namespace fs = std::filesystem;

namespace {

std::string pathText(const fs::path& path) {
    return toCp932Lenient(path.string());
}

// The day code YYMMDD of a date YYYYMMDD.
std::string dayCodeOf(int date) {
    return Format("%.6d", date % 1000000);
}

// "FOLDERに読める開催日のデータがありません", then each archive left out and why.
ELedgerError noReadableDay(const fs::path& folder, const std::vector<std::string>& problems) {
    std::string message = pathText(folder) + sjis("に読める開催日のデータがありません");
    for (const std::string& problem : problems)
        message += "\n" + problem;
    return ELedgerError(message);
}

// The day's line of warnings: its name, then what is wrong, one after the other; empty
// when nothing is.
std::string dayWarning(const TSeasonDay& day, const TDaySession& session) {
    std::vector<std::string> notes = day.notes;
    notes.insert(notes.end(), session.FileWarnings().begin(), session.FileWarnings().end());
    if (!session.OddsFileProblem().empty())
        notes.push_back(session.OddsFileProblem());
    if (notes.empty())
        return {};
    std::string line = pathText(day.archive.filename());
    for (std::size_t i = 0; i < notes.size(); ++i)
        line += (i == 0 ? ": " : "; ") + notes[i];
    return line;
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
    for (int j = 0; j < focus.BetCount(); ++j) {
        const TBetPair pair = focus.BetPair(j);
        r.bets.push_back({pair.lower, pair.higher, hasOdds ? BetOdds(focus, odds, j) : 0});
    }
    r.results.assign(static_cast<std::size_t>(std::max(r.runners, 0)), runResult::kUnknown);
    return r;
}

// The one-digit course code of the past-run blocks for the selected race.
int pastRunCourseOf(const TRaceBase& race) {
    return FieldToInt(race.DayKey().substr(8, 2)) % 10;
}

} // namespace

TSeasonLedger::TSeasonLedger(const TSettings& settings, const fs::path& folder, TLedgerRange range)
    : m_settings(settings), m_folder(folder), m_range(range) {
    TSeasonFolder listed = SeasonDays(folder);
    if (listed.days.empty() && listed.skipped.empty())
        throw ELedgerError(pathText(folder) +
                           sjis("に開催日のデータ(rv + 年月日 + .lzh)がありません"));
    const TWorkFolder work;
    m_season = DatedByContent(std::move(listed), work.folderText());
    if (m_season.days.empty())
        throw noReadableDay(folder, m_season.skipped);
    // the days before the range can give no result to the days in it
    std::erase_if(m_season.days, [this](const TSeasonDay& day) { return day.date < m_range.from; });
    if (std::none_of(m_season.days.begin(), m_season.days.end(),
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
    ledger.problems = m_season.skipped;
    ledger.skippedArchives = static_cast<int>(m_season.skipped.size());
    ledger.warnings = m_season.duplicates;
    TResultBook book;
    const int total = DayCount();
    for (int d = 0; d < total; ++d) {
        if (progress && !progress(d + 1, total, ProgressCountText(d + 1, total))) {
            ledger.cancelled = true;
            break;
        }
        const TSeasonDay& day = m_season.days[static_cast<std::size_t>(d)];
        const std::string name = pathText(day.archive.filename());
        try {
            // the odds of the day the archive holds, whatever its name says
            session.OpenDay(day.archive.string(), dayCodeOf(day.date));
        } catch (const std::exception& error) {
            ++ledger.skippedArchives;
            ledger.problems.push_back(name + ": " + error.what());
            continue;
        }
        if (std::string warning = dayWarning(day, session); !warning.empty())
            ledger.warnings.push_back(std::move(warning));
        const bool kept = isKept(day);
        ledger.days += kept ? 1 : 0;
        bool anyOdds = false;
        for (int i = 0; i < session.Race().RaceCount(); ++i) {
            try {
                if (kept) {
                    session.PrepareRace(i, true);
                    anyOdds = anyOdds || session.Odds().Count() != 0;
                } else {
                    session.Race().SelectRace(i);
                }
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
        ledger.daysWithoutOdds += kept && !anyOdds ? 1 : 0;
        session.CloseDay();
    }
    if (!ledger.cancelled && ledger.days == 0)
        throw noReadableDay(m_folder, ledger.problems);
    return ledger;
}
