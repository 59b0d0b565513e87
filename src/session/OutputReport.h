// What an output walk did, in words: why it wrote nothing, or what it wrote and where.
#pragma once

#include "session/DaySession.h"

#include <string>

// Why an output walk that ran to its end started no file.
enum class TNoFileReason {
    AllSwitchedOff, // 一括出力 with every output file switched off
    NoRaces,        // the day has no races
    NoBets,         // no race has bets: the WARS and RUV files hold only races with bets
};

TNoFileReason NoFileReason(TOutputCommand command, const TSettings::TFile& on, int races);

// The line the window shows once an output walk has ended (UTF-8, as the folder it
// names): "3 ファイルを FOLDER に出力しました", with the folder of the first file, or
// why nothing was written; a cancelled walk says so first.
std::string OutputReport(const TDaySession::TOutputSummary& summary, TOutputCommand command,
                         const TSettings::TFile& on);
