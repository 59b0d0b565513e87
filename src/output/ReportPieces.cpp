#include "output/ReportPieces.h"

#include "analysis/Focus.h"
#include "odds/Odds.h"
#include "platform/Cp932.h"
#include "platform/Format.h"
#include "platform/Version.h"
#include "race/RaceBase.h"
#include "race/RaceHelpers.h"

TWinOdds WinOddsOf(const TOdds& odds, int r, float& value) {
    if (odds.Count() == 0)
        return TWinOdds::None;
    value = odds.OddsA(0, r);
    return value == -1.0f ? TWinOdds::Scratched : TWinOdds::Value;
}

float BetOdds(const TFocus& focus, const TOdds& odds, int j) {
    TBetPair pair = focus.BetPair(j);
    return odds.OddsB(odds.QuinellaKind(), pair.lower, pair.higher);
}

const std::string& BetKindText(const TRaceBase& race) {
    return race.RunnerCount() <= 8 ? sjis("枠番連勝") : sjis("馬番連勝");
}

std::string RankText(const TFocus& focus, int r) {
    int rank = focus.MarkNo(r);
    return rank == 0 ? " " : std::to_string(rank);
}

std::string FileKey(const TRaceBase& race) {
    return DayKeyToDataCode(race.DayKey());
}

std::string ReportHeaderLine() {
    return std::string("    RUV PELTON version ") + ProductVersion() + "  " + Copyright();
}
