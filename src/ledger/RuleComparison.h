#pragma once

#include "ledger/LedgerRace.h"
#include "ledger/SeasonStatistics.h"

#include <optional>
#include <span>
#include <string>
#include <vector>

// The bets of a rule and of the defaults over the same settled races, and the difference of
// their returns with its paired bootstrap 95% interval over races.
struct TRuleComparison {
    TBetTally rule;
    TBetTally defaults;
    std::optional<TReturnComparison> difference; // none when either staked nothing
};

// races and defaults hold the same races in the same order.
TRuleComparison CompareRule(std::span<const TLedgerRace> races,
                            std::span<const TLedgerRace> defaults);
// Each replay against the defaults, as CompareRule gives it, from one set of resamples.
std::vector<TRuleComparison> CompareRules(std::span<const std::vector<TLedgerRace>> replays,
                                          std::span<const TLedgerRace> defaults);

// That a rule chosen by looking at a season flatters that season, and how to check it (CP932).
std::string FlatteryNote();

// The comparison as the summary prints it, with the warning that a rule chosen by looking
// at a season flatters that season (CP932).
std::vector<std::string> RuleComparisonLines(const std::string& ruleText,
                                             const TRuleComparison& comparison,
                                             const std::string& note = FlatteryNote());
