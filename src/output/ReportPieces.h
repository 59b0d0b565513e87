#pragma once

#include "output/OutputRun.h"

#include <string>
#include <string_view>

// Pieces that the text report, the HTML report and the race view share.

// text as HTML text: & < > and " become references. Byte by byte, which suits CP932 as
// well as UTF-8, since none of these bytes is ever the second byte of a character.
std::string HtmlText(std::string_view text);

// The odds of bet slot j under the container's quinella kind; -1 when the pair has none.
float BetOdds(const TFocus& focus, const TOdds& odds, int j);

// "枠番連勝" for fields of up to 8 runners, whose bets are bracket quinellas; else "馬番連勝".
const std::string& BetKindText(const TRaceBase& race);

// The bets as pairs of numbers, "1-5 1-7"; empty when there is no bet.
std::string BetPairsText(const TFocus& focus);

// "<買い目> " and the bets under their kind, or 見送り.
std::string BetLine(const TRaceBase& race, const TFocus& focus);
// "<オッズ> ", the odds source and the odds of each bet in 7 bytes ("-" for none).
std::string BetOddsLine(const TFocus& focus, const TOdds& odds);
