// ruvpelton-batch: the program's day work from the command line.
#include "cli/BatchOptions.h"
#include "cli/BatchOutput.h"

#include "analysis/Explanation.h"
#include "analysis/Focus.h"
#include "session/DaySession.h"
#include "session/OutputReport.h"
#include "session/ProgramFiles.h"
#include "session/Settings.h"
#include "ledger/LedgerFiles.h"
#include "ledger/RuleComparison.h"
#include "ledger/RuleSweep.h"
#include "ledger/SeasonReplay.h"
#include "ledger/WhatIf.h"
#include "platform/FileReplace.h"
#include "ledger/SeasonLedger.h"
#include "output/ReportPieces.h"
#include "output/Writers.h"
#include "platform/Cancel.h"
#include "platform/Cp932.h"
#include "platform/Errors.h"
#include "platform/Folder.h"
#include "platform/Version.h"
#include "platform/WorkFolder.h"
#include "race/RaceBase.h"
#include "session/RaceLookup.h"
#include "platform/Reasons.h"

#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

extern "C" void onEndingSignal(int signal) {
    EndingRequested() = signal;
}

// Each command stops at its next step once one of them arrives, and the tool then ends
// through its usual way out, which removes its work folder. A write to a pipe goes on
// after the signal, so that the lines already on their way, and the line that says the
// tool was stopped, reach a reader that reads; a reader that went away (SIGPIPE) makes
// the writes fail, not the tool die with its folder left.
void catchEndingSignals() {
    struct sigaction action {};
    action.sa_handler = onEndingSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : {SIGINT, SIGTERM, SIGHUP})
        sigaction(signal, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
}

bool ended() {
    return EndingRequested() != 0;
}

// an option given as an empty folder stays empty
std::string withSeparator(const std::string& folder) {
    return folder.empty() ? folder : WithSeparator(folder);
}

fs::path programFolder(const char* argv0) {
    std::error_code ec;
    fs::path self = fs::read_symlink("/proc/self/exe", ec);
    return (ec ? fs::absolute(argv0) : self).parent_path();
}

TSettings loadSettings(const TBatchOptions& o, const char* argv0) {
    TSettings settings;
    if (o.iniFile) {
        // a settings file named on purpose that is not there is a mistake, not the defaults
        std::error_code error;
        if (!fs::exists(*o.iniFile, error) && !error)
            throw InOutError("読み込み", *o.iniFile, SystemReason(ENOENT));
        settings.Load(*o.iniFile);
    } else {
        // the desktop program's settings, wherever it keeps them
        const TProgramFiles files =
            ProgramFilesOf(programFolder(argv0) / "ruvpelton", TUserFolders::FromEnvironment());
        settings.Load(files.SettingsFile, files.DefaultFolder);
    }
    if (o.timeFolder)
        settings.Folder.Time = withSeparator(*o.timeFolder);
    if (o.outFolder)
        settings.Folder.OutTxt = withSeparator(*o.outFolder);
    if (o.rxFolder) {
        settings.Folder.DrnRx = withSeparator(*o.rxFolder);
        settings.Other.DrnRx = 1;
    }
    if (o.jrdbFolder) {
        settings.Folder.Jrdb = withSeparator(*o.jrdbFolder);
        settings.Other.Jrdb = 1;
    }
    if (o.warsFormat)
        settings.File.WarsFormat = static_cast<TFlag>(*o.warsFormat);
    if (o.ruvFormat)
        settings.File.RuvFormat = static_cast<TFlag>(*o.ruvFormat);
    if (o.anyFileChosen()) {
        settings.File.TextOut = o.text;
        settings.File.HtmlOut = o.html;
        settings.File.WarsOut = o.wars;
        settings.File.RuvOut = o.ruv;
    }
    return settings;
}

std::string marksText(const TFocus& focus) {
    std::string text;
    for (int position = 1; position <= 6; ++position) {
        if (int runner = focus.MarkedRunner(position))
            text += (text.empty() ? "" : " ") + MarkSymbol(position) + std::to_string(runner);
    }
    return text;
}

std::string betsText(const TDaySession& day) {
    if (day.Focus().BetCount() == 0)
        return sjis("見送り");
    return BetKindText(day.Race()) + " " + BetPairsText(day.Focus());
}

int list(TDaySession& day, const TBatchOutput& out) {
    for (int i = 0; i < day.Race().RaceCount() && !ended(); ++i)
        out.line(std::to_string(i) + "\t" + day.Race().RaceLine(i));
    return 0;
}

