#include "session/Settings.h"

#include "platform/Cp932.h"
#include "platform/Errors.h"
#include "platform/IniFile.h"

#include <optional>
#include <stdexcept>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr const char* kFolder = "Folder";
constexpr const char* kFile = "File";
constexpr const char* kFont = "Font";
constexpr const char* kOther = "Other";
constexpr const char* kPos = "Pos";
constexpr const char* kSeason = "Season";
constexpr const char* kRecent = "Recent";

std::string numbered(const char* key, int place) {
    return key + std::to_string(place + 1);
}

// The stored path as UTF-8; fallback when it is missing or not valid CP932.
std::string readPath(const char* section, const char* key, const std::string& fallback,
                     const TIniDocument& ini) {
    std::optional<std::string> stored = ini.Find(section, key);
    if (!stored)
        return fallback;
    try {
        return toUtf8(*stored);
    } catch (const EConvertError&) {
        return fallback;
    }
}

std::string readFolder(const char* key, const std::string& programFolder, const TIniDocument& ini) {
    return readPath(kFolder, key, programFolder, ini);
}

int readInteger(const char* section, const char* key, int defaultValue, const TIniDocument& ini) {
    std::optional<std::string> value = ini.Find(section, key);
    return value ? ProfileTextToInteger(*value).value_or(defaultValue) : defaultValue;
}

TFlag readFlag(const char* section, const char* key, TFlag defaultValue, const TIniDocument& ini) {
    // only the low 8 bits are held: 256 reads as 0, -1 as 255
    return static_cast<TFlag>(readInteger(section, key, defaultValue, ini));
}

void writeInt(const char* section, const char* key, int value, TIniDocument& ini) {
    ini.Set(section, key, std::to_string(value));
}

} // namespace

void TSettings::Load(const fs::path& iniFile) {
    Load(iniFile, FolderText(iniFile));
}

void TSettings::Load(const fs::path& iniFile, const std::string& defaultFolder) {
    Load(TIniDocument::Read(iniFile), defaultFolder);
}

void TSettings::Load(const TIniDocument& iniFile, const std::string& defaultFolder) {
    ProgramFolder = defaultFolder;

    Folder.InDenm = readFolder("InDenm", ProgramFolder, iniFile);
    Folder.OutTxt = readFolder("OutTxt", ProgramFolder, iniFile);
    Folder.Time = readFolder("Time", ProgramFolder, iniFile);
    Folder.DrnRx = readFolder("DrnRx", ProgramFolder, iniFile);
    Folder.Jrdb = readFolder("Jrdb", ProgramFolder, iniFile);

    const TFile fileDefaults;
    File.OutAtRead = readFlag(kFile, "OutAtRead", fileDefaults.OutAtRead, iniFile);
    File.TextOut = readFlag(kFile, "TextOut", fileDefaults.TextOut, iniFile);
    File.HtmlOut = readFlag(kFile, "HtmlOut", fileDefaults.HtmlOut, iniFile);
    File.WarsOut = readFlag(kFile, "WarsOut", fileDefaults.WarsOut, iniFile);
    File.WarsFormat = readFlag(kFile, "WarsFormat", fileDefaults.WarsFormat, iniFile);
    File.RuvOut = readFlag(kFile, "RuvOut", fileDefaults.RuvOut, iniFile);
    File.RuvFormat = readFlag(kFile, "RuvFormat", fileDefaults.RuvFormat, iniFile);

    const TFont fontDefaults;
    Font.Size = readInteger(kFont, "Size", fontDefaults.Size, iniFile);
    Font.SizeOdds = readInteger(kFont, "SizeOdds", fontDefaults.SizeOdds, iniFile);

    const TOther otherDefaults;
    Other.RaceClose = readFlag(kOther, "RaceClose", otherDefaults.RaceClose, iniFile);
    Other.DrnRx = readFlag(kOther, "DrnRx", otherDefaults.DrnRx, iniFile);
    Other.Jrdb = readFlag(kOther, "Jrdb", otherDefaults.Jrdb, iniFile);

    Season.Store = readPath(kSeason, "Store", "", iniFile);
    Season.Time = readPath(kSeason, "Time", "", iniFile);

    const TPos posDefaults;
    Pos.Split1 = readInteger(kPos, "Split1", posDefaults.Split1, iniFile);
    Pos.Split2 = readInteger(kPos, "Split2", posDefaults.Split2, iniFile);
    Pos.Bamei = readFlag(kPos, "Bamei", posDefaults.Bamei, iniFile);
    Pos.Graph = readFlag(kPos, "Graph", posDefaults.Graph, iniFile);
    Pos.GraphHeight = readInteger(kPos, "GraphHeight", posDefaults.GraphHeight, iniFile);

    Recent.clear();
    for (int place = 0; place < kRecentDays; ++place) {
        std::string file = readPath(kRecent, numbered("File", place).c_str(), "", iniFile);
        if (!file.empty())
            Recent.push_back(
                {std::move(file), iniFile.Find(kRecent, numbered("Caption", place)).value_or("")});
    }
}

