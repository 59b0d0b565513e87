#include "ledger/RuleSweep.h"

#include "output/CsvWriter.h"
#include "platform/Cp932.h"
#include "platform/Format.h"

#include <cmath>

namespace {

double number(const std::string& text, const std::string& sweep) {
    if (const auto value = RuleNumber(text))
        return *value;
    throw ERuleError(sjis("掃引は KEY=FROM:TO:STEP で書いてください: ") + sweep);
}

double returnRate(const TBetTally& t) {
    return t.stake > 0 ? static_cast<double>(t.paid) / static_cast<double>(t.stake) : 0;
}

std::string fixed(double value, int digits) {
    return Format("%.*f", digits, value);
}

} // namespace

TRuleSweep ParseSweep(const std::string& text, const TRule& base) {
    const auto equals = text.find('=');
    const auto first = text.find(':', equals == std::string::npos ? 0 : equals);
    const auto second = first == std::string::npos ? first : text.find(':', first + 1);
    if (equals == std::string::npos || second == std::string::npos)
        throw ERuleError(sjis("掃引は KEY=FROM:TO:STEP で書いてください: ") + text);
    TRuleSweep sweep;
    sweep.key = text.substr(0, equals);
    const double from = number(text.substr(equals + 1, first - equals - 1), text);
    const double to = number(text.substr(first + 1, second - first - 1), text);
    const double step = number(text.substr(second + 1), text);
    if (!(step > 0) || to < from)
        throw ERuleError(sjis("掃引の STEP は正で、TO は FROM 以上にしてください: ") + text);
    const double count = std::floor((to - from) / step + 1e-9) + 1;
    if (count > TRuleSweep::kMaxSweepValues)
        throw ERuleError(sjis("掃引の値は ") + std::to_string(TRuleSweep::kMaxSweepValues) +
                         sjis(" 個までです: ") + text);
    for (int i = 0; i < static_cast<int>(count); ++i) {
        // the value as its text, so that 0.8 is the double a rule text of 0.8 gives
        const std::string value = Format("%.10g", from + i * step);
        TRule rule = base;
        SetRuleValue(rule, sweep.key, value);
        sweep.values.push_back(std::stod(value));
        sweep.rules.push_back(rule);
    }
    return sweep;
}

std::vector<std::string> SweepLines(const std::string& key, const std::vector<TSweepRow>& rows) {
    std::vector<std::string> lines{
        Format("%10s", key.c_str()) +
        sjis("  レース    点数  的中      投資      払戻  回収率    差   95%区間")};
    for (const TSweepRow& row : rows) {
        const TBetTally& t = row.comparison.rule;
        std::string line = Format("%10g %7d %7d %5d %9lld %9lld %6.1f%%", row.value, t.races,
                                  t.bets, t.hits, t.stake, t.paid, 100 * returnRate(t));
        if (const auto& d = row.comparison.difference)
            line += Format(" %+6.1f%% %+6.1f%%..%+6.1f%%", 100 * d->difference,
                           100 * d->interval.low, 100 * d->interval.high);
        lines.push_back(line);
    }
    return lines;
}

std::string SweepCsv(const std::vector<TSweepRow>& rows) {
    std::string csv = CsvStart({"value", "bet_races", "tickets", "hits", "stake", "return",
                                "return_rate", "diff", "diff_low", "diff_high"});
    for (const TSweepRow& row : rows) {
        const TBetTally& t = row.comparison.rule;
        const auto& d = row.comparison.difference;
        TCsvRow line;
        line.Number(Format("%.10g", row.value))
            .Number(t.races)
            .Number(t.bets)
            .Number(t.hits)
            .Number(t.stake)
            .Number(t.paid)
            .Number(t.stake > 0 ? fixed(returnRate(t), 4) : "")
            .Number(d ? fixed(d->difference, 4) : "")
            .Number(d ? fixed(d->interval.low, 4) : "")
            .Number(d ? fixed(d->interval.high, 4) : "");
        csv += line.Line();
    }
    return csv;
}
