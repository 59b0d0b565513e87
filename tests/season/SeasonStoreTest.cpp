#include "ledger/SeasonLedger.h"

#include "analysis/Sem.h"
#include "ledger/LedgerFiles.h"
#include "ledger/StoreLedger.h"
#include "odds/Odds.h"
#include "platform/Cp932.h"
#include "platform/WorkFolder.h"
#include "race/RaceBase.h"
#include "sampleday/LzhWriter.h"
#include "sampleday/SampleSeason.h"
#include "sampleday/TimeDbWriter.h"
#include "season/DayReader.h"
#include "season/FileFingerprint.h"
#include "season/SeasonStore.h"
#include "season/Sqlite.h"
#include "season/StoreSchema.h"
#include "season/StoreUpdate.h"
#include "session/DaySession.h"
#include "session/ProgramFiles.h"
#include "session/Settings.h"
#include "support/OutputDays.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <fstream>
#include <functional>
#include <map>
#include <random>
#include <thread>
#include <tuple>
#include <set>

namespace fs = std::filesystem;

namespace {

constexpr int kSeasonDays = 5;

// A generated season of five days of one venue, written once for every test.
class SeasonStoreTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_work = std::make_unique<TWorkFolder>();
        s_archives = WriteSampleSeason(master(), {kSeasonDays, 1});
    }
    static void TearDownTestSuite() { s_work.reset(); }

    static fs::path master() { return s_work->path() / "master"; }

    // A season folder of the chosen days (indexes into the master season), linked.
    fs::path folderOf(const std::vector<int>& days, const std::string& name = "season") {
        const fs::path folder = m_work.path() / name;
        fs::create_directories(folder);
        for (const auto& entry : fs::directory_iterator(folder))
            if (entry.path().extension() == ".lzh")
                fs::remove(entry.path());
        for (int d : days) {
            const fs::path day = s_archives[static_cast<std::size_t>(d)];
            fs::create_hard_link(day, folder / day.filename());
            const fs::path odds = master() / ("j" + day.filename().string().substr(2));
            fs::create_hard_link(odds, folder / odds.filename());
        }
        return folder;
    }

    TLedger run(const fs::path& folder, const fs::path& store, int busy = 10000) {
        TSeasonLedger ledger(m_settings, folder, {}, store, busy);
        return ledger.Run();
    }

    fs::path path(const std::string& name) const { return m_work.path() / name; }

    TSettings m_settings = [] {
        TSettings s;
        s.Folder.Time = (master() / "time" / "").string();
        return s;
    }();
    TWorkFolder m_work;

    static std::unique_ptr<TWorkFolder> s_work;
    static std::vector<fs::path> s_archives;
};

std::unique_ptr<TWorkFolder> SeasonStoreTest::s_work;
std::vector<fs::path> SeasonStoreTest::s_archives;

using TStoreRows = std::map<std::string, std::vector<std::string>>;

// Every row of every table and view of a store, each as one text. The race ids, which
// depend on the order the days were read in, are replaced by the race's day and index.
TStoreRows storeRows(const fs::path& file) {
    TSqliteDatabase db(file, 1000);
    const struct {
        const char* name;
        const char* sql;
        int raceIdColumn; // -1: none
    } tables[] = {
        {"source", "SELECT * FROM source", -1},
        {"day", "SELECT * FROM day ORDER BY date", -1},
        {"day_note", "SELECT * FROM day_note ORDER BY date, seq", -1},
        {"race", "SELECT * FROM race ORDER BY day, seq", 0},
        {"runner",
         "SELECT ra.day, ra.seq, r.* FROM runner r JOIN race ra ON ra.race_id = r.race_id "
         "ORDER BY ra.day, ra.seq, r.number",
         2},
        {"bet",
         "SELECT ra.day, ra.seq, b.* FROM bet b JOIN race ra ON ra.race_id = b.race_id "
         "ORDER BY ra.day, ra.seq, b.slot",
         2},
        {"ledger", "SELECT * FROM ledger ORDER BY date, venue, race", -1},
        {"runner_results", "SELECT * FROM runner_results ORDER BY date, venue, race, runner", 11},
    };
    TStoreRows rows;
    for (const auto& table : tables) {
        TSqliteStatement statement(db, table.sql);
        std::vector<std::string>& texts = rows[table.name];
        while (statement.Step()) {
            std::string row;
            for (int c = 0; c < statement.ColumnCount(); ++c)
                if (c != table.raceIdColumn)
                    row += (statement.IsNull(c) ? "NULL" : statement.Text(c)) + "|";
            texts.push_back(row);
        }
    }
    return rows;
}