void TSettings::Save(const fs::path& iniFile) const {
    TIniDocument ini = TIniDocument::Read(iniFile);
    const std::vector<std::string> unwritten = Store(ini);
    ini.Write(iniFile);
    if (!unwritten.empty()) {
        std::string message = sjis("設定ファイルに書けないフォルダ名です");
        message.append(" (");
        for (std::size_t i = 0; i < unwritten.size(); ++i)
            message.append(i == 0 ? "" : ", ").append(unwritten[i]);
        message.append(") ").append(iniFile.string());
        throw EConvertError(message);
    }
}

std::vector<std::string> TSettings::Store(TIniDocument& iniFile) const {
    std::vector<std::string> unwritten;
    auto writeFolder = [&](const char* key, const std::string& folder) {
        std::string text;
        try {
            text = toCp932(folder);
        } catch (const EConvertError&) {
            unwritten.push_back(key);
            return;
        }
        if (text.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos) {
            unwritten.push_back(key);
            return;
        }
        iniFile.Set(kFolder, key, text);
    };
    writeFolder("InDenm", Folder.InDenm);
    writeFolder("OutTxt", Folder.OutTxt);
    writeFolder("Time", Folder.Time);
    writeFolder("DrnRx", Folder.DrnRx);

    writeInt(kFile, "OutAtRead", File.OutAtRead, iniFile);
    writeInt(kFile, "TextOut", File.TextOut, iniFile);
    writeInt(kFile, "HtmlOut", File.HtmlOut, iniFile);
    writeInt(kFile, "WarsOut", File.WarsOut, iniFile);
    writeInt(kFile, "WarsFormat", File.WarsFormat, iniFile);
    writeInt(kFile, "RuvOut", File.RuvOut, iniFile);
    writeInt(kFile, "RuvFormat", File.RuvFormat, iniFile);

    writeInt(kFont, "Size", Font.Size, iniFile);
    writeInt(kFont, "SizeOdds", Font.SizeOdds, iniFile);

    writeInt(kOther, "RaceClose", Other.RaceClose, iniFile);
    writeInt(kOther, "DrnRx", Other.DrnRx, iniFile);
    return unwritten;
}

void TSettings::SavePos(const fs::path& iniFile) const {
    TIniDocument ini = TIniDocument::Read(iniFile);
    writeInt(kPos, "Split1", Pos.Split1, ini);
    writeInt(kPos, "Split2", Pos.Split2, ini);
    writeInt(kPos, "Bamei", Pos.Bamei, ini);
    writeInt(kPos, "Graph", Pos.Graph, ini);
    writeInt(kPos, "GraphHeight", Pos.GraphHeight, ini);
    ini.Write(iniFile);
}

void TSettings::AddRecent(const fs::path& archive, const std::string& caption) {
    const std::string file = archive.string();
    if (file.find_first_of("\r\n") != std::string::npos)
        return;
    try {
        (void)toCp932(file);
    } catch (const EConvertError&) {
        return;
    }
    std::erase_if(Recent, [&file](const TRecentDay& day) { return day.File == file; });
    Recent.insert(Recent.begin(), {file, caption});
    if (Recent.size() > static_cast<std::size_t>(kRecentDays))
        Recent.resize(static_cast<std::size_t>(kRecentDays));
}

void TSettings::SaveRecent(const fs::path& iniFile) const {
    TIniDocument ini = TIniDocument::Read(iniFile);
    for (int place = 0; place < kRecentDays; ++place) {
        const auto at = static_cast<std::size_t>(place);
        const bool used = at < Recent.size();
        ini.Set(kRecent, numbered("File", place), used ? toCp932(Recent[at].File) : "");
        ini.Set(kRecent, numbered("Caption", place), used ? Recent[at].Caption : "");
    }
    ini.Write(iniFile);
}

void TSettings::SaveSeason(const fs::path& iniFile) const {
    TIniDocument ini = TIniDocument::Read(iniFile);
    for (const auto& [key, value] : {std::pair{"Store", &Season.Store}, {"Time", &Season.Time}}) {
        const std::string text = toCp932(*value);
        if (text.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos)
            throw EConvertError(sjis("設定ファイルに書けないファイル名です (") + key + ") " +
                                iniFile.string());
        ini.Set(kSeason, key, text);
    }
    ini.Write(iniFile);
}

fs::path SettingsFilePath(const fs::path& programFile) {
    fs::path ini = programFile;
    ini.replace_extension(".ini");
    return ini;
}

std::string FolderText(const fs::path& file) {
    return (fs::absolute(file).lexically_normal().parent_path() / "").string();
}
