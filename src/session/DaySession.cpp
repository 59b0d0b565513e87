#include "session/DaySession.h"

#include "analysis/Focus.h"
#include "odds/Odds.h"
#include "odds/OddsDrn.h"
#include "odds/OddsJrdb.h"
#include "odds/OddsRuv.h"
#include "output/Writers.h"
#include "platform/Cancel.h"
#include "platform/Cp932.h"
#include "platform/Folder.h"
#include "platform/Format.h"
#include "race/RaceHelpers.h"
#include "race/RaceRuv.h"
#include "platform/Reasons.h"

#include <algorithm>
#include <filesystem>
#include <stdexcept>

namespace fs = std::filesystem;

std::string ProgressCountText(int position, int total) {
    return Format(sjis("処理数 %2d/%d").c_str(), position, total);
}

TDaySession::TDaySession(const TSettings& settings)
    : m_settings(settings), m_workText(m_work.folderText()), m_odds(std::make_unique<TOdds>()) {}

TDaySession::~TDaySession() {
    CloseDay();
}

void TDaySession::FocusCreate() {
    FocusFree();
    m_focus = std::make_unique<TFocus>(m_settings.Folder.Time);
}

void TDaySession::FocusFree() {
    m_focus.reset();
}

void TDaySession::RaceCreate(const std::string& archive) {
    RaceFree();
    adoptRace(std::make_unique<TRaceRuv>(archive, m_workText));
}

void TDaySession::adoptRace(std::unique_ptr<TRaceRuv> race) {
    m_fileWarnings = race->FileWarnings();
    m_race = std::move(race);
}

void TDaySession::RaceFree() {
    m_race.reset();
    m_fileWarnings.clear();
}

namespace {

// path, or when there is none, the file of its folder whose name differs only in ASCII
// case (archives copied from Windows: J010106.LZH); empty when neither exists. A folder
// that cannot be examined (no permission, a link loop, a name too long) holds none.
std::string existingIgnoringCase(const std::string& path) {
    std::error_code error;
    if (fs::exists(path, error))
        return path;
    return TCaseBlindFolders().Existing(path);
}

std::string jrdbArchive(const TSettings& settings, const std::string& dayCode) {
    return settings.Folder.Jrdb + "jrdb" + dayCode + ".lzh";
}

// The folder of an archive with its separator, without asking for the working folder when
// the path is whole.
std::string archiveFolderOf(const fs::path& archive) {
    if (!archive.is_absolute())
        return (fs::absolute(archive).parent_path() / "").string();
    // the separators before the name count once, as parent_path counts them
    const std::string& named = archive.native();
    std::size_t end = named.rfind('/');
    while (end > 0 && named[end - 1] == '/')
        --end;
    return named.substr(0, end) + '/';
}

std::string ruvOddsArchive(const std::string& archiveFolder, const std::string& dayCode) {
    return archiveFolder + "j" + dayCode + ".lzh";
}

} // namespace

std::vector<std::string> OddsSourceFiles(const TSettings& settings, const fs::path& archive,
                                         const std::string& dayCode) {
    std::vector<std::string> files;
    if (settings.Other.DrnRx)
        files.emplace_back(settings.Folder.DrnRx + "rx" + dayCode + ".txt");
    if (settings.Other.Jrdb)
        files.emplace_back(jrdbArchive(settings, dayCode));
    files.emplace_back(ruvOddsArchive(archiveFolderOf(archive), dayCode));
    return files;
}

bool TDaySession::OddsFileCreate(const std::string& dayCode, bool inMemory) {
    OddsFileFree();
    auto tryCreate = [this](const std::string& named, auto make) {
        const std::string path = existingIgnoringCase(named);
        if (path.empty())
            return;
        try {
            m_oddsFile = make(path);
        } catch (const std::exception& error) {
            // the day is shown without the odds of a reader that cannot be made
            std::string problem =
                toCp932Lenient(fs::path(path).filename().string()) + ": " + MessageOf(error);
            std::replace(problem.begin(), problem.end(), '\n', ' ');
            m_oddsProblem += (m_oddsProblem.empty() ? "" : "; ") + problem;
        }
    };
    if (m_settings.Other.Jrdb)
        tryCreate(jrdbArchive(m_settings, dayCode), [this](const std::string& p) {
            return std::make_unique<TOddsJrdb>(p, m_workText);
        });
    if (!m_oddsFile)
        tryCreate(ruvOddsArchive(m_archiveFolder, dayCode), [this, inMemory](const std::string& p) {
            return inMemory ? TOddsRuv::InMemory(p) : std::make_unique<TOddsRuv>(p, m_workText);
        });
    return m_oddsFile != nullptr;
}