// The ledger finds the results in one walk over the runners; they are the view's.
void expectResultsOfTheView(const fs::path& file) {
    TSqliteDatabase db(file, 1000);
    const TStoredRaces stored = ReadStoredRaces(db);
    std::map<std::int64_t, const TLedgerRace*> races;
    for (std::size_t i = 0; i < stored.races.size(); ++i)
        races[stored.ids[i]] = &stored.races[i];
    TSqliteStatement view(db, "SELECT race_id, runner, result FROM runner_results");
    int known = 0;
    while (view.Step()) {
        const int result = view.IsNull(2) ? 0 : view.Int(2);
        known += result != 0 ? 1 : 0;
        EXPECT_EQ(races.at(view.Int64(0))->Result(view.Int(1)), result)
            << "race " << view.Int64(0) << " runner " << view.Int(1);
    }
    EXPECT_GT(known, 100);
}

std::string notesOf(const TLedger& ledger) {
    std::string text;
    for (const std::string& note : ledger.storeNotes)
        text += toUtf8(note) + "\n";
    return text;
}

} // namespace

TEST(ContentHash, IsXxh64WholeOrInPieces) {
    EXPECT_EQ(ContentHash(""), 0xEF46DB3751D8E999ULL);
    EXPECT_EQ(ContentHash("a"), 0xD24EC4F1A98C6E5BULL);
    EXPECT_EQ(ContentHash("abc"), 0x44BC2CF5AD770999ULL);
    std::string long_(1000, '\0');
    for (std::size_t i = 0; i < long_.size(); ++i)
        long_[i] = static_cast<char>(i * 7 + 3);
    for (std::size_t cut : {1u, 31u, 32u, 33u, 100u, 999u}) {
        TContentHasher pieces;
        pieces.Add(std::string_view(long_).substr(0, cut));
        pieces.Add(std::string_view(long_).substr(cut));
        EXPECT_EQ(pieces.Hash(), ContentHash(long_)) << cut;
    }
}

