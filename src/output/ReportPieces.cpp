#include "output/ReportPieces.h"

#include "analysis/Focus.h"
#include "odds/Odds.h"
#include "platform/Cp932.h"
#include "platform/Format.h"
#include "platform/Version.h"
#include "race/RaceBase.h"
#include "race/RaceHelpers.h"

std::string HtmlText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

float BetOdds(const TFocus& focus, const TOdds& odds, int j) {
    TBetPair pair = focus.BetPair(j);
    return odds.OddsB(odds.QuinellaKind(), pair.lower, pair.higher);
}

const std::string& BetKindText(const TRaceBase& race) {
    return race.RunnerCount() <= 8 ? sjis("枠番連勝") : sjis("馬番連勝");
}

std::string BetPairsText(const TFocus& focus) {
    std::string text;
    for (int j = 0; j < focus.BetCount(); ++j) {
        const TBetPair pair = focus.BetPair(j);
        text +=
            (j == 0 ? "" : " ") + std::to_string(pair.lower) + "-" + std::to_string(pair.higher);
    }
    return text;
}

std::string BetLine(const TRaceBase& race, const TFocus& focus) {
    std::string line = sjis("<買い目> ");
    if (focus.BetCount() == 0)
        return line + sjis("見送り");
    line += BetKindText(race) + " ";
    for (int j = 0; j < focus.BetCount(); ++j)
        line += "  " + focus.BetText(j);
    return line;
}

std::string BetOddsLine(const TFocus& focus, const TOdds& odds) {
    std::string line = sjis("<オッズ> ") + Format("%-9s", odds.SourceText().c_str());
    for (int j = 0; j < focus.BetCount(); ++j) {
        const float value = BetOdds(focus, odds, j);
        line += value == -1.0f ? "      -" : Format(" %6.1f", static_cast<double>(value));
    }
    return line;
}

std::string FileKey(const TRaceBase& race) {
    return DayKeyToDataCode(race.DayKey());
}

std::string ReportHeaderLine() {
    return std::string("    RUV PELTON version ") + ProductVersion() + "  " + Copyright();
}
