#include "ledger/LedgerRace.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Six bets in slot order, the fourth without odds.
const std::vector<TLedgerBet> kSlots{{1, 2, 3.5f}, {1, 3, 12.0f}, {1, 4, 10.0f},
                                     {1, 5, 0.0f}, {1, 6, 40.0f}, {2, 3, 9.9f}};

TEST(TicketRule, MinOddsComesFirstThenTheFirstTickets) {
    struct TCase {
        const char* rule;
        std::vector<int> bought; // the higher runner of each bought bet
    };
    const TCase cases[] = {
        {"", {2, 3, 4, 5, 6, 3}}, {"min-odds=10", {3, 4, 6}}, {"min-odds=10,tickets=2", {3, 4}},
        {"tickets=3", {2, 3, 4}}, {"tickets=0", {}},          {"min-odds=0.1", {2, 3, 4, 6, 3}},
        {"min-odds=50", {}},
    };
    for (const TCase& c : cases) {
        std::vector<int> bought;
        for (const TLedgerBet& bet : BoughtTickets(ParseRule(c.rule), kSlots))
            bought.push_back(bet.higher);
        EXPECT_EQ(bought, c.bought) << c.rule;
    }
}

} // namespace
