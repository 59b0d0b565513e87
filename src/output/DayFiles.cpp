#include "output/OutputFile.h"
#include "output/Writers.h"

#include "analysis/Focus.h"
#include "platform/Format.h"
#include "race/RaceBase.h"
#include "race/RaceCode.h"

#include <algorithm>

namespace {

constexpr std::size_t kDateLength = 8;

const std::string kWarsSeparator(76, '-');
const std::string kRuvClosingLine = std::string(72, '-') + "\r\n";

void writeWarsHeaderBlock(TOutputFile& file, const TOutputContext& c) {
    file.WriteLine(kWarsSeparator);
    file.WriteLine(c.race.WarsHeaderLine(c.warsFormat));
    file.WriteLine(kWarsSeparator);
}

} // namespace

void WriteWarsFile(const TOutputContext& c, TOutputRun& run) {
    if (c.focus.BetCount() == 0)
        return;
    std::string key = FileKey(c.race);
    std::string date = key.substr(0, kDateLength);
    std::filesystem::path path = c.folder / ("w" + date + ".txt");
    bool starts = run.Starts(TOutputRun::File::Wars, date, path);
    std::string& lastKey = run.LastWarsKeys[date];
    if (starts)
        lastKey = key;
    TOutputFile file = run.Open(path, starts);
    if (starts)
        writeWarsHeaderBlock(file, c);
    // a new venue gets its own header block after an empty line
    if (lastKey.substr(std::min(kDateLength, lastKey.size())) != key.substr(kDateLength)) {
        file.WriteLine("");
        lastKey = key;
        writeWarsHeaderBlock(file, c);
    }
    int raceNumber = FieldToInt(c.race.RaceKey().substr(10, 2));
    file.WriteLine(Format("%2dR  %s  | ", raceNumber, c.focus.WarsBetLine().c_str()));
    file.Close();
}

void WriteRuvTextFile(const TOutputContext& c, TOutputRun& run) {
    if (c.focus.BetCount() == 0)
        return;
    std::string date = FileKey(c.race).substr(0, kDateLength);
    std::filesystem::path path = c.folder / ("q" + date + ".txt");
    bool starts = run.Starts(TOutputRun::File::Ruv, date, path);
    const std::filesystem::path& working = run.WorkingFile(path);
    // appending needs the closing line at the end: a file edited since starts afresh
    if (!starts && ReadTail(working, kRuvClosingLine.size()) != kRuvClosingLine)
        starts = true;
    if (!starts)
        TruncateTail(working, kRuvClosingLine.size(), path);
    TOutputFile file = run.Open(path, starts);
    file.WriteLine(c.race.RuvHeaderLine(c.ruvFormat));
    file.Write(c.focus.BetLines(c.ruvFormat));
    file.Write(kRuvClosingLine);
    file.Close();
}
