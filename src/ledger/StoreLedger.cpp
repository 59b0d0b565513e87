#include "ledger/StoreLedger.h"

#include "ledger/LedgerFiles.h"
#include "platform/Cp932.h"
#include "platform/Format.h"
#include "race/RaceBase.h"
#include "season/Sqlite.h"

#include <algorithm>
#include <array>
#include <deque>
#include <string_view>
#include <string>
#include <tuple>
#include <unordered_map>
#include <utility>

namespace {

constexpr std::size_t kNoRace = static_cast<std::size_t>(-1);

// The index of the race of a stored race id, by raceOfId; kNoRace for an id it does not hold.
std::size_t raceOf(const std::vector<std::size_t>& raceOfId, std::int64_t id) {
    return id >= 0 && static_cast<std::size_t>(id) < raceOfId.size()
               ? raceOfId[static_cast<std::size_t>(id)]
               : kNoRace;
}

// A run a runner waits to see in a later horse record: its horse (by its number among the
// season's horses), date and course (the one digit of the past runs).
struct TRunKey {
    std::uint32_t horse;
    int date;
    int course;
    bool operator==(const TRunKey&) const = default;
};

struct TRunKeyHash {
    std::size_t operator()(const TRunKey& k) const {
        return (static_cast<std::size_t>(k.horse) * 0x9E3779B97F4A7C15ULL) ^
               (static_cast<std::size_t>(k.date) * 31 + static_cast<std::size_t>(k.course));
    }
};

// A past run of a runner's horse file: 0 date when the file has none.
struct TPastRun {
    int date = 0;
    int course = 0;
    int position = runResult::kUnknown;
};

// What the walk needs of one stored runner.
struct TStoredRunner {
    std::int64_t id = 0;  // the race's id in the store
    std::size_t race = 0; // index into the races
    int number = 0;
    int date = 0;
    int course = 0;                     // the one digit of the past runs
    std::optional<std::uint32_t> horse; // none: no key
    int mark = 0;
    float winOdds = 0;
    float placeLow = 0; // 0: none
    std::optional<double> score;
    std::array<TPastRun, kPastRuns> runs{};
};

// The runner rows as stored. The store writes no zero where a value is missing (NULL
// instead), so a NULL read as 0 means the same; only a course can be 0 and must be told
// from NULL.
class TRunnerRows {
public:
    TRunnerRows(TSqliteDatabase& db, const std::vector<std::size_t>& raceOfId)
        : m_rows(db, sql()), m_raceOfId(raceOfId) {}

    // The next row into r; false after the last.
    bool Next(TStoredRunner& r) {
        if (!m_rows.Step())
            return false;
        r.id = m_rows.Int64(0);
        r.race = raceOf(m_raceOfId, r.id);
        r.number = m_rows.Int(1);
        r.date = m_rows.Int(2);
        r.course = m_rows.Int(3) % 10;
        r.horse.reset();
        if (const std::string_view key = m_rows.TextView(4); !key.empty()) {
            auto found = m_horses.find(key);
            if (found == m_horses.end())
                found = m_horses
                            .emplace(m_horseKeys.emplace_back(key),
                                     static_cast<std::uint32_t>(m_horses.size()))
                            .first;
            r.horse = found->second;
        }
        r.mark = m_rows.Int(5);
        r.winOdds = static_cast<float>(m_rows.Double(6));
        r.placeLow = static_cast<float>(m_rows.Double(7));
        const double score = m_rows.Double(8);
        r.score = score != 0 ? std::optional<double>(score) : std::nullopt;
        for (int j = 0; j < kPastRuns; ++j) {
            const int column = 9 + 3 * j;
            TPastRun& run = r.runs[static_cast<std::size_t>(j)];
            run = {};
            run.date = m_rows.Int(column);
            if (run.date == 0 || m_rows.IsNull(column + 1)) {
                run.date = 0;
                continue;
            }
            run.course = m_rows.Int(column + 1);
            run.position = runResult::Normalized(m_rows.Int(column + 2));
        }
        return true;
    }

private:
    static std::string sql() {
        std::string text =
            "SELECT race_id, number, date, course, horse_key, mark, win_odds, place_low, score";
        for (int j = 1; j <= kPastRuns; ++j)
            text += Format(", run%d_date, run%d_course, run%d_position", j, j, j);
        return text + " FROM runner";
    }

