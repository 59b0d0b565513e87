#include "ledger/LedgerSummary.h"

#include "platform/Cp932.h"
#include "platform/Format.h"

#include <algorithm>

void TMarkTally::Add(const TLedgerRace& race, int runner, float winOdds) {
    const int result = race.Result(runner);
    if (runResult::IsRefunded(result))
        return;
    ++runners;
    wins += result == 1 ? 1 : 0;
    topTwo += result == 1 || result == 2 ? 1 : 0;
    if (race.TopThreeKnown()) {
        ++topThreeRunners;
        topThree += result >= 1 && result <= 3 ? 1 : 0;
    }
    if (winOdds > 0) {
        ++oddsRunners;
        if (result == 1)
            winPaid += TicketReturn(winOdds);
    }
    const int places = race.PlacesPaid();
    const float placeOdds = race.PlaceOdds(runner);
    if (places > 0 && placeOdds > 0 && (places == 2 || race.TopThreeKnown())) {
        ++placeRuns;
        if (result >= 1 && result <= places)
            placePaid += TicketReturn(placeOdds);
    }
}

void TMarkTally::Add(const TMarkTally& o) {
    runners += o.runners;
    wins += o.wins;
    topTwo += o.topTwo;
    topThreeRunners += o.topThreeRunners;
    topThree += o.topThree;
    oddsRunners += o.oddsRunners;
    winPaid += o.winPaid;
    placeRuns += o.placeRuns;
    placePaid += o.placePaid;
}

namespace {

TAreaTally& areaNamed(std::vector<TAreaTally>& areas, const std::string& name) {
    auto found = std::find_if(areas.begin(), areas.end(),
                              [&name](const TAreaTally& a) { return a.name == name; });
    if (found != areas.end())
        return *found;
    areas.push_back({name, 0, 0, {}});
    return areas.back();
}

void countArea(TAreaTally& area, const TLedgerRace& race, const TBetTally& bets) {
    ++area.races;
    if (race.Settled()) {
        ++area.settled;
        area.bets.Add(bets);
    }
}

} // namespace

TLedgerSummary Summarize(const TLedger& ledger) {
    TLedgerSummary s;
    s.days = ledger.days;
    s.skippedArchives = ledger.skippedArchives;
    s.daysWithoutOdds = ledger.daysWithoutOdds;
    s.timeDatabase = toCp932Lenient(ledger.timeDatabase.lexically_normal().string());
    s.market = ledger.market;
    int lastDay = 0;
    int days = 0; // with races
    for (const TLedgerRace& race : ledger.races) {
        ++s.races;
        s.firstDate = s.firstDate == 0 ? race.date : std::min(s.firstDate, race.date);
        s.lastDate = std::max(s.lastDate, race.date);
        s.unknownRunners += static_cast<int>(
            std::count(race.results.begin(), race.results.end(), runResult::kUnknown));
        if (race.date != lastDay) {
            lastDay = race.date;
            ++days;
        }
        TBetTally bets;
        if (race.Settled()) {
            ++s.settled;
            // a day without a settled race would be a flat point: it is counted instead
            if (s.running.empty() || s.running.back().date != race.date)
                s.running.push_back(s.running.empty() ? TDayTally{race.date, 0, 0}
                                                      : TDayTally{race.date, s.running.back().stake,
                                                                  s.running.back().paid});
            for (int p = 1; p <= kLedgerMarks; ++p) {
                const auto i = static_cast<std::size_t>(p - 1);
                if (race.marked[i] != 0)
                    s.marks[i].Add(race, race.marked[i], race.winOdds[i]);
            }
            bets.Add(race);
            (race.HasBracketBets() ? s.bracketBets : s.runnerBets).Add(bets);
            s.allBets.Add(bets);
            s.running.back().stake += bets.stake;
            s.running.back().paid += bets.paid;
        }
        countArea(areaNamed(s.venues, race.venue), race, bets);
        countArea(areaNamed(s.months, Format("%d-%.2d", race.date / 10000, race.date / 100 % 100)),
                  race, bets);
    }
    s.daysWithoutResults = days - static_cast<int>(s.running.size());
    std::sort(s.months.begin(), s.months.end(),
              [](const TAreaTally& a, const TAreaTally& b) { return a.name < b.name; });
    return s;
}
