#pragma once

#include "ledger/LedgerRace.h"
#include "ledger/MarketComparison.h"
#include "ledger/SeasonLedger.h"

#include <array>
#include <string>
#include <vector>

// How the runners of one mark did in the settled races. Scratched and excluded runners
// did not run and are left out.
struct TMarkTally {
    int runners = 0;
    int wins = 0;
    int topTwo = 0;          // placed 1 or 2 (連対)
    int topThreeRunners = 0; // runners of races whose first three places are known
    int topThree = 0;        // of those, placed 1 to 3 (複勝圏)
    int oddsRunners = 0;     // runners with win odds
    long long winPaid = 0;   // yen: win odds × 100 for each winner with odds
    // A 100-yen place ticket on each runner with place odds whose paid places are known
    // (see TLedgerRace::PlacesPaid), paid at the lower bound of the place odds.
    int placeRuns = 0;
    long long placePaid = 0; // yen

    void Add(const TLedgerRace& race, int runner, float winOdds);
    void Add(const TMarkTally& other);
};

// The races of one venue or one month.
struct TAreaTally {
    std::string name; // CP932
    int races = 0;
    int settled = 0;
    TBetTally bets;
};

// The running totals of the settled races up to and including one day.
struct TDayTally {
    int date = 0; // YYYYMMDD
    long long stake = 0;
    long long paid = 0;
};

struct TLedgerSummary {
    int days = 0;
    int races = 0;
    int settled = 0;
    int unknownRunners = 0; // runners without a known result
    int skippedArchives = 0;
    int daysWithoutOdds = 0;
    int firstDate = 0;
    int lastDate = 0;
    std::array<TMarkTally, kLedgerMarks> marks; // by mark position 1 to 6
    TBetTally bracketBets;                      // 枠連: fields of at most 8
    TBetTally runnerBets;                       // 馬連
    TBetTally allBets;
    std::vector<TAreaTally> venues; // in the order of their first race
    std::vector<TAreaTally> months; // in date order
    std::vector<TDayTally> running; // one per day with a settled race
    int daysWithoutResults = 0;     // days with races but none settled: not in running
    std::string timeDatabase;       // the time.dbx of the figures (CP932)
    TMarketSection market;
};

TLedgerSummary Summarize(const TLedger& ledger);
