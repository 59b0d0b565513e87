// ruvpelton-batch: the program's day work from the command line.
#include "cli/BatchOptions.h"

#include "analysis/Explanation.h"
#include "analysis/Focus.h"
#include "session/DaySession.h"
#include "session/OutputReport.h"
#include "session/ProgramFiles.h"
#include "session/Settings.h"
#include "ledger/LedgerFiles.h"
#include "ledger/SeasonLedger.h"
#include "output/ReportPieces.h"
#include "output/Writers.h"
#include "platform/Cp932.h"
#include "platform/Folder.h"
#include "platform/Version.h"
#include "race/RaceBase.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

// The signal that asked the tool to end: SIGINT (Ctrl-C), SIGTERM or SIGHUP; 0 while none.
volatile std::sig_atomic_t g_endingSignal = 0;

// Standard output and error when they are pipes or sockets, else -1: the outputs whose
// writes may wait for a reader; and /dev/null, opened before any signal can arrive.
int g_pipeOutputs[2] = {-1, -1};
int g_nullOutput = -1;

extern "C" void onEndingSignal(int signal) {
    g_endingSignal = signal;
    // A write that starts after this would otherwise still wait for a reader that does
    // not read. The tool's own descriptors are pointed at /dev/null; the pipe itself,
    // which other processes may share, is left as it is.
    if (g_nullOutput >= 0)
        for (int fd : g_pipeOutputs)
            if (fd >= 0)
                dup2(g_nullOutput, fd);
}

bool isPipe(int fd) {
    struct stat st {};
    return fstat(fd, &st) == 0 && (S_ISFIFO(st.st_mode) || S_ISSOCK(st.st_mode));
}

// Each command stops at its next step once one of them arrives, and the tool then ends
// through its usual way out, which removes its work folder. Without SA_RESTART a write
// to a pipe that nobody reads is broken off instead of waiting for ever; a reader that
// went away (SIGPIPE) makes the writes fail, not the tool die with its folder left.
void catchEndingSignals() {
    g_pipeOutputs[0] = isPipe(STDOUT_FILENO) ? STDOUT_FILENO : -1;
    g_pipeOutputs[1] = isPipe(STDERR_FILENO) ? STDERR_FILENO : -1;
    g_nullOutput = open("/dev/null", O_WRONLY | O_CLOEXEC);
    struct sigaction action {};
    action.sa_handler = onEndingSignal;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGINT, SIGTERM, SIGHUP})
        sigaction(signal, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
}

bool ended() {
    return g_endingSignal != 0;
}

class Printer {
public:
    explicit Printer(bool sjis) : m_sjis(sjis) {}
    // Text in CP932; in UTF-8 mode CR LF line ends become LF. Each text is handed on
    // at once, so a reader sees every line as it comes.
    void write(const std::string& cp932) const {
        if (m_sjis) {
            std::cout << cp932 << std::flush;
            return;
        }
        std::string text = toUtf8Lenient(cp932);
        std::string out;
        out.reserve(text.size());
        for (std::size_t i = 0; i < text.size(); ++i)
            if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n'))
                out += text[i];
        std::cout << out << std::flush;
    }
    void line(const std::string& cp932) const { write(cp932 + "\n"); }

private:
    bool m_sjis;
};

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

int list(TDaySession& day, const Printer& out) {
    for (int i = 0; i < day.Race().RaceCount() && !ended(); ++i)
        out.line(std::to_string(i) + "\t" + day.Race().RaceLine(i));
    return 0;
}

int summary(TDaySession& day, const Printer& out) {
    for (int i = 0; i < day.Race().RaceCount() && !ended(); ++i) {
        day.PrepareRace(i, false);
        out.line(std::to_string(i) + "\t" + day.Race().RaceLine(i) + "\t" + marksText(day.Focus()) +
                 "\t" + betsText(day));
    }
    return 0;
}

