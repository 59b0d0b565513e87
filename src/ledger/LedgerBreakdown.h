#pragma once

#include "ledger/LedgerRace.h"
#include "ledger/LedgerTables.h"

#include <string>
#include <utility>
#include <vector>

// The conditions a season's races are broken down by.
enum class TDimension { Venue, Surface, Distance, Class, Field, Month, TopOdds, Leader };
constexpr TDimension kDimensions[] = {
    TDimension::Venue, TDimension::Surface, TDimension::Distance, TDimension::Class,
    TDimension::Field, TDimension::Month,   TDimension::TopOdds,  TDimension::Leader};

// The dimension's name in breakdown.csv (ASCII) and as a heading (CP932).
const char* DimensionKey(TDimension dimension);
const std::string& DimensionName(TDimension dimension);

// The value a race takes in a dimension (CP932), after the rank that orders the values.
struct TDimensionValue {
    int rank = 0;
    std::string name;
};
TDimensionValue DimensionValue(TDimension dimension, const TLedgerRace& race);

// The figures of the races that take one value.
struct TBreakdownFigures {
    int races = 0;
    int settled = 0;
    int topRuns = 0; // races where ◎ ran and its result is known
    int topWon = 0;
    int topTopTwo = 0;
    int topTopThree = 0;
    long long topWinStake = 0; // yen: 100 for each of those runs with win odds
    long long topWinPaid = 0;
    TBetTally bets; // the settled races' bets

    void Add(const TLedgerRace& race);
};

struct TBreakdownRow {
    TDimensionValue value;
    TBreakdownFigures figures;
};

struct TBreakdown {
    TDimension dimension;
    std::vector<TBreakdownRow> rows; // by rank, then name
};

// One breakdown per dimension, in the order of kDimensions.
std::vector<TBreakdown> Breakdowns(const std::vector<TLedgerRace>& races);

// breakdown.csv: UTF-8 with a byte-order mark, CR LF line ends, a heading row and one row
// per value of each dimension; amounts in yen.
std::string BreakdownCsv(const std::vector<TBreakdown>& breakdowns);

// A breakdown as the window and ledger.html show it, with its rates.
TLedgerTable BreakdownTable(const TBreakdown& breakdown);
