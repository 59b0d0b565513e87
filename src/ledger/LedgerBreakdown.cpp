#include "ledger/LedgerBreakdown.h"

#include "output/CsvWriter.h"
#include "platform/Cp932.h"
#include "platform/Format.h"
#include "race/RaceCode.h"

#include <algorithm>
#include <cmath>
#include <tuple>

namespace {

// The first band whose upper bound (inclusive) holds value; the last band otherwise.
struct TBand {
    long long upTo;
    const char* name;
};

template <std::size_t N> TDimensionValue banded(long long value, const TBand (&bands)[N]) {
    for (std::size_t i = 0; i + 1 < N; ++i)
        if (value <= bands[i].upTo)
            return {static_cast<int>(i), sjis(bands[i].name)};
    return {static_cast<int>(N - 1), sjis(bands[N - 1].name)};
}

TDimensionValue venueValue(const TLedgerRace& race) {
    const std::vector<TCodeEntry>& rows = VenueTable().Rows();
    const auto found = std::find_if(rows.begin(), rows.end(),
                                    [&race](const TCodeEntry& e) { return e.name == race.venue; });
    return {static_cast<int>(found - rows.begin()), race.venue};
}

// A jump race is known from its age condition (障害...), whatever its surface code says.
TDimensionValue surfaceValue(const TLedgerRace& race) {
    static const std::string& jump = sjis("障害");
    if (LookupCode(race.ageCondition, AgeConditionTable()).starts_with(jump))
        return {2, jump};
    if (race.surface == sjis("芝"))
        return {0, race.surface};
    if (race.surface == sjis("ダート"))
        return {1, race.surface};
    return {3, sjis("不明")};
}

// 新馬, 未勝利, the N万 classes by N, オープン, the graded races G3 to G1, and その他 for any
// other code.
TDimensionValue classValue(const TLedgerRace& race) {
    constexpr int kOpen = 100000;
    const std::string grade = LookupCode(race.gradeCode, GradeTable());
    if (!grade.empty())
        return {kOpen + 4 - (grade.back() - '0'), grade};
    const std::string name = LookupCode(race.classCode, ClassTable());
    for (const auto& [rank, known] : {std::pair{1, "新馬"}, {2, "未勝利"}, {kOpen, "オープン"}})
        if (name == sjis(known))
            return {rank, name};
    const bool digits =
        race.classCode.size() == 5 && std::all_of(race.classCode.begin(), race.classCode.end(),
                                                  [](char c) { return c >= '0' && c <= '9'; });
    // the classes by prize money: hundreds of 万 in the first four digits, a 0 after them
    if (name.empty() && digits && race.classCode.back() == '0') {
        const int tenThousands = FieldToInt(std::string_view(race.classCode).substr(0, 4));
        if (tenThousands > 0 && tenThousands % 100 == 0)
            return {10 + tenThousands, ClassText(race.classCode)};
    }
    return {kOpen + 10, sjis("その他")};
}

TDimensionValue topOddsValue(const TLedgerRace& race) {
    static const TBand bands[] = {
        {19, "～1.9"}, {39, "2.0～3.9"}, {69, "4.0～6.9"}, {149, "7.0～14.9"}, {0, "15.0～"}};
    const float odds = race.winOdds[0];
    if (race.marked[0] == 0 || odds <= 0)
        return {static_cast<int>(std::size(bands)), sjis("なし")};
    return banded(std::llround(static_cast<double>(odds) * 10), bands);
}

} // namespace

const char* DimensionKey(TDimension dimension) {
    static const char* const keys[] = {"venue", "surface", "distance", "class",
                                       "field", "month",   "top_odds", "leader"};
    return keys[static_cast<int>(dimension)];
}

const std::string& DimensionName(TDimension dimension) {
    static const char* const names[] = {"場",   "芝・ダート", "距離",          "クラス",
                                        "頭数", "月",         "◎の単勝オッズ", "予想の形"};
    return sjis(names[static_cast<int>(dimension)]);
}

TDimensionValue DimensionValue(TDimension dimension, const TLedgerRace& race) {
    switch (dimension) {
    case TDimension::Venue: return venueValue(race);
    case TDimension::Surface: return surfaceValue(race);
    case TDimension::Distance: {
        static const TBand bands[] = {
            {1400, "～1400m"}, {1800, "1401～1800m"}, {2200, "1801～2200m"}, {0, "2201m～"}};
        return race.distance <= 0 ? TDimensionValue{9, sjis("不明")} : banded(race.distance, bands);
    }
    case TDimension::Class: return classValue(race);
    case TDimension::Field: {
        static const TBand bands[] = {{8, "～8頭"}, {12, "9～12頭"}, {0, "13～18頭"}};
        return banded(race.runners, bands);
    }
    case TDimension::Month:
        return {race.date / 100, Format("%d-%.2d", race.date / 10000, race.date / 100 % 100)};
    case TDimension::TopOdds: return topOddsValue(race);
    case TDimension::Leader:
        return race.clearLeader ? TDimensionValue{0, sjis("本命明確")}
                                : TDimensionValue{1, sjis("混戦")};
    }
    return {};
}

