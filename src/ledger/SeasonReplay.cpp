#include "ledger/SeasonReplay.h"

#include "platform/Format.h"
#include "season/Sqlite.h"

#include <algorithm>
#include <string>
#include <unordered_map>

namespace {

constexpr int kPairKey = 100;

} // namespace

float TSeasonReplay::TInput::PairOdds(int lower, int higher) const {
    const int key = lower * kPairKey + higher;
    const auto found =
        std::lower_bound(pairOdds.begin(), pairOdds.end(), std::pair{key, 0.0f},
                         [](const auto& a, const auto& b) { return a.first < b.first; });
    return found != pairOdds.end() && found->first == key ? found->second : 0.0f;
}

TSeasonReplay::TSeasonReplay(TSqliteDatabase& db) : m_stored(ReadStoredRaces(db)) {
    std::unordered_map<std::int64_t, std::size_t> index;
    m_inputs.resize(m_stored.races.size());
    for (std::size_t i = 0; i < m_stored.ids.size(); ++i) {
        index[m_stored.ids[i]] = i;
        const auto runners = static_cast<std::size_t>(std::max(m_stored.races[i].runners, 0));
        m_inputs[i].cells.resize(std::min<std::size_t>(runners, kMaxRunners));
        m_inputs[i].winOdds.assign(m_inputs[i].cells.size(), 0.0f);
    }
    {
        TSqliteStatement races(db, "SELECT race_id, no_bet FROM race");
        while (races.Step())
            m_inputs[index.at(races.Int64(0))].noBet = races.Int(1) != 0;
    }
    std::string sql = "SELECT race_id, number, win_odds";
    for (int j = 1; j <= TFocus::kCells; ++j)
        sql += Format(", figure%d, status%d, dirt%d", j, j, j);
    TSqliteStatement runners(db, sql + " FROM runner");
    while (runners.Step()) {
        TInput& input = m_inputs[index.at(runners.Int64(0))];
        const int number = runners.Int(1);
        if (number < 1 || number > static_cast<int>(input.cells.size()))
            continue;
        const auto r = static_cast<std::size_t>(number - 1);
        input.winOdds[r] = runners.IsNull(2) ? 0.0f : static_cast<float>(runners.Double(2));
        for (int j = 0; j < TFocus::kCells; ++j) {
            TFigureCell& cell = input.cells[r][static_cast<std::size_t>(j)];
            cell.figure = static_cast<float>(runners.Double(3 + 3 * j));
            cell.status = static_cast<std::uint8_t>(runners.Int(4 + 3 * j));
            cell.dirt = runners.Int(5 + 3 * j) != 0;
        }
    }
    // the quinella odds where the field has them, else the bracket quinella odds
    TSqliteStatement pairs(db, "SELECT race_id, kind, first, second, odds FROM pair_odds "
                               "ORDER BY race_id, kind DESC");
    std::int64_t race = -1;
    std::string kind;
    while (pairs.Step()) {
        TInput& input = m_inputs[index.at(pairs.Int64(0))];
        if (pairs.Int64(0) != race) {
            race = pairs.Int64(0);
            kind = pairs.Text(1);
        }
        if (pairs.Text(1) != kind)
            continue;
        const int a = pairs.Int(2);
        const int b = pairs.Int(3);
        input.pairOdds.emplace_back(std::min(a, b) * kPairKey + std::max(a, b),
                                    static_cast<float>(pairs.Double(4)));
    }
    for (TInput& input : m_inputs)
        std::sort(input.pairOdds.begin(), input.pairOdds.end());
}

std::vector<TLedgerRace> TSeasonReplay::Races(const TRule& rule) const {
    TFocus focus(TSem::Empty(), rule);
    std::vector<TLedgerRace> races;
    races.reserve(m_stored.races.size());
    for (std::size_t i = 0; i < m_stored.races.size(); ++i) {
        const TInput& input = m_inputs[i];
        TLedgerRace race = m_stored.races[i];
        focus.Predict(input.cells, input.noBet);
        for (int p = 1; p <= kLedgerMarks; ++p) {
            const int runner = focus.MarkedRunner(p);
            race.marked[static_cast<std::size_t>(p - 1)] = runner;
            race.winOdds[static_cast<std::size_t>(p - 1)] =
                runner != 0 ? input.winOdds[static_cast<std::size_t>(runner - 1)] : 0.0f;
        }
        std::vector<TLedgerBet> recommended;
        for (int j = 0; j < focus.BetCount(); ++j) {
            const TBetPair pair = focus.BetPair(j);
            recommended.push_back(
                {pair.lower, pair.higher, input.PairOdds(pair.lower, pair.higher)});
        }
        race.bets = BoughtTickets(rule, recommended);
        races.push_back(std::move(race));
    }
    return races;
}
