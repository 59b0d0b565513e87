#pragma once

#include "analysis/Rule.h"
#include "ledger/LedgerChart.h"
#include "ledger/LedgerRace.h"
#include "ledger/RuleComparison.h"
#include "ledger/RuleSweep.h"

#include <optional>
#include <string>
#include <vector>

class TSeasonReplay;

// Another rule asked of a season: the rule, or a sweep of one of its keys over the rule, on
// the days it is chosen on, and a later range of days to judge the choice on.
struct TWhatIf {
    TRule rule;
    std::optional<TRuleSweep> sweep;
    TLedgerRange chosen;
    std::optional<TLedgerRange> judge;
};

// Throws ERuleError (CP932) unless judge begins after chosen ends and ends no earlier than
// it begins: a rule is judged on days it was not chosen on.
void CheckJudgeRange(const TLedgerRange& chosen, const TLedgerRange& judge);

// Each comparison is with the defaults over the same races.
struct TWhatIfAnswer {
    std::optional<TRuleComparison> rule; // on the chosen days, when the rule is not the defaults
    std::vector<TSweepRow> sweep;        // on the chosen days, a row per value
    std::optional<TRuleComparison> judgedRule; // on the judge's days, without a sweep
    std::vector<TSweepRow> judgedSweep;        // on the judge's days, with a sweep
    bool judgeHasRaces = false;
};

// Replays from the store's inputs only: nothing is read.
TWhatIfAnswer AnswerWhatIf(const TSeasonReplay& replay, const TWhatIf& question);

// The answer as the tool prints it and the window shows it (CP932 lines), each part with
// note, the warning that a rule chosen by looking at a season flatters that season.
std::vector<std::string> WhatIfLines(const TWhatIf& question, const TWhatIfAnswer& answer,
                                     const std::string& note = FlatteryNote());

// A sweep's return rate against the value, with the 95% interval of its difference from
// the defaults as a band around the defaults' return, the defaults' value marked, and the
// judge's days as a second line when there are any.
TChart SweepChart(const TWhatIf& question, const TWhatIfAnswer& answer);
