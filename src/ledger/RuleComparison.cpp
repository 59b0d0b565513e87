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

std::vector<TRuleComparison> compareEach(const std::vector<std::span<const TLedgerRace>>& replays,
                                         std::span<const TLedgerRace> defaults) {
    // the settled races, which every replay shares with the defaults
    std::vector<std::size_t> settled;
    for (std::size_t i = 0; i < defaults.size(); ++i)
        if (defaults[i].Settled())
            settled.push_back(i);
    auto money = [&settled](std::span<const TLedgerRace> races, TBetTally& total) {
        std::vector<TRaceMoney> each;
        for (std::size_t i : settled) {
            TBetTally race;
            if (i < races.size())
                race.Add(races[i]);
            total.Add(race);
            each.push_back({race.stake, race.paid});
        }
        return each;
    };
    std::vector<TRuleComparison> comparisons(replays.size());
    TBetTally defaultsTally;
    const std::vector<TRaceMoney> baseline = money(defaults, defaultsTally);
    std::vector<std::vector<TRaceMoney>> strategies;
    for (std::size_t k = 0; k < replays.size(); ++k) {
        strategies.push_back(money(replays[k], comparisons[k].rule));
        comparisons[k].defaults = defaultsTally;
    }
    const auto differences = CompareEachReturn(strategies, baseline);
    for (std::size_t k = 0; k < replays.size(); ++k)
        comparisons[k].difference = differences[k];
    return comparisons;
}

} // namespace

std::string FlatteryNote() {
    return sjis("注意: ある期間を見て選んだ条件は、その期間では実力以上に良く見えます。"
                "--from/--to で選んだ条件を、後の期間で --judge FROM:TO により確かめてください。");
}

TRuleComparison CompareRule(std::span<const TLedgerRace> races,
                            std::span<const TLedgerRace> defaults) {
    return compareEach({races}, defaults).front();
}

std::vector<TRuleComparison> CompareRules(std::span<const std::vector<TLedgerRace>> replays,
                                          std::span<const TLedgerRace> defaults) {
    return compareEach({replays.begin(), replays.end()}, defaults);
}

std::vector<std::string> RuleComparisonLines(const std::string& ruleText,
                                             const TRuleComparison& comparison,
                                             const std::string& note) {
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
    lines.push_back(note);
    return lines;
}
