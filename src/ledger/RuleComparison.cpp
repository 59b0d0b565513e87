#include "ledger/RuleComparison.h"

#include "platform/Cp932.h"
#include "platform/Format.h"

namespace {

std::string tallyLine(const char* name, const TBetTally& t) {
    const double rate = t.stake > 0 ? 100.0 * static_cast<double>(t.paid) / t.stake : 0;
    return sjis(name) + Format(": %d", t.races) + sjis("レース ") + Format("%d", t.bets) +
           sjis("点 的中") + Format("%d", t.hits) + sjis(" 投資") + Format("%lld", t.stake) +
           sjis("円 払戻") + Format("%lld", t.paid) + sjis("円 回収率") + Format("%.1f%%", rate);
}

} // namespace

std::string FlatteryNote() {
    return sjis("注意: ある期間を見て選んだ条件は、その期間では実力以上に良く見えます。"
                "--from/--to で選んだ条件を、後の期間で --judge FROM:TO により確かめてください。");
}

TRuleComparison CompareRule(std::span<const TLedgerRace> races,
                            std::span<const TLedgerRace> defaults) {
    TRuleComparison c;
    std::vector<TPairedRace> paired;
    for (std::size_t i = 0; i < races.size() && i < defaults.size(); ++i) {
        if (!races[i].Settled())
            continue;
        TBetTally a;
        TBetTally b;
        a.Add(races[i]);
        b.Add(defaults[i]);
        c.rule.Add(a);
        c.defaults.Add(b);
        paired.push_back({a.stake, a.paid, b.stake, b.paid});
    }
    c.difference = CompareReturns(paired);
    return c;
}

std::vector<std::string> RuleComparisonLines(const std::string& ruleText,
                                             const TRuleComparison& comparison) {
    std::vector<std::string> lines{
        sjis("条件: ") + ruleText,
        tallyLine("この条件", comparison.rule),
        tallyLine("既定の条件", comparison.defaults),
    };
    if (const auto& d = comparison.difference)
        lines.push_back(
            sjis("回収率の差: ") +
            Format("%+.1f%% (95%%: %+.1f%% .. %+.1f%%)", 100 * d->difference, 100 * d->interval.low,
                   100 * d->interval.high) +
            sjis(d->interval.low <= 0 && d->interval.high >= 0 ? " 差は示されません" : ""));
    else
        lines.push_back(sjis("回収率の差: どちらかの条件で投資がありません"));
    lines.push_back(FlatteryNote());
    return lines;
}
