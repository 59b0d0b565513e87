#include "output/RunnerRow.h"

#include "analysis/Focus.h"
#include "odds/Odds.h"
#include "platform/Format.h"
#include "race/RaceBase.h"

TRunnerRow RunnerRowOf(const TRaceBase& race, const TFocus& focus, const TOdds& odds, int i) {
    TRunnerRow row;
    row.number = i + 1;
    row.bracket = race.BracketNo(i);
    row.blinkers = race.HasBlinkers(i);
    row.horseName = race.HorseName(i);
    row.sex = race.SexText(i);
    row.age = race.Age(i);
    row.weight = race.WeightText(i);
    row.allowanceMark = race.AllowanceMark(i);
    row.jockey = race.JockeyName(i);
    row.jockeyStarred = race.IsJockeyStarred(i);
    if (odds.Count() == 0) {
        row.winOdds = "0.0";
    } else {
        const float value = odds.OddsA(TBetKind::Win, row.number);
        row.winOdds = value == -1.0f ? "-" : Format("%5.1f", static_cast<double>(value));
        if (value != -1.0f)
            row.winOddsValue = value;
    }
    row.serviceMark = race.ServiceMark(i);
    row.mark = focus.MarkText(row.number);
    const int rank = focus.MarkNo(row.number);
    row.rank = rank == 0 ? "" : std::to_string(rank);
    for (int cell = 0; cell < TFocus::kCells; ++cell) {
        const auto k = static_cast<std::size_t>(TFocus::kCells - 1 - cell);
        row.figures[k] = focus.FigureText(row.number, cell);
        const TFigureCell& figure =
            focus.RunnerScore(row.number).cells[static_cast<std::size_t>(cell)];
        if (figure.status == kRunUsable)
            row.figureValues[k] = RoundedFigure(figure.figure);
    }
    const bool known = row.bracket >= 1 && row.bracket <= static_cast<int>(BracketColors.size());
    row.colors = &BracketColors[static_cast<std::size_t>(known ? row.bracket - 1 : 0)];
    return row;
}
