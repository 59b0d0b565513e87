#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

class TIniDocument;

// A flag or style as held: the low 8 bits of the stored integer. Any value other than 0
// means on; a value read from the file is written back unchanged unless it was set.
using TFlag = std::uint8_t;

// The settings of one run, named after their keys in the settings file.
//
// Folders are UTF-8 path text (the file holds them as CP932) and are used exactly as
// stored: nothing is appended, so a folder without a final '/' is used without one.
// Font sizes and pane widths are used as stored.
struct TSettings {
    struct TFolder {
        std::string InDenm; // day archives; the open dialog starts there
        std::string OutTxt; // every output file
        std::string Time;   // the time database
        std::string DrnRx;  // DRNWin's RX odds files
        std::string Jrdb;   // JRDB odds archives; read, never written
    };
    struct TFile {
        TFlag OutAtRead = 0; // batch output right after a day is opened
        TFlag TextOut = 0;
        TFlag HtmlOut = 0;
        TFlag WarsOut = 0;
        TFlag WarsFormat = 1; // 0 old, 1 year-2000
        TFlag RuvOut = 0;
        TFlag RuvFormat = 1; // 0 old OVERS, 1 new OVERS
    };
    struct TFont {
        int Size = 11;    // points: prediction and training grids
        int SizeOdds = 9; // points: odds and horse-name grids
    };
    struct TOther {
        TFlag RaceClose = 0; // hide the race index once a race is chosen
        TFlag DrnRx = 0;     // look in the RX files first
        TFlag Jrdb = 0;      // look for the JRDB odds archive first; read, never written
    };
    // Kept by the ledger window in the same file.
    struct TSeason {
        std::string Store; // the season store's file (UTF-8); empty: the default in the cache
        // the time database's folder of the ledger (UTF-8); empty: the main window's (Time)
        std::string Time;
    };
    // Kept by the main window in the same file.
    struct TPos {
        int Split1 = 183;      // pixels: width of the race tree
        int Split2 = 113;      // pixels: width of the horse-name pane
        TFlag Bamei = 1;       // the horse-name pane is shown
        TFlag Graph = 0;       // the figure chart is shown below the prediction grid
        int GraphHeight = 160; // pixels: its height
    };
    // A day archive opened lately, as the menu 最近使った開催日 lists it.
    struct TRecentDay {
        std::string File;    // the archive (UTF-8)
        std::string Caption; // its date and venues (CP932)
        bool operator==(const TRecentDay&) const = default;
    };
    static constexpr int kRecentDays = 8;

    // The folder of the program file with its final '/': the default of every folder.
    std::string ProgramFolder;
    // Set by the settings dialog when it changed a font size, cleared when it changed
    // neither; never stored.
    bool FontChanged = false;

    TFolder Folder;
    TFile File;
    TFont Font;
    TOther Other;
    TSeason Season;
    TPos Pos;
    // Kept by the main window in the same file (section "Recent"), the newest first.
    std::vector<TRecentDay> Recent;

    // Reads every value from iniFile, which lies beside the program, so its folder is
    // the program folder. A missing file, key or value, or an integer value that is not
    // an integer, gives the default; a folder that is not valid CP932 gives the program
    // folder. Integers are decimal, or hexadecimal after "0x" or "$". Throws EInOutError
    // when the file exists but cannot be read.
    void Load(const std::filesystem::path& iniFile);
    // The same with another default of the folders than the settings file's own folder
    // (with its final '/'), for a settings file that does not lie beside the program.
    void Load(const std::filesystem::path& iniFile, const std::string& defaultFolder);
    // The same from a settings file already in memory.
    void Load(const TIniDocument& iniFile, const std::string& defaultFolder);

    // Writes, in this order, "Folder": InDenm, OutTxt, Time, DrnRx; "File": OutAtRead,
    // TextOut, HtmlOut, WarsOut, WarsFormat, RuvOut, RuvFormat; "Font": Size, SizeOdds;
    // "Other": RaceClose, DrnRx. Every other line of the file stays as it is (both Jrdb
    // keys, section "Pos", foreign keys and comments). The file is created when missing.
    // The file is written once, through a temporary file beside it, with one sync.
    // Throws EInOutError when the file cannot be written (the file stays whole), and
    // EConvertError naming the keys of folders that cannot be stored (no CP932 form or a
    // line break) after writing all other keys; those keys keep what the file held.
    void Save(const std::filesystem::path& iniFile) const;
    // Sets the keys Save writes in iniFile; returns the keys of the folders that cannot
    // be stored, which keep what the file held.
    std::vector<std::string> Store(TIniDocument& iniFile) const;

    // Writes section "Pos": Split1, Split2, Bamei, Graph, GraphHeight, as the main window
    // does when it closes.
    void SavePos(const std::filesystem::path& iniFile) const;
    // Puts an opened day first in Recent, once, keeping the newest kRecentDays; a file
    // without a CP932 name cannot be stored and is left out.
    void AddRecent(const std::filesystem::path& archive, const std::string& caption);
    // Writes section "Recent": File1.. and Caption1.. for every place of the list.
    void SaveRecent(const std::filesystem::path& iniFile) const;
    // Writes section "Season": Store and Time, as the ledger window does when the user
    // chooses where the store lies or which time database the ledger uses. Throws EConvertError
    // when the path has no CP932 form.
    void SaveSeason(const std::filesystem::path& iniFile) const;
};

// The settings file of a program file: its path with ".ini" in place of its extension,
// or with ".ini" appended when it has none.
std::filesystem::path SettingsFilePath(const std::filesystem::path& programFile);

// The folder of a file as absolute path text with its final '/'.
std::string FolderText(const std::filesystem::path& file);
