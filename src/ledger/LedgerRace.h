#pragma once

#include "analysis/Rule.h"
#include "race/RaceBase.h"
#include "race/RaceRecords.h"

#include <array>
#include <string>
#include <vector>

// A runner's result as a later day's horse record gives it: the place 1 to 18, or one of
// the abnormal-result codes below; 0 when no later day in the folder holds it.
namespace runResult {
constexpr int kUnknown = 0;
constexpr int kLastPlace = kMaxRunners;
using pastRunBlock::kDisqualified;
using pastRunBlock::kExcluded;
using pastRunBlock::kFell;
using pastRunBlock::kNotFinished;
using pastRunBlock::kScratched;

constexpr bool IsPlace(int result) {
    return result >= 1 && result <= kLastPlace;
}
// 取消 and 除外: the runner did not run, and every bet that includes it is refunded.
constexpr bool IsRefunded(int result) {
    return result == kScratched || result == kExcluded;
}
// Any other code is unknown.
constexpr int Normalized(int code) {
    return IsPlace(code) || (code >= kFell && code <= kExcluded) ? code : kUnknown;
}
// The place number, 落馬 失格 中止 取消 除外, or empty when unknown (CP932).
std::string Text(int result);
} // namespace runResult

// One recommended bet: a pair of runner numbers (bracket numbers in a field of at most 8,
// where each bracket holds one runner) with the odds of the snapshot; no odds: 0 or less.
struct TLedgerBet {
    int lower = 0;
    int higher = 0;
    float odds = 0;
};

// The tickets a rule buys of a race's recommended bets, in slot order: those whose odds
// reach min-odds (all when it is 0; none without odds otherwise), then the first `tickets`.
std::vector<TLedgerBet> BoughtTickets(const TRule& rule, const std::vector<TLedgerBet>& bets);

// The days whose races the ledger keeps; 0 leaves that end open.
struct TLedgerRange {
    int from = 0; // YYYYMMDD
    int to = 0;
};

bool InRange(int date, const TLedgerRange& range);

// The number of marks the ledger keeps: ◎ ○ ▲ △ × ×.
constexpr int kLedgerMarks = 6;

// One race as the ledger keeps it: what the program predicted with the odds it read, and
// the runners' results once later days have given them.
struct TLedgerRace {
    int date = 0; // YYYYMMDD
    std::string venue;
    int number = 0; // race number
    int runners = 0;
    std::array<int, kLedgerMarks> marked{};    // the runner holding mark position 1..6; 0: none
    std::array<float, kLedgerMarks> winOdds{}; // those runners' win odds; 0 or less: none
    std::vector<TLedgerBet> bets;              // empty: 見送り
    std::vector<int> results;                  // by runner index: runResult codes

    // In a field of at most 8 each bracket holds one runner, and the bets are bracket
    // quinellas (枠連); in larger fields they are quinellas (馬連).
    bool HasBracketBets() const { return runners <= 8; }

    int Result(int runner) const;
    // Runner numbers placed 1 and 2; in a dead heat for first both are placed 1, the lower
    // number in First. 0 when unknown.
    int First() const;
    int Second() const;
    // The first two places are known, so the race counts in the rates.
    bool Settled() const { return First() != 0 && Second() != 0; }
    // The first three places are known.
    bool TopThreeKnown() const;

    bool IsRefunded(const TLedgerBet& bet) const;
    // The bet's two runners are the first two places.
    bool IsHit(const TLedgerBet& bet) const;
};

// What a settled race gives its bets: refunded bets are left out of everything; the
// stake is 100 yen a bet with odds, the return the odds of each hit bet times 100 yen.
struct TBetTally {
    int races = 0; // races with at least one bet that is not refunded
    int bets = 0;  // bets not refunded
    int hits = 0;
    int racesHit = 0;
    long long stake = 0; // yen
    long long paid = 0;  // yen

    void Add(const TLedgerRace& race);
    void Add(const TBetTally& other);
};

// The return of a 100-yen ticket at these odds, rounded to the yen.
long long TicketReturn(float odds);
constexpr long long kTicketYen = 100;