int summary(TDaySession& day, const TBatchOutput& out) {
    for (int i = 0; i < day.Race().RaceCount() && !ended(); ++i) {
        day.PrepareRace(i, false);
        out.line(std::to_string(i) + "\t" + day.Race().RaceLine(i) + "\t" + marksText(day.Focus()) +
                 "\t" + betsText(day));
    }
    return 0;
}

int race(TDaySession& day, int index, const TBatchOutput& out) {
    day.PrepareRace(index, true);
    out.write(TextReportBlock(day.OutputContext()));
    return 0;
}

int explain(TDaySession& day, int index, std::optional<int> runner, const TBatchOutput& out) {
    day.PrepareRace(index, false);
    const TExplanation explanation(day.Race(), day.Focus());
    const int n = explanation.RunnerCount();
    if (runner && *runner > n)
        throw std::runtime_error(day.Race().RaceLine(index) + sjis(" の出走馬は ") +
                                 std::to_string(n) + sjis(" 頭です: ") + std::to_string(*runner) +
                                 sjis("番はいません"));
    out.line(std::to_string(index) + "\t" + day.Race().RaceLine(index));
    for (int r = runner.value_or(1); r <= runner.value_or(n); ++r) {
        for (int cell = 0; cell < TFocus::kCells; ++cell)
            out.write("\n" + explanation.Figure(r, cell));
        out.write("\n" + explanation.Score(r));
    }
    out.write("\n" + explanation.Bets());
    return 0;
}

// Why a walk of command that was not cancelled started no file.
const char* noFileReason(TOutputCommand command, const TSettings::TFile& on, int races) {
    switch (NoFileReason(command, on, races)) {
    case TNoFileReason::AllSwitchedOff: return "出力するファイルがすべてオフです";
    case TNoFileReason::NoRaces: return "この日にはレースがありません";
    case TNoFileReason::NoBets: break;
    }
    return "買い目のあるレースがありません (WARS と RUV "
           "のファイルには買い目のあるレースだけが入ります)";
}

// The progress of a walk on a terminal; an ending signal stops the walk before its next step.
TOutputProgress interruptibleProgress() {
    const bool showProgress = isatty(STDERR_FILENO);
    return [showProgress](int position, int total, const std::string& text) {
        if (showProgress)
            std::cerr << "\r" << toUtf8Lenient(text) << (position == total ? "\n" : "")
                      << std::flush;
        return !ended();
    };
}

void printWritten(const fs::path& file, const TBatchOutput& out) {
    out.utf8Line("書き込みました: " + file.string() + " (" + std::to_string(fs::file_size(file)) +
                 " バイト)");
}

// The write and csv commands: the output walk with its progress on a terminal.
int write(TDaySession& day, TOutputCommand command, const TBatchOutput& out) {
    TDaySession::TOutputSummary result = day.RunOutput(command, interruptibleProgress());
    if (result.discarded) {
        std::cerr << result.races << " レースで中止しました: 何も書き込んでいません\n";
        return 1;
    }
    for (const fs::path& file : result.files)
        printWritten(file, out);
    if (result.files.empty() && !result.cancelled)
        out.utf8Line(std::string("書き込んだファイルはありません: ") +
                     noFileReason(command, day.Settings().File, result.races));
    if (result.cancelled)
        std::cerr << result.races << " レースで中止しました\n";
    return 0;
}

// The output folder the user named, made with its parents (as mkdir -p makes it) when it
// is not there yet.
void makeOutFolder(const std::optional<std::string>& folder) {
    if (!folder)
        return;
    std::error_code error;
    if (fs::exists(*folder, error) && !fs::is_directory(*folder, error))
        throw std::runtime_error(toCp932Lenient(*folder) +
                                 sjis(": 出力先に指定されたのはフォルダではなくファイルです"));
    fs::create_directories(*folder, error);
    if (error)
        throw std::runtime_error(toCp932Lenient(*folder) +
                                 sjis(": 出力先のフォルダを作れません (") +
                                 SystemReason(error.value()) + ")");
}

