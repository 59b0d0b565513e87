#include "ledger/SeasonReplay.h"

#include "platform/Format.h"
#include "platform/Cp932.h"
#include "season/SeasonStore.h"
#include "season/Sqlite.h"

#include <algorithm>
#include <charconv>
#include <string_view>
#include <stdexcept>
#include <string>
#include <unordered_map>

namespace {

constexpr int kPairKey = 100;

// Appends the pairs of a race's odds, stored as the JSON array [[first, second, odds], ...];
// reading the text directly is many times faster than the store's view of it.
void readPairs(std::string_view json, std::vector<std::pair<int, float>>& pairs) {
    const char* p = json.data();
    const char* const end = p + json.size();
    auto next = [&p, end](auto& value) {
        while (p < end && (*p == '[' || *p == ']' || *p == ',' || *p == ' '))
            ++p;
        const auto [ptr, ec] = std::from_chars(p, end, value);
        p = ptr;
        return ec == std::errc{};
    };
    int a = 0;
    int b = 0;
    float odds = 0;
    while (next(a) && next(b) && next(odds))
        pairs.emplace_back(std::min(a, b) * kPairKey + std::max(a, b), odds);
}

} // namespace

float TSeasonReplay::TInput::PairOdds(int lower, int higher) const {
    const int key = lower * kPairKey + higher;
    const auto found =
        std::lower_bound(pairOdds.begin(), pairOdds.end(), std::pair{key, 0.0f},
                         [](const auto& a, const auto& b) { return a.first < b.first; });
    return found != pairOdds.end() && found->first == key ? found->second : 0.0f;
}

TSeasonReplay::TSeasonReplay(const std::filesystem::path& store) {
    if (!std::filesystem::is_regular_file(store))
        throw std::runtime_error(toCp932Lenient(store.string()) +
                                 sjis(": 成績データベースがありません"));
    TSqliteDatabase db(store, TSeasonStore::kBusyMilliseconds);
    *this = TSeasonReplay(db);
}

TSeasonReplay::TSeasonReplay(TSqliteDatabase& db) : TSeasonReplay(db, TSqliteReadTransaction(db)) {}

TSeasonReplay::TSeasonReplay(TSqliteDatabase& db, const TSqliteReadTransaction&)
    : m_stored(ReadStoredRaces(db)) {
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
    TSqliteStatement pairs(db, "SELECT race_id, quinella_odds, bracket_odds FROM race");
    while (pairs.Step()) {
        TInput& input = m_inputs[index.at(pairs.Int64(0))];
        readPairs(pairs.Text(1), input.pairOdds);
        if (input.pairOdds.empty())
            readPairs(pairs.Text(2), input.pairOdds);
    }
    for (TInput& input : m_inputs)
        std::sort(input.pairOdds.begin(), input.pairOdds.end());
}

std::vector<TLedgerRace> TSeasonReplay::Races(const TRule& rule, const TLedgerRange& range) const {
    return std::move(Replays({rule}, range).front());
}

std::vector<std::vector<TLedgerRace>> TSeasonReplay::Replays(const std::vector<TRule>& rules,
                                                             const TLedgerRange& range) const {
    // rules that differ in their ticket filters only share one prediction of each race; the
    // defaults are the day's own prediction, as stored
    std::vector<std::pair<TRule, std::vector<std::size_t>>> predictions;
    for (std::size_t k = 0; k < rules.size(); ++k) {
        if (rules[k] == TRule{})
            continue;
        TRule prediction = rules[k];
        prediction.minOdds = TRule{}.minOdds;
        prediction.tickets = TRule{}.tickets;
        auto same = std::find_if(predictions.begin(), predictions.end(),
                                 [&](const auto& p) { return p.first == prediction; });
        if (same == predictions.end())
            same = predictions.insert(same, {prediction, {}});
        same->second.push_back(k);
    }
    std::vector<std::vector<TLedgerRace>> replays(rules.size());
    std::vector<TFocus> foci;
    foci.reserve(predictions.size());
    for (const auto& [prediction, kept] : predictions)
        foci.emplace_back(TSem::Empty(), prediction);
    for (std::size_t i = 0; i < m_stored.races.size(); ++i) {
        if (!InRange(m_stored.days[i], range))
            continue;
        for (std::size_t k = 0; k < rules.size(); ++k)
            if (rules[k] == TRule{})
                replays[k].push_back(m_stored.races[i]);
        const TInput& input = m_inputs[i];
        for (std::size_t p = 0; p < predictions.size(); ++p) {
            TFocus& focus = foci[p];
            focus.Predict(input.cells, input.noBet);
            TLedgerRace race = m_stored.races[i];
            race.clearLeader = focus.BetSteps().clearLeader;
            for (int m = 1; m <= kLedgerMarks; ++m) {
                const int runner = focus.MarkedRunner(m);
                race.marked[static_cast<std::size_t>(m - 1)] = runner;
                race.winOdds[static_cast<std::size_t>(m - 1)] =
                    runner != 0 ? input.winOdds[static_cast<std::size_t>(runner - 1)] : 0.0f;
            }
            std::vector<TLedgerBet> recommended;
            for (int j = 0; j < focus.BetCount(); ++j) {
                const TBetPair pair = focus.BetPair(j);
                recommended.push_back(
                    {pair.lower, pair.higher, input.PairOdds(pair.lower, pair.higher)});
            }
            for (std::size_t k : predictions[p].second) {
                race.bets = BoughtTickets(rules[k], recommended);
                replays[k].push_back(race);
            }
        }
    }
    return replays;
}