void TDaySession::OddsFileFree() {
    m_oddsFile.reset();
    m_oddsProblem.clear();
}

void TDaySession::OpenDay(const std::string& archive) {
    OpenDay(archive, DayCodeOf(fs::path(archive).filename().string()));
}

void TDaySession::OpenDay(const std::string& archive, const std::string& dayCode, bool inMemory) {
    CloseDay();
    if (inMemory)
        adoptRace(std::make_unique<TRaceRuv>(ReadRaceFiles(archive)));
    else
        RaceCreate(archive);
    const fs::path path(archive);
    m_dayCode = dayCode;
    m_archiveFolder = archiveFolderOf(path);
    OddsFileCreate(m_dayCode, inMemory);
}

void TDaySession::CloseDay() {
    m_dayCode.clear();
    OddsFileFree();
    RaceFree();
}

bool TDaySession::OddsRead() {
    m_odds->Clear();
    // Odds of another number of runners than the race's (a late scratching, a stale odds
    // file) are no odds for it: its runners and pairs would read other cells, or none.
    // So the container never holds them, and every output can trust what it holds.
    auto keepOnlyOddsOfTheField = [this] {
        if (m_odds->Count() != m_race->RunnerCount())
            m_odds->Clear();
    };
    if (m_settings.Other.DrnRx) {
        try {
            ReadRxOdds(*m_odds, m_settings.Folder.DrnRx, m_race->RaceKey());
        } catch (const std::exception&) {
            // a source that fails keeps the odds it loaded before the failure
        }
        keepOnlyOddsOfTheField();
    }
    if (m_odds->Count() == 0 && m_oddsFile) {
        try {
            m_oddsFile->Read(*m_odds, m_race->RaceKey(), m_race->JrdbRaceKey());
        } catch (const std::exception&) {
            // as above
        }
        keepOnlyOddsOfTheField();
    }
    return m_odds->Count() != 0;
}

void TDaySession::PrepareRace(int index, bool readOdds) {
    requireDayAndFocus();
    m_race->SelectRace(index);
    if (readOdds)
        OddsRead();
    m_focus->Calc(*m_race);
}

void TDaySession::requireDayAndFocus() const {
    // the window never offers these commands then; other callers get an error, not a crash
    if (!m_race)
        throw std::logic_error(sjis("開いている開催日がありません"));
    if (!m_focus)
        throw std::logic_error(sjis("予想が作成されていません"));
}

TOutputContext TDaySession::OutputContext() const {
    requireDayAndFocus();
    return TOutputContext{*m_race,
                          *m_focus,
                          *m_odds,
                          fs::path(m_settings.Folder.OutTxt),
                          m_settings.File.WarsFormat,
                          m_settings.File.RuvFormat};
}

TDaySession::TOutputSummary TDaySession::RunOutput(TOutputCommand command,
                                                   const TOutputProgress& progress) {
    const TSettings::TFile& on = m_settings.File;
    const bool all = command == TOutputCommand::All;
    const bool readOdds = all || command == TOutputCommand::Text ||
                          command == TOutputCommand::Html || command == TOutputCommand::Csv;
    requireDayAndFocus();
    TOutputRun run;
    TOutputSummary summary;
    const int total = m_race->RaceCount();
    for (int i = 0; i < total; ++i) {
        if (progress && !progress(i + 1, total, ProgressCountText(i + 1, total))) {
            summary.cancelled = true;
            break;
        }
        PrepareRace(i, readOdds);
        TOutputContext context = OutputContext();
        if (all ? on.TextOut != 0 : command == TOutputCommand::Text)
            WriteTextReport(context, run);
        if (all ? on.HtmlOut != 0 : command == TOutputCommand::Html)
            WriteHtmlReport(context, run);
        if (all ? on.RuvOut != 0 : command == TOutputCommand::Ruv)
            WriteRuvTextFile(context, run);
        if (all ? on.WarsOut != 0 : command == TOutputCommand::Wars)
            WriteWarsFile(context, run);
        if (command == TOutputCommand::Csv)
            WriteCsvFile(context, run);
        summary.races = i + 1;
    }
    // A program ended from outside, even after the last race, puts nothing in place: the
    // race that was being written when the signal came may be half written. Asked once
    // the files are synced, just before they take their places.
    run.Sync();
    if (EndingRequested() != 0) {
        summary.discarded = true;
        return summary;
    }
    // also after a cancel: what was written so far, as a walk on old files left it
    run.Commit();
    summary.files = run.Files();
    return summary;
}
