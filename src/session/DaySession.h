#pragma once

#include "session/Settings.h"
#include "output/OutputRun.h"
#include "platform/WorkFolder.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TRaceBase;
class TFocus;
class TOdds;
class TRaceRuv;
class TOddsFile;

// The commands of the output menu. The WARS command writes the WARS contest file and the
// RUV command the RUV text file, as their captions say; Csv writes the day for a
// spreadsheet.
enum class TOutputCommand { All, Text, Html, Wars, Ruv, Csv };

// Called before each race of an output walk with the race's position (from 1), the
// total and the count text "処理数 %2d/%d" (CP932); returns false to stop before that race.
using TOutputProgress = std::function<bool(int position, int total, const std::string& text)>;

// The count text of a walk's progress: "処理数 %2d/%d" (CP932).
std::string ProgressCountText(int position, int total);

// The odds files a day archive would be read with, as named, whether they exist or not: the
// RX file and the JRDB odds archive when those sources are on, then the RUV odds archive
// beside the day archive. The readers also take a file whose name differs only in ASCII
// case.
std::vector<std::string> OddsSourceFiles(const TSettings& settings,
                                         const std::filesystem::path& archive,
                                         const std::string& dayCode);

// What the main window owns for a run and for the open day, without any widget: the odds
// container and the prediction for the whole run; the race data source, the odds reader,
// the archive folder and the day code while a day is open. The window and the batch tool
// both work through it.
class TDaySession {
public:
    // Creates the odds container; the prediction comes with FocusCreate.
    explicit TDaySession(const TSettings& settings);
    ~TDaySession();
    TDaySession(const TDaySession&) = delete;
    TDaySession& operator=(const TDaySession&) = delete;

    // (Re)creates the prediction over the settings' time folder; its errors (a missing or
    // damaged time.dbx) pass out and leave no prediction. No race can be prepared or
    // written without one.
    void FocusCreate();
    void FocusFree();
    bool HasFocus() const { return m_focus != nullptr; }

    // Replaces the race data source by one over archive; on failure the error passes out
    // and no day is open.
    void RaceCreate(const std::string& archive);
    void RaceFree();
    // Replaces the odds reader of the day named by dayCode: the JRDB odds archive when
    // that source is on and it exists, else the RUV odds archive beside the day archive.
    // A reader that cannot be made is left out; OddsFileProblem says why. True when a
    // reader exists. With inMemory, the RUV odds are read without the work folder.
    bool OddsFileCreate(const std::string& dayCode, bool inMemory = false);
    void OddsFileFree();
    // Why the odds archives that exist could not be read, on one line naming each archive
    // (CP932); empty when none failed.
    const std::string& OddsFileProblem() const { return m_oddsProblem; }
    // Opens a day as the open command does: the race data source, the day code (characters
    // 3 to 8 of the archive's file name), the archive folder and the odds reader.
    void OpenDay(const std::string& archive);
    // The same with the day code given (YYMMDD), for a day known by the date inside it; with
    // inMemory, the record files are read from the archive into memory without the work
    // folder, as the season store reads day after day.
    void OpenDay(const std::string& archive, const std::string& dayCode, bool inMemory = false);
    void CloseDay();
    bool IsDayOpen() const { return m_race != nullptr; }
    // The open day's record files that are empty or not a whole number of records
    // (TRaceRuv::FileWarnings); their whole records are used.
    const std::vector<std::string>& FileWarnings() const { return m_fileWarnings; }

    // Fills the odds container for the current race: the RX files first when they are on,
    // then the day's odds reader; failures of the odds sources are ignored, and odds of
    // another number of runners than the race's are dropped (the next source is asked).
    // True when odds were found.
    bool OddsRead();

    // Selects race index, reads its odds (when asked) and computes its prediction. Like
    // RunOutput, throws std::logic_error when no day is open or no prediction exists.
    void PrepareRace(int index, bool readOdds);

    // What an output walk did.
    struct TOutputSummary {
        int races = 0;                            // races walked
        bool cancelled = false;                   // stopped by the progress callback
        bool discarded = false;                   // the program is ending: nothing put in place
        std::vector<std::filesystem::path> files; // files put in place, in order
    };

    // Walks every race of the open day for an output command and writes its files,
    // which take their place when the walk ends or is cancelled. Errors of the race
    // data, the prediction and the files pass out and end the walk, leaving every file
    // as it was before the command; so does an ending signal (EndingRequested), which
    // discards the walk's files.
    TOutputSummary RunOutput(TOutputCommand command, const TOutputProgress& progress);

    TRaceBase& Race() const { return *m_race; }
    const TFocus& Focus() const { return *m_focus; }
    const TOdds& Odds() const { return *m_odds; }
    const TSettings& Settings() const { return m_settings; }
    const std::string& DayCode() const { return m_dayCode; }
    const std::string& WorkFolder() const { return m_workText; }

    // The context of the output writers for the current race.
    TOutputContext OutputContext() const;

private:
    void requireDayAndFocus() const;
    // The day's race data source, with the warnings of its record files.
    void adoptRace(std::unique_ptr<TRaceRuv> race);

    const TSettings& m_settings;
    TWorkFolder m_work;
    std::string m_workText;
    std::unique_ptr<TOdds> m_odds;
    std::unique_ptr<TFocus> m_focus;
    std::unique_ptr<TRaceBase> m_race;
    std::unique_ptr<TOddsFile> m_oddsFile;
    std::string m_archiveFolder;
    std::string m_dayCode;
    std::vector<std::string> m_fileWarnings;
    std::string m_oddsProblem;
};
