// What an output walk did, in words.
#include "session/OutputReport.h"

TNoFileReason NoFileReason(TOutputCommand command, const TSettings::TFile& on, int races) {
    if (command == TOutputCommand::All && on.TextOut == 0 && on.HtmlOut == 0 && on.WarsOut == 0 &&
        on.RuvOut == 0)
        return TNoFileReason::AllSwitchedOff;
    if (races == 0)
        return TNoFileReason::NoRaces;
    return TNoFileReason::NoBets;
}

namespace {

const char* reasonText(TNoFileReason reason) {
    switch (reason) {
    case TNoFileReason::AllSwitchedOff:
        return "環境設定の「一括出力時に出力するファイル」がすべてオフのため、何も出力しませんでし"
               "た";
    case TNoFileReason::NoRaces: return "開催日にレースがないため、何も出力しませんでした";
    case TNoFileReason::NoBets:
        return "買い目のあるレースがないため、何も出力しませんでした"
               "（WARS と RUV のファイルは買い目のあるレースだけを書きます）";
    }
    return "";
}

} // namespace

std::string OutputReport(const TDaySession::TOutputSummary& summary, TOutputCommand command,
                         const TSettings::TFile& on) {
    const std::string cancelled = summary.cancelled ? "中止しました。" : "";
    if (summary.files.empty())
        return cancelled + (summary.cancelled
                                ? "何も出力しませんでした"
                                : reasonText(NoFileReason(command, on, summary.races)));
    return cancelled + std::to_string(summary.files.size()) + " ファイルを " +
           summary.files.front().parent_path().string() + " に出力しました";
}
