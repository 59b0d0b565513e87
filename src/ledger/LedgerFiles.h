#pragma once

#include "ledger/LedgerBreakdown.h"
#include "ledger/LedgerChart.h"
#include "ledger/LedgerSummary.h"
#include "ledger/SeasonLedger.h"
#include "output/CsvWriter.h"

#include <filesystem>
#include <string>
#include <vector>

// ledger.csv: UTF-8 with a byte-order mark, CR LF line ends, a heading row and one row per
// race: date, venue, race, runners, kind, mark1-6, pos1-6, first, second, settled, bets,
// hits, stake, return. hits, stake and return are empty for a race that is not settled.
std::string LedgerCsv(const TLedger& ledger);
// One race's row of ledger.csv (UTF-8); an empty cell is an empty field.
TCsvRow LedgerCsvRow(const TLedgerRace& race);

// A section ledger.html adds after its own: a heading, lines shown as they stand, and a
// chart when it has lines (texts in CP932).
struct THtmlSection {
    std::string title;
    std::vector<std::string> lines;
    TChart chart;
};

// ledger.html: one self-contained UTF-8 page without scripts: the overview, the mark and
// bet tables, the tables by venue and by month, the breakdowns, the chart as inline SVG,
// the comparison with the market with its reliability chart, then the sections of more.
std::string LedgerHtml(const TLedgerSummary& summary,
                       const std::vector<TBreakdown>& breakdowns = {},
                       const std::vector<THtmlSection>& more = {});

// The summary as the batch tool prints it: the overview, the two tables, the sentence on
// the difference of the win returns of ◎ and the favourite (with marketTables, every table
// of the comparison with the market instead), and the note on the odds (CP932 lines).
std::vector<std::string> SummaryLines(const TLedgerSummary& summary, bool marketTables = false);

// Writes the files of a ledger run (ledger.csv, breakdown.csv, ledger.html, market.csv,
// calibration.csv) into folder, all together: each is written beside its place first, and
// none replaces its old file unless every one could be written. Nothing else is written.
// Returns their paths. Throws EInOutError naming the file that failed.
std::vector<std::filesystem::path> WriteLedgerFiles(const TLedger& ledger,
                                                    const TLedgerSummary& summary,
                                                    const std::filesystem::path& folder,
                                                    const std::vector<THtmlSection>& more = {});