int race(TDaySession& day, int index, const Printer& out) {
    day.PrepareRace(index, true);
    out.write(TextReportBlock(day.OutputContext()));
    return 0;
}

int explain(TDaySession& day, int index, std::optional<int> runner, const Printer& out) {
    day.PrepareRace(index, false);
    const TExplanation explanation(day.Race(), day.Focus());
    const int n = explanation.RunnerCount();
    if (runner && *runner > n)
        throw std::runtime_error("race " + std::to_string(index) + " has " + std::to_string(n) +
                                 " runners, no runner " + std::to_string(*runner));
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
    case TNoFileReason::AllSwitchedOff: return "every output file is switched off";
    case TNoFileReason::NoRaces: return "the day has no races";
    case TNoFileReason::NoBets: break;
    }
    return "no race of the day has bets, and the WARS and RUV files hold only races with bets";
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

void printWritten(const fs::path& file) {
    std::cout << "written: " << file.string() << " (" << fs::file_size(file) << " bytes)\n";
}

// The write and csv commands: the output walk with its progress on a terminal.
int write(TDaySession& day, TOutputCommand command) {
    TDaySession::TOutputSummary result = day.RunOutput(command, interruptibleProgress());
    for (const fs::path& file : result.files)
        printWritten(file);
    if (result.files.empty() && !result.cancelled)
        std::cout << "no file written: " << noFileReason(command, day.Settings().File, result.races)
                  << "\n";
    if (result.cancelled)
        std::cerr << "cancelled after " << result.races << " races\n";
    return 0;
}

int ledger(const TSettings& settings, const TBatchOptions& o, const Printer& out) {
    const TLedgerRange range{o.from ? SeasonDate(*o.from) : 0, o.to ? SeasonDate(*o.to) : 0};
    const TSeasonLedger season(settings, o.archive, range);
    const TLedger result = season.Run(interruptibleProgress());
    for (const std::string& problem : result.problems)
        std::cerr << "skipped: " << toUtf8Lenient(problem) << "\n";
    if (result.cancelled) {
        std::cerr << "cancelled: nothing written\n";
        return 1;
    }
    const TLedgerSummary summary = Summarize(result);
    for (const std::string& line : SummaryLines(summary))
        out.line(line);
    for (const fs::path& file : WriteLedgerFiles(result, summary, o.outFolder.value_or(".")))
        printWritten(file);
    return 0;
}

int runCommand(TDaySession& day, const TBatchOptions& options, const Printer& out) {
    if (options.command == "list")
        return list(day, out);
    if (options.command == "summary")
        return summary(day, out);
    if (options.command == "race")
        return race(day, options.raceIndex, out);
    if (options.command == "explain")
        return explain(day, options.raceIndex, options.runner, out);
    return write(day, options.command == "csv" ? TOutputCommand::Csv : TOutputCommand::All);
}

} // namespace

int main(int argc, char** argv) {
    TBatchOptions options;
    try {
        options = ParseBatchOptions(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const EBatchUsage& e) {
        std::cerr << "ruvpelton-batch: " << e.what() << "\n\n" << kBatchUsage;
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
    int code = 0;
    try {
        TSettings settings = loadSettings(options, argv[0]);
        const Printer out(options.sjis);
        if (options.command == "ledger") {
            code = ledger(settings, options, out);
        } else {
            TDaySession day(settings);
            if (options.command != "list")
                day.FocusCreate(); // listing needs no time database
            day.OpenDay(options.archive);
            if (!ended())
                code = runCommand(day, options, out);
        }
    } catch (const std::exception& e) {
        std::cerr << "ruvpelton-batch: " << toUtf8Lenient(e.what()) << "\n";
        code = 1;
    }
    if (ended()) {
        std::cerr << "ruvpelton-batch: ended by " << strsignal(g_endingSignal) << "\n";
        return 128 + g_endingSignal;
    }
    return code;
}
