#pragma once

#include "analysis/Rule.h"
#include "ledger/RuleComparison.h"

#include <filesystem>
#include <string>
#include <vector>

// "KEY=FROM:TO:STEP": one rule per value from FROM to TO by STEP, each the base rule with
// KEY set. Throws ERuleError (CP932) for a text of another form, a step that is not
// positive, more than kMaxSweepValues values or a value out of the key's range.
struct TRuleSweep {
    static constexpr int kMaxSweepValues = 200;
    std::string key;
    std::vector<double> values;
    std::vector<TRule> rules;
};
TRuleSweep ParseSweep(const std::string& text, const TRule& base = {});

// One row of a sweep: the value, what its rule bet and got, and the difference of its
// return rate from the defaults' with the 95% interval.
struct TSweepRow {
    double value = 0;
    TRuleComparison comparison;
};

// The rows as the tool prints them (CP932), heading first.
std::vector<std::string> SweepLines(const std::string& key, const std::vector<TSweepRow>& rows);
// sweep.csv: value,bet_races,tickets,hits,stake,return,return_rate,diff,diff_low,diff_high.
std::string SweepCsv(const std::vector<TSweepRow>& rows);
