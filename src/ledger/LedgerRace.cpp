#include "ledger/LedgerRace.h"

#include "platform/Cp932.h"

#include <algorithm>
#include <cmath>

std::vector<TLedgerBet> BoughtTickets(const TRule& rule, const std::vector<TLedgerBet>& bets) {
    std::vector<TLedgerBet> bought;
    for (const TLedgerBet& bet : bets) {
        if (static_cast<int>(bought.size()) >= rule.tickets)
            break;
        if (rule.minOdds <= 0 || (bet.odds > 0 && bet.odds >= rule.minOdds))
            bought.push_back(bet);
    }
    return bought;
}

std::string runResult::Text(int result) {
    if (IsPlace(result))
        return std::to_string(result);
    switch (result) {
    case kFell: return sjis("落馬");
    case kDisqualified: return sjis("失格");
    case kNotFinished: return sjis("中止");
    case kScratched: return sjis("取消");
    case kExcluded: return sjis("除外");
    default: return {};
    }
}

int TLedgerRace::Result(int runner) const {
    const auto index = static_cast<std::size_t>(runner - 1);
    return runner >= 1 && index < results.size() ? results[index] : runResult::kUnknown;
}

namespace {

// The runner numbers with this result, lowest first.
std::vector<int> runnersPlaced(const TLedgerRace& race, int place) {
    std::vector<int> found;
    for (std::size_t k = 0; k < race.results.size(); ++k)
        if (race.results[k] == place)
            found.push_back(static_cast<int>(k) + 1);
    return found;
}

} // namespace

int TLedgerRace::First() const {
    const std::vector<int> winners = runnersPlaced(*this, 1);
    return winners.empty() ? 0 : winners[0];
}

int TLedgerRace::Second() const {
    const std::vector<int> winners = runnersPlaced(*this, 1);
    if (winners.size() > 1)
        return winners[1];
    const std::vector<int> seconds = runnersPlaced(*this, 2);
    return seconds.empty() ? 0 : seconds[0];
}

bool TLedgerRace::TopThreeKnown() const {
    return std::count_if(results.begin(), results.end(), [](int r) { return r >= 1 && r <= 3; }) >=
           3;
}

bool TLedgerRace::IsRefunded(const TLedgerBet& bet) const {
    return runResult::IsRefunded(Result(bet.lower)) || runResult::IsRefunded(Result(bet.higher));
}

bool TLedgerRace::IsHit(const TLedgerBet& bet) const {
    const int a = std::min(Result(bet.lower), Result(bet.higher));
    const int b = std::max(Result(bet.lower), Result(bet.higher));
    return a == 1 && (b == 1 || b == 2);
}

long long TicketReturn(float odds) {
    return std::llround(static_cast<double>(odds) * kTicketYen);
}

void TBetTally::Add(const TLedgerRace& race) {
    int placed = 0;
    int hit = 0;
    for (const TLedgerBet& bet : race.bets) {
        if (race.IsRefunded(bet))
            continue;
        ++placed;
        const bool hasOdds = bet.odds > 0;
        if (hasOdds)
            stake += kTicketYen;
        if (race.IsHit(bet)) {
            ++hit;
            if (hasOdds)
                paid += TicketReturn(bet.odds);
        }
    }
    bets += placed;
    hits += hit;
    races += placed > 0 ? 1 : 0;
    racesHit += hit > 0 ? 1 : 0;
}

void TBetTally::Add(const TBetTally& other) {
    races += other.races;
    bets += other.bets;
    hits += other.hits;
    racesHit += other.racesHit;
    stake += other.stake;
    paid += other.paid;
}

bool InRange(int date, const TLedgerRange& range) {
    return date >= range.from && (range.to == 0 || date <= range.to);
}
