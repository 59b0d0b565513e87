#include "cli/BatchOptions.h"

#include <map>

const char* const kBatchUsage =
    "usage: ruvpelton-batch COMMAND ARCHIVE [INDEX] [options]\n"
    "\n"
    "commands:\n"
    "  list ARCHIVE         the day's races, one per line: index, a tab, the race line\n"
    "  summary ARCHIVE      every race with the program's marks and bets, one per line\n"
    "  race ARCHIVE RACE    the race's block of the detailed text report; RACE is the\n"
    "                       race's index in list (from 0) or its venue and number (東京11R)\n"
    "  explain ARCHIVE RACE [RUNNER]\n"
    "                       how each figure, score and mark of the race's runners (or of\n"
    "                       runner number RUNNER) and the race's bets came about\n"
    "  write ARCHIVE        write the day's files into the output folder, as 一括出力 does\n"
    "  csv ARCHIVE          write the day for a spreadsheet, c + date + .csv, as CSV出力\n"
    "                       does: one row per runner, UTF-8\n"
    "  ledger FOLDER        how the marks and bets did over the day archives rv + YYMMDD\n"
    "                       + .lzh in FOLDER: prints the summary and writes ledger.csv,\n"
    "                       ledger.html, market.csv and calibration.csv into --out\n"
    "                       (default: the current folder)\n"
    "\n"
    "files for write (none given: the settings' switches):\n"
    "  --text               the detailed text report, s + date + course + .txt\n"
    "  --html               the HTML report, s + date + course + .htm\n"
    "  --wars               the WARS contest file, w + date + .txt\n"
    "  --ruv                the RUV text file, q + date + .txt\n"
    "\n"
    "options (they override the settings file):\n"
    "  --time DIR           the folder of the time database time.dbx\n"
    "  --out DIR            the output folder, made with its parents when it is not there\n"
    "  --rx DIR             read odds from DRNWin's RX files in DIR first\n"
    "  --jrdb DIR           read odds from the JRDB odds archive in DIR\n"
    "  --wars-format 0|1    0: old WARS header, 1: year-2000 header\n"
    "  --ruv-format 0|1     0: old OVERS layout, 1: new OVERS layout\n"
    "  --from YYMMDD        ledger: the first day to keep\n"
    "  --to YYMMDD          ledger: the last day to keep (later days still give results)\n"
    "  --store FILE         ledger: the season store to bring up to date and read (default:\n"
    "                       one per folder, time database and odds sources in\n"
    "                       ~/.cache/ruvpelton/)\n"
    "  --rule K=V,...       ledger: replay the season from the store under another rule\n"
    "                       (good, margin, scored, min-odds, tickets) beside the defaults\n"
    "  --sweep K=FROM:TO:STEP  ledger: replay each value (at most 200), print a row per\n"
    "                       value and write sweep.csv into --out\n"
    "  --judge FROM:TO      ledger: replay the --rule or --sweep, and the defaults, on the\n"
    "                       later days FROM to TO (YYMMDD:YYMMDD, after --to) and print\n"
    "                       both with the difference; a sweep also writes sweep-judge.csv\n"
    "  --market             ledger: also print the top mark (◎) against the favourite, the\n"
    "                       score and the odds as win probabilities, and ◎ by odds band\n"
    "  --ini FILE           the settings file, which must exist (default: ruvpelton.ini\n"
    "                       beside this tool; installed: ~/.config/ruvpelton/ruvpelton.ini)\n"
    "  --sjis               print CP932 bytes instead of UTF-8\n"
    "  --help               show this text\n"
    "  --version            show the version\n"
    "\n"
    "Without --rx and --jrdb the RUV odds archive j + YYMMDD + .lzh beside the day archive\n"
    "is read, as the program does.\n";

namespace {

int numberValue(const std::string& text, const char* what, int lowest) {
    const bool digits = !text.empty() && text.size() <= 6 &&
                        text.find_first_not_of("0123456789") == std::string::npos;
    if (!digits || std::stoi(text) < lowest)
        throw EBatchUsage(std::string(what) + "は " + std::to_string(lowest) +
                          " 以上の数で指定してください ('" + text + "' は使えません)");
    return std::stoi(text);
}

int formatValue(const std::string& option, const std::string& value) {
    if (value != "0" && value != "1")
        throw EBatchUsage(option + " には 0 か 1 を指定してください ('" + value +
                          "' は使えません)");
    return value == "1" ? 1 : 0;
}

std::string dateValue(const std::string& option, const std::string& value) {
    if (value.size() != 6 || value.find_first_not_of("0123456789") != std::string::npos)
        throw EBatchUsage(option + " には日付を YYMMDD で指定してください ('" + value +
                          "' は使えません)");
    return value;
}

// FROM:TO, two dates YYMMDD
void judgeRange(const std::string& value, TBatchOptions& o) {
    const std::size_t colon = value.find(':');
    if (colon == std::string::npos)
        throw EBatchUsage("--judge には期間を YYMMDD:YYMMDD で指定してください ('" + value +
                          "' は使えません)");
    o.judgeFrom = dateValue("--judge", value.substr(0, colon));
    o.judgeTo = dateValue("--judge", value.substr(colon + 1));
}

} // namespace

