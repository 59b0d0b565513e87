#pragma once

#include "season/FileFingerprint.h"

#include <string>
#include <string_view>
#include <vector>

class TCaseBlindFolders;
struct TSeasonDay;
struct TSettings;

// An odds file a day was read with, as the store keeps it: its path, size, time and hash.
struct TOddsStamp {
    std::string path;
    TFileFingerprint print;
};

// The stamps as the store's text: one line per file, "path<TAB>size<TAB>mtime<TAB>hash".
std::string OddsText(const std::vector<TOddsStamp>& files);

// True when text, as OddsText wrote it, names the same files in the same order with the same
// sizes, and the same times (contents false) or the same hashes (contents true).
bool SameAsStored(const std::vector<TOddsStamp>& files, std::string_view text, bool contents);

// The odds files that exist among those the day would be read with, hashed or only stamped;
// folders lists a folder once, when a file is not there under its own name.
std::vector<TOddsStamp> CurrentOddsFiles(const TSettings& settings, const TSeasonDay& day,
                                         TCaseBlindFolders& folders, bool hashed);