void TBreakdownFigures::Add(const TLedgerRace& race) {
    ++races;
    const int top = race.marked[0];
    const int result = race.Result(top);
    if (top != 0 && result != runResult::kUnknown && !runResult::IsRefunded(result)) {
        ++topRuns;
        topWon += result == 1 ? 1 : 0;
        topTopTwo += result == 1 || result == 2 ? 1 : 0;
        topTopThree += result >= 1 && result <= 3 ? 1 : 0;
        if (race.winOdds[0] > 0) {
            topWinStake += kTicketYen;
            topWinPaid += result == 1 ? TicketReturn(race.winOdds[0]) : 0;
        }
    }
    if (race.Settled()) {
        ++settled;
        bets.Add(race);
    }
}

std::vector<TBreakdown> Breakdowns(const std::vector<TLedgerRace>& races) {
    std::vector<TBreakdown> breakdowns;
    for (TDimension dimension : kDimensions) {
        TBreakdown breakdown{dimension, {}};
        for (const TLedgerRace& race : races) {
            TDimensionValue value = DimensionValue(dimension, race);
            auto found = std::find_if(
                breakdown.rows.begin(), breakdown.rows.end(),
                [&value](const TBreakdownRow& row) { return row.value.name == value.name; });
            if (found == breakdown.rows.end())
                found = breakdown.rows.insert(breakdown.rows.end(), {std::move(value), {}});
            found->figures.Add(race);
        }
        std::stable_sort(breakdown.rows.begin(), breakdown.rows.end(),
                         [](const TBreakdownRow& a, const TBreakdownRow& b) {
                             return std::tie(a.value.rank, a.value.name) <
                                    std::tie(b.value.rank, b.value.name);
                         });
        breakdowns.push_back(std::move(breakdown));
    }
    return breakdowns;
}

std::string BreakdownCsv(const std::vector<TBreakdown>& breakdowns) {
    std::string csv = CsvStart({"dimension", "value", "races", "settled", "top_runs", "top_won",
                                "top_top2", "top_top3", "top_win_stake", "top_win_return",
                                "bet_races", "tickets", "hits", "stake", "return"});
    for (const TBreakdown& breakdown : breakdowns)
        for (const TBreakdownRow& row : breakdown.rows) {
            const TBreakdownFigures& f = row.figures;
            TCsvRow line;
            line.Text(DimensionKey(breakdown.dimension)).Text(toUtf8Lenient(row.value.name));
            for (long long n :
                 {static_cast<long long>(f.races), static_cast<long long>(f.settled),
                  static_cast<long long>(f.topRuns), static_cast<long long>(f.topWon),
                  static_cast<long long>(f.topTopTwo), static_cast<long long>(f.topTopThree),
                  f.topWinStake, f.topWinPaid, static_cast<long long>(f.bets.races),
                  static_cast<long long>(f.bets.bets), static_cast<long long>(f.bets.hits),
                  f.bets.stake, f.bets.paid})
                line.Number(n);
            csv += line.Line();
        }
    return csv;
}

TLedgerTable BreakdownTable(const TBreakdown& breakdown) {
    TLedgerTable table;
    for (const char* heading : {"レース", "確定", "◎出走", "◎1着", "◎勝率", "◎連対率", "◎複勝率",
                                "◎単回収率", "購入R", "点数", "的中", "投資", "払戻", "回収率"})
        table.headings.push_back(sjis(heading));
    table.headings.insert(table.headings.begin(), DimensionName(breakdown.dimension));
    for (const TBreakdownRow& row : breakdown.rows) {
        const TBreakdownFigures& f = row.figures;
        const TBetTally& b = f.bets;
        table.rows.push_back(
            {row.value.name, std::to_string(f.races), std::to_string(f.settled),
             std::to_string(f.topRuns), std::to_string(f.topWon), RateText(f.topWon, f.topRuns),
             RateText(f.topTopTwo, f.topRuns), RateText(f.topTopThree, f.topRuns),
             RateText(f.topWinPaid, f.topWinStake), std::to_string(b.races), std::to_string(b.bets),
             std::to_string(b.hits), GroupedDigits(b.stake), GroupedDigits(b.paid),
             RateText(b.paid, b.stake)});
    }
    return table;
}