TBatchOptions ParseBatchOptions(const std::vector<std::string>& args) {
    TBatchOptions o;
    const std::map<std::string, bool TBatchOptions::*> switches{
        {"--help", &TBatchOptions::help},       {"-h", &TBatchOptions::help},
        {"--version", &TBatchOptions::version}, {"--sjis", &TBatchOptions::sjis},
        {"--text", &TBatchOptions::text},       {"--html", &TBatchOptions::html},
        {"--wars", &TBatchOptions::wars},       {"--ruv", &TBatchOptions::ruv},
        {"--market", &TBatchOptions::market}};
    const std::map<std::string, std::optional<std::string> TBatchOptions::*> textOptions{
        {"--time", &TBatchOptions::timeFolder}, {"--out", &TBatchOptions::outFolder},
        {"--rx", &TBatchOptions::rxFolder},     {"--jrdb", &TBatchOptions::jrdbFolder},
        {"--ini", &TBatchOptions::iniFile},     {"--from", &TBatchOptions::from},
        {"--to", &TBatchOptions::to},           {"--store", &TBatchOptions::storeFile},
        {"--rule", &TBatchOptions::rule},       {"--sweep", &TBatchOptions::sweep},
        {"--judge", &TBatchOptions::judgeFrom}};
    std::vector<std::string> positional;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (auto s = switches.find(arg); s != switches.end()) {
            o.*(s->second) = true;
            continue;
        }
        bool takesValue = textOptions.count(arg) || arg == "--wars-format" || arg == "--ruv-format";
        if (takesValue) {
            if (i + 1 >= args.size())
                throw EBatchUsage(arg + " には値が必要です");
            const std::string& value = args[++i];
            if (arg == "--wars-format")
                o.warsFormat = formatValue(arg, value);
            else if (arg == "--ruv-format")
                o.ruvFormat = formatValue(arg, value);
            else if (arg == "--from" || arg == "--to")
                o.*(textOptions.at(arg)) = dateValue(arg, value);
            else if (arg == "--judge")
                judgeRange(value, o);
            else
                o.*(textOptions.at(arg)) = value;
            continue;
        }
        if (arg.size() > 1 && arg[0] == '-')
            throw EBatchUsage("知らないオプションです: " + arg);
        positional.push_back(arg);
    }
    if (o.help || o.version)
        return o;
    if (o.judgeFrom && !o.rule && !o.sweep)
        throw EBatchUsage("--judge は --rule か --sweep と使います");
    if (positional.empty())
        throw EBatchUsage("コマンドがありません");
    o.command = positional[0];
    const bool byRace = o.command == "race" || o.command == "explain";
    if (o.command != "list" && o.command != "summary" && !byRace && o.command != "write" &&
        o.command != "csv" && o.command != "ledger")
        throw EBatchUsage("知らないコマンドです: " + o.command);
    const std::size_t least = byRace ? 3 : 2;
    const std::size_t most = o.command == "explain" ? 4 : least;
    if (positional.size() < least || positional.size() > most)
        throw EBatchUsage(
            o.command +
            (byRace                  ? " にはアーカイブとレース (一覧の番号、または場所と番号: 東京11R) を指定して"
                                       "ください"
             : o.command == "ledger" ? " にはフォルダを1つ指定してください"
                                     : " にはアーカイブを1つ指定してください"));
    o.archive = positional[1];
    if (byRace) {
        // a bare number is the race's place in the list; anything else names it (東京11R)
        if (positional[2].find_first_not_of("0123456789") == std::string::npos)
            o.raceIndex = numberValue(positional[2], "レースの番号", 0);
        else
            o.raceName = positional[2];
    }
    if (positional.size() == 4)
        o.runner = numberValue(positional[3], "馬番", 1);
    return o;
}
