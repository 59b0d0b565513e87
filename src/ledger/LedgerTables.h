#pragma once

#include "ledger/LedgerSummary.h"
#include "season/SeasonFolder.h" // DateText

#include <string>
#include <vector>

// The ledger's summary as the printed summary, the HTML page and the ledger window show
// it: tables of CP932 cell texts whose first column names the row and whose other
// columns are numbers, and the lines around them.
struct TLedgerTable {
    std::vector<std::string> headings;
    std::vector<std::vector<std::string>> rows;
};

// ◎ ○ ▲ △ ×5 ×6 and × (both): runners, wins and win rate, top two and its rate, top three
// over the races whose third place is known, the win return rate, and the place return
// with the runs it rests on ("—" when none had place odds).
TLedgerTable MarkTable(const TLedgerSummary& summary);
// 枠連, 馬連 and all bets.
TLedgerTable BetTable(const TLedgerSummary& summary);
// The races and bets by venue and by month.
TLedgerTable VenueBetTable(const TLedgerSummary& summary);
TLedgerTable MonthBetTable(const TLedgerSummary& summary);

// One row per race: date, venue, race, runners, the marks (◎3 ○7 ...), first and second,
// the bets, and for a settled race the hits, stake and return.
TLedgerTable RaceListTable(const std::vector<const TLedgerRace*>& races);

// The period, the days, the races (settled and not), the runners without a known
// result and, when there are any, the archives that could not be read.
std::string OverviewText(const TLedgerSummary& summary);
// "タイムデータ: FILE", the time database the figures, and so the marks, were computed with.
std::string TimeDatabaseText(const TLedgerSummary& summary);
// Said wherever a return is shown: it uses the odds of the snapshot.
const std::string& SnapshotNote();
// Said under the mark table: how the place return is computed.
const std::string& PlaceNote();

// A rate in percent with one decimal; "-" when there is nothing to divide by.
std::string RateText(long long part, long long whole);
// A number with a comma every three digits, as amounts of yen are shown.
std::string GroupedDigits(long long value);
// The table as lines of text: columns padded to their widest cell (bytes, which CP932
// makes the width on a terminal), the first column left-aligned and the rest right-aligned.
std::vector<std::string> TableLines(const TLedgerTable& table);
