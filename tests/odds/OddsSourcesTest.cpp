#include "odds/OddsDrn.h"
#include "odds/OddsJrdb.h"
#include "odds/OddsRuv.h"
#include "support/SampleRaces.h"

#include "platform/WorkFolder.h"
#include "race/RaceHelpers.h"
#include "sampleday/OddsWriter.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

namespace {

using K = TBetKind;

constexpr int kRunners = 10;
constexpr int kBrackets = 8;

// The sample day's value of a cell of kind, -1 where the day holds a dash (win of runner
// 3, place of runner 2, bracket pair 2-3, quinella pair 2-5, wide pair 1-4). An upper
// bound is its lower bound's sample value plus step; Place is the lower bound's cell.
float sampleCell(K kind, int i, int j, int step) {
    auto dashOr = [](bool dash, int tenths) { return dash ? -1.0f : SampleOdds(tenths); };
    switch (kind) {
    case K::Win: return dashOr(i == 3, SampleWinTenths(i));
    case K::PlaceLower:
    case K::Place: return dashOr(i == 2, SamplePlaceTenths(i));
    case K::PlaceUpper: return dashOr(i == 2, SamplePlaceTenths(i) + step);
    case K::BracketQuinella: return dashOr(i == 2 && j == 3, SampleBracketTenths(i, j));
    case K::Quinella: return dashOr(i == 2 && j == 5, SampleQuinellaTenths(i, j));
    case K::WideLower: return dashOr(i == 1 && j == 4, SampleWideTenths(i, j));
    case K::WideUpper: return dashOr(i == 1 && j == 4, SampleWideTenths(i, j) + step);
    default: return 0;
    }
}

// What one source gives: the kinds whose cells it fills (every other cell stays as Init
// made it), what its upper bounds add to the lower ones, and whether it has time texts.
struct Source {
    const char* name;
    std::function<bool(TOdds&)> read;
    std::set<K> fills;
    int placeStep;
    int wideStep;
    bool timed;
};

} // namespace

// A swapped kind in a reader puts a value into a cell that its source leaves alone, or
// leaves one empty that it fills: the sources fill different cells, so each is seen.
TEST(OddsSources, EachSourceFillsExactlyTheCellsOfItsKinds) {
    SampleDay day;
    day.races = {RaceWith(kRunners)};
    SampleDayOdds dashes(1);
    dashes[0].win = {{3, "-"}};
    dashes[0].place = {{2, "-"}};
    dashes[0].bracket = {{{2, 3}, "-"}};
    dashes[0].quinella = {{{2, 5}, "-"}};
    dashes[0].wide = {{{1, 4}, "-"}};
    const std::string dayCode = DayCodeOf("rv010128.lzh");
    const std::string raceKey = SampleRaceKey(day.races[0]);
    TWorkFolder files;
    TWorkFolder work;
    const std::vector<Source> sources{
        {"RUV",
         [&](TOdds& odds) {
             TOddsRuv reader(WriteRuvOddsArchive(files.path(), dayCode, day, dashes).string(),
                             work.folderText());
             return reader.Read(odds, raceKey, "");
         },
         {K::Win, K::BracketQuinella, K::Quinella},
         0,
         0,
         false},
        {"JRDB",
         [&](TOdds& odds) {
             TOddsJrdb reader(WriteJrdbOddsArchive(files.path(), dayCode, day, dashes).string(),
                              work.folderText());
             return reader.Read(odds, "", SampleJrdbRaceKey(day.races[0]));
         },
         {K::Win, K::PlaceLower, K::PlaceUpper, K::Quinella, K::WideLower, K::WideUpper},
         0,
         0,
         false},
        {"RX",
         [&](TOdds& odds) {
             WriteRxFile(files.path(), day, dashes);
             return ReadRxOdds(odds, files.folderText(), raceKey);
         },
         {K::Win, K::PlaceLower, K::PlaceUpper, K::BracketQuinella, K::Quinella, K::WideLower,
          K::WideUpper},
         7,
         5,
         true},
    };
    TOdds made;
    made.Init(kRunners);
    for (const Source& s : sources) {
        SCOPED_TRACE(s.name);
        // the kind Place reads the place lower bound's cell
        auto filled = [&](K kind) {
            return s.fills.count(kind == K::Place ? K::PlaceLower : kind);
        };
        TOdds odds;
        ASSERT_TRUE(s.read(odds));
        ASSERT_EQ(odds.Count(), kRunners);
        for (K kind : {K::Win, K::PlaceLower, K::PlaceUpper, K::Place})
            for (int r = 1; r <= kRunners; ++r)
                EXPECT_EQ(odds.OddsA(kind, r),
                          filled(kind) ? sampleCell(kind, r, r, s.placeStep) : made.OddsA(kind, r))
                    << static_cast<int>(kind) << " runner " << r;
        for (K kind : {K::BracketQuinella, K::Quinella, K::WideLower, K::WideUpper}) {
            const bool brackets = kind == K::BracketQuinella;
            const int size = brackets ? kBrackets : kRunners;
            for (int i = 1; i <= size; ++i)
                for (int j = brackets ? i : i + 1; j <= size; ++j)
                    EXPECT_EQ(odds.OddsB(kind, i, j), filled(kind)
                                                          ? sampleCell(kind, i, j, s.wideStep)
                                                          : made.OddsB(kind, i, j))
                        << static_cast<int>(kind) << " pair " << i << "-" << j;
        }
        // RX times: win and place, bracket quinella, quinella, wide
        const std::vector<std::pair<K, std::string>> times{
            {K::Win, "09:50"},       {K::PlaceLower, "09:50"},      {K::PlaceUpper, "09:50"},
            {K::Place, "09:50"},     {K::BracketQuinella, "09:51"}, {K::Quinella, "09:52"},
            {K::WideLower, "09:53"}, {K::WideUpper, "09:53"},       {K::WideTime, "09:53"}};
        for (const auto& [kind, time] : times)
            EXPECT_EQ(odds.Time(kind), s.timed ? time : "") << static_cast<int>(kind);
    }
}
