#include "FuzzDay.h"

#include "analysis/Explanation.h"
#include "analysis/Focus.h"
#include "odds/Odds.h"
#include "odds/OddsFile.h"
#include "output/Writers.h"
#include "platform/Format.h"
#include "race/RaceBase.h"
#include "race/RaceCode.h"
#include "race/RaceHelpers.h"
#include "sampleday/SampleDays.h"

#include <algorithm>

namespace {

// Formats what the window shows of the odds: every cell of every table.
void showOdds(const TOdds& odds) {
    for (int a = 1; a <= odds.Count(); ++a) {
        for (TBetKind kind :
             {TBetKind::Win, TBetKind::PlaceLower, TBetKind::PlaceUpper, TBetKind::Place})
            odds.OddsA(kind, a);
        for (int b = a; b <= odds.Count(); ++b) {
            if (a <= 8 && b <= 8)
                odds.OddsB(TBetKind::BracketQuinella, a, b);
            if (odds.HasHorseQuinella() && a != b)
                for (TBetKind kind : {TBetKind::Quinella, TBetKind::WideLower, TBetKind::WideUpper})
                    odds.OddsB(kind, a, b);
        }
    }
    odds.Time(odds.QuinellaKind());
}

void showRunners(const TRaceBase& race) {
    std::vector<std::string> lines;
    for (int r = 0; r < race.RunnerCount(); ++r) {
        race.HorseName(r);
        race.BracketNo(r);
        race.SexText(r);
        race.Age(r);
        race.WeightText(r);
        race.AllowanceMark(r);
        race.JockeyName(r);
        race.IsJockeyStarred(r);
        race.ServiceMark(r);
        race.HasBlinkers(r);
        race.TrainingLines(r, lines);
        for (int j = 0; j < 5; ++j) {
            race.PastRunStatus(r, j);
            race.PastRunDate(r, j);
            race.PastRunCourse(r, j);
            race.PastRunOnDirt(r, j);
            race.PastRunDistance(r, j);
            race.PastRunTime(r, j);
            race.PastRunWeight(r, j);
        }
    }
}

template <typename Step> void orSkip(Step step) {
    try {
        step();
    } catch (const std::exception&) {
        // the program's own error for bad data: shown to the user, never a crash
    }
}

} // namespace

std::vector<std::string> SplitParts(const std::uint8_t* data, std::size_t size, std::size_t count) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> parts;
    while (parts.size() + 1 < count) {
        const std::size_t at = input.find(kPartSeparator);
        if (at == std::string_view::npos)
            break;
        parts.emplace_back(input.substr(0, at));
        input.remove_prefix(at + kPartSeparator.size());
    }
    parts.emplace_back(input);
    parts.resize(count);
    return parts;
}

std::string JoinParts(const std::vector<std::string>& parts) {
    std::string joined;
    for (std::size_t i = 0; i < parts.size(); ++i)
        joined += (i == 0 ? "" : std::string(kPartSeparator)) + parts[i];
    return joined;
}

TFocus& FuzzFocus() {
    static TFocus focus(TSem::FromBytes(TimeDbBytes(TimeDbCovering(SmallTestDay()))));
    return focus;
}

void WalkDay(TRaceBase& race, TOddsFile* reader) {
    const int count = std::min(race.RaceCount(), kMaxFuzzRaces);
    TOdds odds;
    for (int i = 0; i < count; ++i) {
        orSkip([&] { race.RaceLine(i); });
        bool selected = false;
        orSkip([&] {
            race.SelectRace(i);
            selected = true;
        });
        if (!selected)
            continue;
        orSkip([&] {
            race.RaceKey();
            race.JrdbRaceKey();
            race.DayKey();
            race.IsNoBetRace();
        });
        orSkip([&] {
            race.RaceHeading();
            race.RaceHeadingLine();
            race.RaceName();
            race.RuvHeaderLine(0);
            race.RuvHeaderLine(1);
            race.WarsHeaderLine(0);
            race.WarsHeaderLine(1);
        });
        orSkip([&] { showRunners(race); });
        odds.Clear();
        if (reader != nullptr)
            orSkip([&] { reader->Read(odds, race.RaceKey(), race.JrdbRaceKey()); });
        orSkip([&] { showOdds(odds); });
        orSkip([&] {
            TFocus& focus = FuzzFocus();
            focus.Calc(race);
            const TExplanation explanation(race, focus);
            for (int r = 1; r <= focus.RunnerCount(); ++r) {
                for (int c = 0; c < TFocus::kCells; ++c) {
                    focus.FigureText(r, c);
                    explanation.Figure(r, c);
                }
                explanation.ScoreAndBets(r);
            }
            explanation.Bets();
            focus.BetLines(0);
            focus.BetLines(1);
            focus.WarsBetLine();
            TextReportBlock(TOutputContext{race, focus, odds, {}, 1, 1});
        });
    }
}

std::string RaceKeyOfRecord(std::string_view record) {
    if (record.size() < 20)
        return std::string(record);
    std::string course(record.substr(0, 2));
    try {
        const int code = FieldToInt(course);
        if (code >= 0 && code <= 9)
            course = Format("%.2d", CourseToRacecourse[static_cast<std::size_t>(code)]);
    } catch (const std::exception&) {
        // a code that is not a number stays as it is
    }
    return std::string(record.substr(12, 8)) + course + std::string(record.substr(10, 2));
}