// A store brought up to date in two steps holds what a store read once in the final state
// holds, row for row, and the ledger says what left it.
TEST_F(SeasonStoreTest, ReadInStepsItHoldsTheRowsOfOneReading) {
    const struct {
        const char* what;
        std::vector<int> before;
        std::vector<int> after;
        const char* note;
    } cases[] = {
        {"a later day added", {0, 1, 2, 3}, {0, 1, 2, 3, 4}, ""},
        {"an earlier day added", {1, 2, 3, 4}, {0, 1, 2, 3, 4}, ""},
        {"a day between added", {0, 1, 3, 4}, {0, 1, 2, 3, 4}, ""},
        {"a day between removed",
         {0, 1, 2, 3, 4},
         {0, 1, 3, 4},
         "rv010113.lzh: ファイルがなくなったため、その開催日を除きました\n"},
        {"the last day removed",
         {0, 1, 2, 3, 4},
         {0, 1, 2, 3},
         "rv010120.lzh: ファイルがなくなったため、その開催日を除きました\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const fs::path stepped = path(std::string(c.what) + ".sqlite");
        run(folderOf(c.before), stepped);
        const TLedger second = run(folderOf(c.after), stepped);
        EXPECT_EQ(notesOf(second), c.note);
        const fs::path once = path(std::string(c.what) + "-once.sqlite");
        const TLedger fresh = run(folderOf(c.after), once);
        EXPECT_EQ(LedgerCsv(second), LedgerCsv(fresh));
        expectResultsOfTheView(stepped);
        const TStoreRows a = storeRows(stepped);
        const TStoreRows b = storeRows(once);
        for (const auto& [table, rows] : b) {
            EXPECT_TRUE(!rows.empty() || table == "day_note") << table;
            EXPECT_EQ(a.at(table), rows) << table;
        }
    }
}

// A day is read again when its archive or one of its odds files changed, and only then: a
// file touched, or copied in place of itself, is not read; an odds archive that arrives
// later, goes away or is renamed in another case is. Either way the store holds what a
// store read once from the final folder holds.
TEST_F(SeasonStoreTest, OnlyTheDaysWhoseFilesChangedAreReadAgain) {
    const std::string day = s_archives[0].filename().string();
    const std::string odds = "j" + day.substr(2);
    std::string capitals = odds;
    std::transform(capitals.begin(), capitals.end(), capitals.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    // a file in place of the link, so that the master season stays as it is
    const auto replace = [](const fs::path& file) {
        fs::copy_file(file, file.string() + ".new");
        fs::rename(file.string() + ".new", file);
    };
    const struct {
        const char* what;
        std::function<void(const fs::path&)> before, change;
        int read;
    } cases[] = {
        {"nothing", {}, [](const fs::path&) {}, 0},
        {"the archive touched",
         {},
         [&](const fs::path& f) {
             replace(f / day);
             fs::last_write_time(f / day, fs::last_write_time(f / day) + std::chrono::hours(1));
         },
         0},
        {"the archive copied in place of itself",
         {},
         [&](const fs::path& f) { replace(f / day); },
         0},
        {"the odds archive arrives later", [&](const fs::path& f) { fs::remove(f / odds); },
         [&](const fs::path& f) { fs::create_hard_link(master() / odds, f / odds); }, 1},
        {"the odds archive goes away", {}, [&](const fs::path& f) { fs::remove(f / odds); }, 1},
        {"the odds archive renamed in capitals",
         {},
         [&](const fs::path& f) { fs::rename(f / odds, f / capitals); },
         1},
        {"a copy of a day under a new name",
         {},
         [&](const fs::path& f) { fs::copy_file(f / day, f / "rv011231.lzh"); },
         0},
        {"a new day",
         {},
         [&](const fs::path& f) {
             const fs::path next = s_archives[3];
             fs::create_hard_link(next, f / next.filename());
         },
         1},
    };
    const auto update = [this](const fs::path& folder, const fs::path& store) {
        TSeasonStore opened(store);
        TStoreUpdater updater(opened, m_settings, folder);
        return updater.Run();
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const fs::path folder = folderOf({0, 1, 2}, c.what);
        if (c.before)
            c.before(folder);
        const fs::path store = path(std::string(c.what) + ".sqlite");
        EXPECT_EQ(update(folder, store).daysRead, 3);
        c.change(folder);
        const TStoreUpdate second = update(folder, store);
        EXPECT_EQ(second.daysRead, c.read);
        const fs::path once = path(std::string(c.what) + "-once.sqlite");
        update(folder, once);
        EXPECT_EQ(storeRows(store), storeRows(once));
        // the day's odds file as the reader found it, whatever the case of its name
        TSqliteDatabase db(store, 1000);
        TSqliteStatement files(db, "SELECT odds_files FROM day WHERE archive = ?");
        files.Bind(1, day);
        ASSERT_TRUE(files.Step());
        const std::string there = fs::exists(folder / capitals) ? capitals
                                  : fs::exists(folder / odds)   ? odds
                                                                : "";
        EXPECT_EQ(files.Text(0).find("/" + there + "\t") != std::string::npos, !there.empty())
            << files.Text(0);
    }
}

// The ledger reads one state of the store: a day another program stores meanwhile is not
// half in what it reads.
TEST_F(SeasonStoreTest, TheLedgerReadsOneStateOfTheStore) {
    const fs::path folder = folderOf({0, 1});
    const fs::path store = path("shared.sqlite");
    run(folder, store);
    TSqliteDatabase reader(store, 1000);
    const TSqliteReadTransaction snapshot(reader);
    const std::size_t before = ReadStoredRaces(reader).races.size();
    folderOf({0, 1, 2});
    {
        TSeasonStore writer(store);
        TStoreUpdater updater(writer, m_settings, folder);
        EXPECT_EQ(updater.Run().daysRead, 1);
    }
    EXPECT_EQ(ReadStoredRaces(reader).races.size(), before);
}

// A file that is no store of ours is set aside and a new store is built in its place; the
// ledger is the one a new store gives.
TEST_F(SeasonStoreTest, ABrokenStoreIsSetAsideAndBuiltAgain) {
    const fs::path folder = folderOf({0, 1, 2});
    const std::string expected = LedgerCsv(run(folder, path("good.sqlite")));
    auto sqlite = [](const fs::path& file, const std::string& sql) {
        TSqliteDatabase db(file, 1000);
        db.Execute(sql);
    };
    const struct {
        const char* what;
        std::function<void(const fs::path&)> spoil;
        const char* reason;
    } cases[] = {
        {"a text file", [](const fs::path& f) { WriteBinaryFile(f, std::string(5000, 'x')); },
         "file is not a database"},
        {"another schema version",
         [&](const fs::path& f) {
             sqlite(f, "CREATE TABLE t (x); PRAGMA application_id = " +
                           std::to_string(kStoreApplicationId) + "; PRAGMA user_version = 7");
         },
         "成績集計のデータベースの版が違います(7)"},
        {"another program's database",
         [&](const fs::path& f) { sqlite(f, "CREATE TABLE accounts (id, balance)"); },
         "成績集計のデータベースではありません"},
        {"pages overwritten",
         [&](const fs::path& f) {
             fs::copy_file(path("good.sqlite"), f);
             std::string bytes = ReadBytes(f);
             std::fill(bytes.begin() + 8192, bytes.end(), 'Z');
             WriteBinaryFile(f, bytes);
         },
         "database disk image is malformed"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const fs::path store = path(std::string(c.what) + ".sqlite");
        c.spoil(store);
        const TLedger ledger = run(folder, store);
        EXPECT_EQ(LedgerCsv(ledger), expected);
        ASSERT_EQ(ledger.storeNotes.size(), 1u);
        const std::string note = toUtf8(ledger.storeNotes[0]);
        EXPECT_TRUE(note.starts_with(store.string() + " は壊れているため " +
                                     store.filename().string() + ".broken-"))
            << note;
        EXPECT_NE(note.find(std::string(" に退避して作り直しました(")), std::string::npos) << note;
        EXPECT_NE(note.find(c.reason), std::string::npos) << note;
        int asides = 0;
        for (const std::string& name : FolderEntries(m_work.path()))
            asides += name.starts_with(store.filename().string() + ".broken-") ? 1 : 0;
        EXPECT_EQ(asides, 1);
        // the new store is whole: the next run finds nothing to read and no note
        EXPECT_EQ(notesOf(run(folder, store)), "");
    }
}

// A second program that wants to write while another holds the store waits for it up to
// its busy time, then says the store is in use; the store stays whole.
TEST_F(SeasonStoreTest, AStoreInUseIsWaitedForOrSaidToBeInUse) {
    const struct {
        const char* what;
        int busy;      // ms the second program waits
        int heldFor;   // ms the first holds its transaction
        bool finished; // the second program's run completes
    } cases[] = {
        {"released in time", 5000, 200, true},
        {"held too long", 100, 1500, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const fs::path store = path(std::string(c.what) + ".sqlite");
        run(folderOf({0, 1}), store);
        const fs::path folder = folderOf({0, 1, 2});
        TSqliteDatabase other(store, 1000);
        other.Execute("BEGIN IMMEDIATE");
        std::thread holder([&other, &c] {
            std::this_thread::sleep_for(std::chrono::milliseconds(c.heldFor));
            other.Execute("COMMIT");
        });
        std::string error;
        try {
            run(folder, store, c.busy);
        } catch (const ESqliteError& e) {
            error = toUtf8(e.what());
        }
        holder.join();
        EXPECT_EQ(error, c.finished ? "" : store.string() + "は他のプログラムが使用中です");
        // whichever way, the next run completes on a whole store
        EXPECT_EQ(LedgerCsv(run(folder, store)), LedgerCsv(run(folder, path("once.sqlite"))));
    }
}

// Another time database gives other figures: a store named by the user reads every day
// again with it, while the default store of each time database is a file of its own.
TEST_F(SeasonStoreTest, AChangedTimeDatabaseReadsEveryDayAgain) {
    const fs::path folder = folderOf({0, 1, 2});
    const fs::path time = path("time");
    fs::create_directories(time);
    fs::copy_file(master() / "time" / "time.dbx", time / "time.dbx");
    m_settings.Folder.Time = (time / "").string();
    const fs::path store = path("named.sqlite");
    const std::string before = LedgerCsv(run(folder, store));
    const TUserFolders user{"/home/u", {}, {}};
    const fs::path defaultBefore = DefaultStoreFile(user, StoreSourceOf(m_settings, folder));
    WriteTimeDb(time, FormTimeDb());
    const TLedger changed = run(folder, store);
    EXPECT_EQ(notesOf(changed),
              "時計データベースかオッズの設定が変わったため、すべての開催日を読み直しました\n");
    EXPECT_NE(LedgerCsv(changed), before);
    EXPECT_EQ(storeRows(store), storeRows([&] {
                  run(folder, path("fresh.sqlite"));
                  return path("fresh.sqlite");
              }()));
    // the default store is named by the time database's path, not its content
    EXPECT_EQ(DefaultStoreFile(user, StoreSourceOf(m_settings, folder)), defaultBefore);
    EXPECT_EQ(defaultBefore.parent_path(), "/home/u/.cache/ruvpelton");
    m_settings.Folder.Time = (master() / "time" / "").string();
    EXPECT_NE(DefaultStoreFile(user, StoreSourceOf(m_settings, folder)), defaultBefore);
}

// A time database that cannot be read stops the run before the store forgets its days; and a
// reader that fails after dating its day hands the error to the thread storing it, which would
// otherwise wait for the day's races for ever.
TEST_F(SeasonStoreTest, ATimeDatabaseThatCannotBeReadLeavesTheStoreAsItWas) {
    const fs::path folder = folderOf({0, 1});
    const fs::path store = path("kept.sqlite");
    run(folder, store);
    const TStoreRows before = storeRows(store);
    const fs::path cut = path("cut");
    fs::create_directories(cut);
    std::ofstream(cut / "time.dbx", std::ios::binary)
        << ReadBytes(master() / "time" / "time.dbx").substr(0, 20);
    for (const fs::path& time : {path("absent"), cut}) {
        SCOPED_TRACE(time.string());
        m_settings.Folder.Time = (time / "").string();
        EXPECT_THROW(run(folder, store), ESemError);
        EXPECT_EQ(storeRows(store), before);
    }
    TDayReader reader(m_settings, {{s_archives[0], 20010106, {}}}, false);
    EXPECT_EQ(reader.Dated(0).date, 20010106);
    EXPECT_FALSE(reader.NextRace(0));
    EXPECT_THROW(reader.Next(), ESemError);
}

// The store's pair odds, which users query through the view pair_odds, are exactly the pairs
// with odds as the race view reads them.
TEST_F(SeasonStoreTest, ThePairOddsAreThoseOfTheRaceView) {
    const fs::path store = path("pairs.sqlite");
    run(folderOf({0}), store);
    using TPairs = std::set<std::tuple<std::string, int, int, float>>;
    std::map<int, TPairs> stored; // by the race's index in its day
    TSqliteDatabase db(store, 1000);
    TSqliteStatement pairs(db, "SELECT r.seq, p.kind, p.first, p.second, p.odds FROM pair_odds p "
                               "JOIN race r USING (race_id)");
    while (pairs.Step())
        stored[pairs.Int(0)].insert(
            {pairs.Text(1), pairs.Int(2), pairs.Int(3), static_cast<float>(pairs.Double(4))});
    TDaySession session(m_settings);
    session.FocusCreate();
    session.OpenDay(s_archives[0].string(), "010106", true);
    int races = 0;
    for (int seq = 0; seq < session.Race().RaceCount(); ++seq) {
        session.PrepareRace(seq, true);
        const TOdds& odds = session.Odds();
        TPairs shown;
        auto add = [&](const char* kind, TBetKind bet, int a, int b) {
            if (const float value = odds.OddsB(bet, a, b); value > 0)
                shown.insert({kind, a, b, value});
        };
        for (int a = 1; a <= std::min(odds.Count(), 8); ++a)
            for (int b = a; b <= std::min(odds.Count(), 8); ++b)
                add("bracket_quinella", TBetKind::BracketQuinella, a, b);
        for (int a = 1; odds.HasHorseQuinella() && a <= odds.Count(); ++a)
            for (int b = a + 1; b <= odds.Count(); ++b)
                add("quinella", TBetKind::Quinella, a, b);
        EXPECT_EQ(stored[seq], shown) << "race " << seq;
        races += shown.empty() ? 0 : 1;
    }
    EXPECT_GT(races, 0);
}

// The batch tool killed at any moment of bringing the store up to date leaves a store that
// opens and holds whole days; a run then completes, and the store equals a new one.
TEST_F(SeasonStoreTest, KilledAtAnyMomentTheStoreHoldsWholeDays) {
    const fs::path folder = folderOf({0, 1, 2});
    const fs::path out = path("out");
    fs::create_directories(out);
    const fs::path ini = path("none.ini");
    WriteBinaryFile(ini, "");
    auto start = [&](const fs::path& store) {
        const pid_t child = fork();
        if (child == 0) {
            freopen("/dev/null", "w", stdout);
            freopen("/dev/null", "w", stderr);
            execl(PELTON_BATCH_TOOL, PELTON_BATCH_TOOL, "ledger", folder.c_str(), "--time",
                  (master() / "time").c_str(), "--out", out.c_str(), "--store", store.c_str(),
                  "--ini", ini.c_str(), nullptr);
            _exit(127);
        }
        return child;
    };
    auto wait = [](pid_t child) {
        int status = 0;
        waitpid(child, &status, 0);
        return status;
    };
    const fs::path clean = path("clean.sqlite");
    const auto began = std::chrono::steady_clock::now();
    ASSERT_EQ(wait(start(clean)), 0);
    const auto whole = std::chrono::steady_clock::now() - began;
    const TStoreRows expected = storeRows(clean);
    std::map<std::string, int> racesOfDay; // the clean store's races per day
    for (const std::string& row : expected.at("race"))
        ++racesOfDay[row.substr(0, row.find('|'))];

    const fs::path store = path("killed.sqlite");
    std::mt19937 random(24);
    std::uniform_int_distribution<long> moment(
        0, std::chrono::duration_cast<std::chrono::microseconds>(whole).count());
    for (int kill = 0; kill < 50; ++kill) {
        const pid_t child = start(store);
        std::this_thread::sleep_for(std::chrono::microseconds(moment(random)));
        ::kill(child, SIGKILL);
        wait(child);
        if (!fs::exists(store))
            continue;
        TSqliteDatabase db(store, 1000);
        TSqliteStatement check(db, "PRAGMA integrity_check");
        ASSERT_TRUE(check.Step());
        ASSERT_EQ(check.Text(0), "ok") << "kill " << kill;
        TSqliteStatement days(db, "SELECT d.date, count(r.race_id) FROM day d LEFT JOIN race r "
                                  "ON r.day = d.date GROUP BY d.date");
        while (days.Step())
            EXPECT_EQ(days.Int(1), racesOfDay[days.Text(0)])
                << "kill " << kill << " day " << days.Text(0);
    }
    ASSERT_EQ(wait(start(store)), 0);
    EXPECT_EQ(storeRows(store), expected);
}