int ledger(const TSettings& settings, const TBatchOptions& o, const TBatchOutput& out) {
    const TLedgerRange range{o.from ? SeasonDate(*o.from) : 0, o.to ? SeasonDate(*o.to) : 0};
    TWhatIf question{o.rule ? ParseRule(*o.rule) : TRule{}, std::nullopt, range, std::nullopt};
    if (o.sweep)
        question.sweep = ParseSweep(*o.sweep, question.rule);
    if (o.judgeFrom) {
        question.judge = TLedgerRange{SeasonDate(*o.judgeFrom), SeasonDate(*o.judgeTo)};
        try {
            CheckJudgeRange(range, *question.judge);
        } catch (const ERuleError& error) {
            throw ERuleError("--judge: " + std::string(error.what()));
        }
    }
    TSeasonLedger season(settings, o.archive, range, o.storeFile.value_or(""));
    season.SetRule(question.rule);
    const TLedger result = season.Run(interruptibleProgress());
    for (const std::string& note : result.storeNotes)
        std::cerr << "成績データベース: " << toUtf8Lenient(note) << "\n";
    for (const std::string& problem : result.problems)
        std::cerr << "読めませんでした: " << toUtf8Lenient(problem) << "\n";
    for (const std::string& warning : result.warnings)
        std::cerr << "警告: " << toUtf8Lenient(warning) << "\n";
    if (result.cancelled) {
        std::cerr << "中止しました: 何も書き込んでいません\n";
        return 1;
    }
    const TLedgerSummary summary = Summarize(result);
    for (const std::string& line : SummaryLines(summary, o.market))
        out.line(line);
    const bool asked = question.rule != TRule{} || question.sweep || question.judge;
    const TWhatIfAnswer answer = asked ? AnswerWhatIf(*season.Replay(), question) : TWhatIfAnswer{};
    const std::vector<std::string> whatIf = WhatIfLines(question, answer);
    for (const std::string& line : whatIf)
        out.line(line);
    out.line(sjis("成績データベース: ") + toCp932Lenient(result.store.string()));
    if (ended())
        return 1; // nothing written
    makeOutFolder(o.outFolder);
    const fs::path folder = o.outFolder.value_or(".");
    std::vector<THtmlSection> sections;
    if (asked)
        sections.push_back({sjis("条件を変えて再計算"), whatIf, SweepChart(question, answer)});
    for (const fs::path& file : WriteLedgerFiles(result, summary, folder, sections))
        printWritten(file, out);
    if (question.sweep) {
        ReplaceFile(folder / "sweep.csv", SweepCsv(answer.sweep));
        printWritten(folder / "sweep.csv", out);
    }
    if (question.sweep && question.judge) {
        ReplaceFile(folder / "sweep-judge.csv", SweepCsv(answer.judgedSweep));
        printWritten(folder / "sweep-judge.csv", out);
    }
    return 0;
}

int runCommand(TDaySession& day, const TBatchOptions& options, const TBatchOutput& out) {
    if (options.command == "list")
        return list(day, out);
    if (options.command == "summary")
        return summary(day, out);
    const int index =
        options.raceName ? RaceIndexByName(day.Race(), *options.raceName) : options.raceIndex;
    if (options.command == "race")
        return race(day, index, out);
    if (options.command == "explain")
        return explain(day, index, options.runner, out);
    makeOutFolder(options.outFolder);
    return write(day, options.command == "csv" ? TOutputCommand::Csv : TOutputCommand::All, out);
}

} // namespace

int main(int argc, char** argv) {
    TBatchOptions options;
    try {
        options = ParseBatchOptions(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const EBatchUsage& e) {
        std::cerr << "ruvpelton-batch: " << e.what()
                  << "\n使い方は ruvpelton-batch --help で表示されます\n";
        return 2;
    }
    if (options.help) {
        std::cout << kBatchUsage;
        return 0;
    }
    if (options.version) {
        std::cout << "ruvpelton-batch (RUV PELTON) " << ProductVersion() << "\n"
                  << Copyright() << "\n";
        return 0;
    }
    catchEndingSignals();
    RemoveAbandonedWorkFolders();
    int code = 0;
    try {
        TSettings settings = loadSettings(options, argv[0]);
        const TBatchOutput out(options.sjis);
        if (options.command == "ledger") {
            code = ledger(settings, options, out);
        } else {
            TDaySession day(settings);
            if (options.command != "list")
                day.FocusCreate(); // listing needs no time database
            day.OpenDay(options.archive);
            for (const std::string& warning : day.FileWarnings())
                std::cerr << "警告: " << options.archive << ": " << toUtf8Lenient(warning) << "\n";
            if (!ended())
                code = runCommand(day, options, out);
        }
    } catch (const EOutputClosed&) {
        return 128 + SIGPIPE; // as a tool that SIGPIPE ended, without a word
    } catch (const std::exception& e) {
        std::cerr << "ruvpelton-batch: " << toUtf8Lenient(MessageOf(e)) << "\n";
        code = 1;
    }
    if (ended()) {
        std::cerr << "ruvpelton-batch: " << SignalName(EndingRequested()) << " で終了しました\n";
        return 128 + EndingRequested();
    }
    return code;
}
