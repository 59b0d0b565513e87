#include "season/StoreSchema.h"

#include "platform/Cp932.h"
#include "season/Sqlite.h"

#include <string>

namespace {

// Dates are YYYYMMDD numbers, times and sizes of files nanoseconds and bytes, odds the
// multiple of the stake (12.3), texts UTF-8. The README lists every column.
constexpr const char* kSchema = R"SQL(
-- what the store was built from: one row
CREATE TABLE source (
  id INTEGER PRIMARY KEY CHECK (id = 1),
  season_folder TEXT NOT NULL,
  time_database TEXT NOT NULL,
  time_hash TEXT NOT NULL,
  odds_source TEXT NOT NULL,
  ledger_fresh INTEGER NOT NULL DEFAULT 0
);
-- one row per racing day read
CREATE TABLE day (
  date INTEGER PRIMARY KEY,
  archive TEXT NOT NULL UNIQUE,
  archive_size INTEGER NOT NULL,
  archive_mtime INTEGER NOT NULL,
  archive_hash TEXT NOT NULL,
  odds_files TEXT NOT NULL,
  has_odds INTEGER NOT NULL
);
-- what was wrong with a day: races left out, warnings
CREATE TABLE day_note (
  date INTEGER NOT NULL REFERENCES day,
  seq INTEGER NOT NULL,
  kind TEXT NOT NULL CHECK (kind IN ('problem', 'warning')),
  text TEXT NOT NULL,
  PRIMARY KEY (date, seq)
) WITHOUT ROWID;
CREATE TABLE race (
  race_id INTEGER PRIMARY KEY,
  day INTEGER NOT NULL REFERENCES day,
  seq INTEGER NOT NULL,
  date INTEGER NOT NULL,
  course INTEGER NOT NULL,
  venue TEXT NOT NULL,
  number INTEGER NOT NULL,
  name TEXT NOT NULL,
  surface TEXT NOT NULL,
  surface_code TEXT NOT NULL,
  distance INTEGER,
  age_condition TEXT NOT NULL,
  class_code TEXT NOT NULL,
  condition_code TEXT NOT NULL,
  grade_code TEXT NOT NULL,
  runners INTEGER NOT NULL,
  no_bet INTEGER NOT NULL,
  scored INTEGER NOT NULL,
  clear_leader INTEGER NOT NULL,
  odds_source TEXT,
  bracket_odds TEXT,
  quinella_odds TEXT,
  UNIQUE (day, seq)
);
CREATE TABLE runner (
  race_id INTEGER NOT NULL REFERENCES race,
  number INTEGER NOT NULL,
  date INTEGER NOT NULL,
  course INTEGER NOT NULL,
  bracket INTEGER NOT NULL,
  horse_key TEXT,
  horse_name TEXT NOT NULL,
  score REAL,
  rank INTEGER NOT NULL,
  mark INTEGER NOT NULL,
  win_odds REAL,
  place_low REAL,
  place_high REAL,
  figure1 REAL NOT NULL, status1 INTEGER NOT NULL, dirt1 INTEGER NOT NULL,
  top1 INTEGER NOT NULL,
  figure2 REAL NOT NULL, status2 INTEGER NOT NULL, dirt2 INTEGER NOT NULL,
  top2 INTEGER NOT NULL,
  figure3 REAL NOT NULL, status3 INTEGER NOT NULL, dirt3 INTEGER NOT NULL,
  top3 INTEGER NOT NULL,
  figure4 REAL NOT NULL, status4 INTEGER NOT NULL, dirt4 INTEGER NOT NULL,
  top4 INTEGER NOT NULL,
  figure5 REAL NOT NULL, status5 INTEGER NOT NULL, dirt5 INTEGER NOT NULL,
  top5 INTEGER NOT NULL,
  run1_date INTEGER, run1_course INTEGER, run1_position INTEGER,
  run2_date INTEGER, run2_course INTEGER, run2_position INTEGER,
  run3_date INTEGER, run3_course INTEGER, run3_position INTEGER,
  run4_date INTEGER, run4_course INTEGER, run4_position INTEGER,
  run5_date INTEGER, run5_course INTEGER, run5_position INTEGER,
  PRIMARY KEY (race_id, number)
) WITHOUT ROWID;
CREATE TABLE bet (
  race_id INTEGER NOT NULL REFERENCES race,
  slot INTEGER NOT NULL,
  lower INTEGER NOT NULL,
  higher INTEGER NOT NULL,
  odds REAL,
  PRIMARY KEY (race_id, slot)
) WITHOUT ROWID;
-- ledger.csv, one row per race of the store; its rowid is the race's race_id
CREATE TABLE ledger (
  date TEXT, venue TEXT, race INTEGER, runners INTEGER, kind TEXT,
  mark1 INTEGER, mark2 INTEGER, mark3 INTEGER, mark4 INTEGER, mark5 INTEGER, mark6 INTEGER,
  pos1 TEXT, pos2 TEXT, pos3 TEXT, pos4 TEXT, pos5 TEXT, pos6 TEXT,
  first INTEGER, second INTEGER, settled INTEGER, bets TEXT,
  hits INTEGER, stake INTEGER, return INTEGER
);
-- the past runs of each day's horse file, one row each
CREATE VIEW past_runs AS
SELECT race_id, number, horse_key, date, 1 AS slot, run1_date AS run_date, run1_course AS run_course,
       run1_position AS position FROM runner WHERE run1_date IS NOT NULL
UNION ALL SELECT race_id, number, horse_key, date, 2 AS slot, run2_date AS run_date, run2_course AS run_course,
       run2_position AS position FROM runner WHERE run2_date IS NOT NULL
UNION ALL SELECT race_id, number, horse_key, date, 3 AS slot, run3_date AS run_date, run3_course AS run_course,
       run3_position AS position FROM runner WHERE run3_date IS NOT NULL
UNION ALL SELECT race_id, number, horse_key, date, 4 AS slot, run4_date AS run_date, run4_course AS run_course,
       run4_position AS position FROM runner WHERE run4_date IS NOT NULL
UNION ALL SELECT race_id, number, horse_key, date, 5 AS slot, run5_date AS run_date, run5_course AS run_course,
       run5_position AS position FROM runner WHERE run5_date IS NOT NULL;
-- a runner's result: from the earliest later day whose horse file holds its run. The
-- earliest is the least (date, race_id, number, slot) folded into one number, so that min()
-- picks its row's position; the store keeps no index by horse, which would cost every day
-- added a write in hundreds of places.
CREATE VIEW runner_results AS
WITH seen AS (
  SELECT horse_key, run_date, run_course, position,
         min(((date * 10000000 + race_id) * 100 + number) * 10 + slot) AS earliest
  FROM past_runs WHERE horse_key IS NOT NULL AND run_date < date
  GROUP BY horse_key, run_date, run_course)
SELECT printf('%04d-%02d-%02d', r.date / 10000, r.date / 100 % 100, r.date % 100) AS date,
       ra.venue AS venue, ra.number AS race, r.number AS runner, r.horse_key AS horse_key,
       r.horse_name AS horse_name, r.mark AS mark, r.score AS score, r.rank AS rank,
       r.win_odds AS win_odds,
       CASE WHEN s.position BETWEEN 1 AND 18 OR s.position BETWEEN 31 AND 35
            THEN s.position END AS result,
       r.race_id AS race_id
FROM runner AS r JOIN race AS ra ON ra.race_id = r.race_id
LEFT JOIN seen AS s ON s.horse_key = r.horse_key AND s.run_date = r.date
  AND s.run_course = r.course % 10;
-- the bracket quinella and quinella odds of the snapshot, one row per pair with odds
CREATE VIEW pair_odds AS
SELECT race_id, 'bracket_quinella' AS kind, value ->> 0 AS first, value ->> 1 AS second,
       value ->> 2 AS odds FROM race, json_each(race.bracket_odds)
UNION ALL
SELECT race_id, 'quinella', value ->> 0, value ->> 1, value ->> 2
FROM race, json_each(race.quinella_odds);
)SQL";

int pragmaNumber(TSqliteDatabase& db, const char* pragma) {
    TSqliteStatement statement(db, std::string("PRAGMA ") + pragma);
    return statement.Step() ? statement.Int(0) : 0;
}

} // namespace

bool HasStoreSchema(TSqliteDatabase& db) {
    const int application = pragmaNumber(db, "application_id");
    const int version = pragmaNumber(db, "user_version");
    if (application == kStoreApplicationId && version == kStoreSchemaVersion)
        return true;
    TSqliteStatement objects(db, "SELECT count(*) FROM sqlite_schema");
    objects.Step();
    if (application == 0 && version == 0 && objects.Int(0) == 0)
        return false;
    throw EStoreSchemaError(application == kStoreApplicationId
                                ? sjis("成績集計のデータベースの版が違います(") +
                                      std::to_string(version) + ")"
                                : sjis("成績集計のデータベースではありません"));
}

void CreateStoreSchema(TSqliteDatabase& db) {
    db.Execute(std::string("BEGIN IMMEDIATE;") + kSchema +
               "PRAGMA application_id = " + std::to_string(kStoreApplicationId) +
               ";PRAGMA user_version = " + std::to_string(kStoreSchemaVersion) + ";COMMIT;");
}