    TSqliteStatement m_rows;
    const std::vector<std::size_t>& m_raceOfId;
    std::unordered_map<std::string_view, std::uint32_t> m_horses; // horse key: its number
    std::deque<std::string> m_horseKeys;                          // the texts the map's keys view
};

bool walkOrder(const TStoredRunner& a, const TStoredRunner& b) {
    return std::tie(a.date, a.id, a.number) < std::tie(b.date, b.id, b.number);
}

// The runners waiting for each run, as lists threaded through one vector: a runner leaves
// once a later record gives its result, so the map holds only the runners still waiting.
class TWaitingRuns {
public:
    void Add(const TRunKey& key, std::size_t race, int number) {
        const auto [head, added] = m_first.try_emplace(key, m_entries.size());
        m_entries.push_back({race, number, added ? kEnd : head->second});
        if (!added)
            head->second = m_entries.size() - 1;
    }

    // Hands position to every runner waiting for key, which then waits no more.
    void Settle(const TRunKey& key, int position, std::vector<TLedgerRace>& races) {
        const auto found = m_first.find(key);
        if (found == m_first.end())
            return;
        for (std::size_t e = found->second; e != kEnd; e = m_entries[e].next)
            races[m_entries[e].race].results[static_cast<std::size_t>(m_entries[e].number - 1)] =
                position;
        m_first.erase(found);
    }

private:
    static constexpr std::size_t kEnd = static_cast<std::size_t>(-1);
    struct TEntry {
        std::size_t race;
        int number;
        std::size_t next;
    };
    std::unordered_map<TRunKey, std::size_t, TRunKeyHash> m_first;
    std::vector<TEntry> m_entries;
};

// One walk over the runners in the order of their races' dates: each runner first hands
// its horse's past runs to the runners still waiting for them, then waits for its own. So
// each runner's result comes from the earliest later runner of the same horse whose past
// runs hold that date at that course, as the view runner_results gives it.
class TResultWalk {
public:
    explicit TResultWalk(TStoredRaces& stored) : m_stored(stored) {}

    void Take(const TStoredRunner& runner) {
        if (runner.race == kNoRace)
            return;
        TLedgerRace& race = m_stored.races[runner.race];
        for (int j = 0; runner.horse && j < kPastRuns; ++j) {
            const TPastRun& run = runner.runs[static_cast<std::size_t>(j)];
            if (run.date != 0 && run.date < runner.date)
                m_waiting.Settle({*runner.horse, run.date, run.course}, run.position,
                                 m_stored.races);
        }
        if (runner.number >= 1 && runner.number <= race.runners) {
            race.placeLow[static_cast<std::size_t>(runner.number - 1)] = runner.placeLow;
            m_stored.scores[runner.race][static_cast<std::size_t>(runner.number - 1)] = {
                runner.score, runner.winOdds};
            if (runner.horse)
                m_waiting.Add({*runner.horse, runner.date, runner.course}, runner.race,
                              runner.number);
        }
        // each mark's lowest runner number, as the prediction names it
        if (runner.mark >= 1 && runner.mark <= kLedgerMarks &&
            race.marked[static_cast<std::size_t>(runner.mark - 1)] == 0) {
            race.marked[static_cast<std::size_t>(runner.mark - 1)] = runner.number;
            race.winOdds[static_cast<std::size_t>(runner.mark - 1)] = runner.winOdds;
        }
    }

private:
    TStoredRaces& m_stored;
    TWaitingRuns m_waiting;
};

// Walks the runners as they come, as long as they come in walking order, which they do
// when the days were stored in date order; false at the first that does not.
bool walkAsStored(TSqliteDatabase& db, const std::vector<std::size_t>& raceOfId,
                  TStoredRaces& stored) {
    TRunnerRows rows(db, raceOfId);
    TResultWalk walk(stored);
    TStoredRunner runner, last;
    for (bool first = true; rows.Next(runner); first = false) {
        if (!first && walkOrder(runner, last))
            return false;
        walk.Take(runner);
        last = runner;
    }
    return true;
}

// Clears what a walk wrote into the races.
void forgetWalk(TStoredRaces& stored) {
    for (std::size_t i = 0; i < stored.races.size(); ++i) {
        TLedgerRace& race = stored.races[i];
        std::fill(race.results.begin(), race.results.end(), runResult::kUnknown);
        std::fill(race.placeLow.begin(), race.placeLow.end(), 0.0f);
        std::fill(stored.scores[i].begin(), stored.scores[i].end(), TStoredScore{});
        race.marked.fill(0);
        race.winOdds.fill(0.0f);
    }
}

} // namespace

