#pragma once

#include "output/OutputRun.h"

#include <string>

// Pieces that the text and HTML reports share.

// The win odds of runner number r: nullopt-like empty text when the race has no odds.
enum class TWinOdds { None, Scratched, Value };
TWinOdds WinOddsOf(const TOdds& odds, int r, float& value);

// The odds of bet slot j under the container's quinella kind; -1 when the pair has none.
float BetOdds(const TFocus& focus, const TOdds& odds, int j);

// "枠番連勝" for fields of up to 8 runners, whose bets are bracket quinellas; else "馬番連勝".
const std::string& BetKindText(const TRaceBase& race);

// The rank text: the mark position, or a single blank when it is 0.
std::string RankText(const TFocus& focus, int r);
