#pragma once

#include "session/DaySession.h"
#include "session/Settings.h"
#include "platform/WorkFolder.h"
#include "sampleday/SampleDays.h"
#include "support/TestFiles.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

// Days whose predictions the tests control, and a session over one of them that writes
// into a folder of its own.
//
// Every past run is a 1600 m turf race at 東京 on a day without a track variant; under
// FormTimeDb() a run's figure is 80 plus the tenths of a second by which it beat the
// standard of 1:36.0, so a runner given the figure f has five past runs of exactly f.

SampleTimeDb FormTimeDb();

// A runner whose five past runs all have figure (0: no past runs, so no score).
SampleRunner FormRunner(int number, int runners, int figure);

// A race at course (the data's code) whose runner k has figures[k - 1]. The default
// figures make runner 1 a clear leader, so the race gets bets; noBet marks the race as
// one the data service keeps out of betting (見送り, the marks stay).
SampleRace FormRace(const std::string& course, int number,
                    std::vector<int> figures = {120, 110, 100}, bool noBet = false);

// Odds of a race: none at all, or the sample odds with one field's text replaced (blanks:
// a scratched runner, a pair without odds).
SampleRaceOdds NoOdds();
SampleRaceOdds WinOddsText(int runner, const char* text);
SampleRaceOdds BracketOddsText(int first, int second, const char* text);

// A day written into a private folder with its RUV odds archive (and, when asked, the
// RX file and the JRDB archive), the time database of FormTimeDb and an empty output
// folder, opened in a session whose prediction is created. Every file switch is on.
class OutputDay {
public:
    explicit OutputDay(const SampleDay& day, const SampleDayOdds& odds = {},
                       const SampleTimeDb& db = FormTimeDb());

    TSettings settings; // the session reads these as they are when it runs
    TDaySession& session() { return *m_session; }
    const std::filesystem::path& folder() const { return m_folder.path(); }
    std::filesystem::path out() const { return m_folder.path() / "out"; }

    TDaySession::TOutputSummary run(TOutputCommand command, const TOutputProgress& progress = {});
    // Writes the RX file of the day into folder()/rx and reads odds from it first.
    void useRxFile(const SampleDayOdds& odds);

    std::string read(const std::string& name) const { return ReadBytes(out() / name); }
    std::vector<std::string> lines(const std::string& name) const { return SplitLines(read(name)); }
    // The names of the files in the output folder, sorted.
    std::vector<std::string> files() const;

private:
    TWorkFolder m_folder;
    SampleDay m_day;
    std::unique_ptr<TDaySession> m_session;
};

// While it lives, the C library's locale writes decimal numbers with a comma, as a user's
// environment can set it: de_DE.UTF-8, made once with localedef into a folder of its own.
// Where the machine cannot make it, active() is false and reason() says why.
class CommaDecimalLocale {
public:
    CommaDecimalLocale();
    ~CommaDecimalLocale();
    CommaDecimalLocale(const CommaDecimalLocale&) = delete;
    CommaDecimalLocale& operator=(const CommaDecimalLocale&) = delete;
    bool active() const { return m_reason.empty(); }
    const std::string& reason() const { return m_reason; }

private:
    std::string m_previous;
    std::string m_reason;
};