TStoredRaces ReadStoredRaces(TSqliteDatabase& db) {
    const TSqliteReadTransaction snapshot(db);
    // The races are read as stored and put in the order of the days and of each day's
    // races here; the store would look each one up again through its index to give them
    // in that order.
    struct TRead {
        int day;
        int seq;
        std::int64_t id;
        TLedgerRace race;
    };
    std::vector<TRead> read;
    // a season has few venues and surfaces: each text is converted once
    std::unordered_map<std::string, std::string> cp932;
    auto converted = [&cp932](std::string_view utf8) -> const std::string& {
        auto found = cp932.find(std::string(utf8));
        if (found == cp932.end())
            found = cp932.emplace(utf8, toCp932Lenient(utf8)).first;
        return found->second;
    };
    TSqliteStatement races(
        db, "SELECT race_id, day, date, venue, number, runners, surface, age_condition, "
            "class_code, grade_code, distance, clear_leader, seq FROM race");
    while (races.Step()) {
        TLedgerRace race;
        race.date = races.Int(2);
        race.venue = converted(races.TextView(3));
        race.number = races.Int(4);
        race.runners = races.Int(5);
        race.results.assign(static_cast<std::size_t>(std::max(race.runners, 0)),
                            runResult::kUnknown);
        race.placeLow.assign(race.results.size(), 0.0f);
        race.surface = converted(races.TextView(6));
        race.ageCondition = races.Text(7);
        race.classCode = races.Text(8);
        race.gradeCode = races.Text(9);
        race.distance = races.Int(10); // NULL: 0, not known
        race.clearLeader = races.Int(11) != 0;
        race.seq = races.Int(12);
        read.push_back({races.Int(1), race.seq, races.Int64(0), std::move(race)});
    }
    std::sort(read.begin(), read.end(), [](const TRead& a, const TRead& b) {
        return std::tie(a.day, a.seq) < std::tie(b.day, b.seq);
    });
    TStoredRaces stored;
    std::vector<std::size_t> raceOfId; // by race id: the race's index, or kNoRace
    for (TRead& r : read) {
        if (r.id >= 0) {
            const auto id = static_cast<std::size_t>(r.id);
            if (id >= raceOfId.size())
                raceOfId.resize(std::max(id + 1, raceOfId.size() * 2), kNoRace);
            raceOfId[id] = stored.races.size();
        }
        stored.ids.push_back(r.id);
        stored.days.push_back(r.day);
        stored.scores.emplace_back(r.race.results.size());
        stored.races.push_back(std::move(r.race));
    }
    // The runners are walked as they come, not kept: only a store whose days were added
    // out of order is read again, kept and put in order here, which costs far less than
    // having the store sort them.
    if (!walkAsStored(db, raceOfId, stored)) {
        forgetWalk(stored);
        std::vector<TStoredRunner> runners;
        TRunnerRows rows(db, raceOfId);
        for (TStoredRunner runner; rows.Next(runner);)
            runners.push_back(runner);
        std::sort(runners.begin(), runners.end(), walkOrder);
        TResultWalk walk(stored);
        for (const TStoredRunner& runner : runners)
            walk.Take(runner);
    }
    TSqliteStatement bets(db, "SELECT race_id, lower, higher, odds FROM bet");
    while (bets.Step()) {
        if (const std::size_t race = raceOf(raceOfId, bets.Int64(0)); race != kNoRace)
            stored.races[race].bets.push_back(
                {bets.Int(1), bets.Int(2), static_cast<float>(bets.Double(3))});
    }
    return stored;
}

void RefreshLedgerTable(TSqliteDatabase& db, const TStoredRaces& stored) {
    {
        TSqliteStatement fresh(db, "SELECT ledger_fresh FROM source");
        if (fresh.Step() && fresh.Int(0) != 0)
            return;
    }
    TSqliteTransaction transaction(db);
    db.Execute("DELETE FROM ledger");
    TSqliteStatement insert(db, "INSERT INTO ledger (rowid, date, venue, race, runners, kind, "
                                "mark1, mark2, mark3, mark4, mark5, mark6, pos1, pos2, pos3, pos4, "
                                "pos5, pos6, first, second, settled, bets, hits, stake, return) "
                                "VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
    for (std::size_t i = 0; i < stored.races.size(); ++i) {
        insert.Bind(1, stored.ids[i]);
        int column = 2;
        // text cells take the column's type: numbers are stored as numbers
        const TCsvRow row = LedgerCsvRow(stored.races[i]);
        for (const std::string& cell : row.Values()) {
            if (cell.empty())
                insert.BindNull(column++);
            else
                insert.Bind(column++, cell);
        }
        insert.Run();
    }
    db.Execute("UPDATE source SET ledger_fresh = 1");
    transaction.Commit();
}
