// Unlha: extraction of named members of an LZH archive (over libarchive).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// The archiver call of the data service's tools:
//   Unlha(window, "e -+c \"archive\" folder member member ...", buffer, size)
// extracts the named members of an LZH archive into folder. Members are matched by
// their base name, ignoring ASCII case, and written only as folder + the name asked
// for, so no path taken from the archive is ever used. A member that cannot be read
// whole is not written; the reason goes to the output buffer, which always ends with
// a zero byte. Returns 0 when every named member was written.
int Unlha(void* window, const char* commandLine, char* buffer, unsigned long size);

// Extracts members of archive into folder (ending with its separator) with the command
// line the data service's tools use: e -+c "archive" folder member... The archiver's
// messages are not used; callers check for the files they need.
void ExtractMembers(const std::string& archive, const std::string& folder,
                    const std::vector<std::string>& members);

// The whole of a regular file; nullopt when it is missing or cannot be read.
std::optional<std::string> ReadFileImage(const std::string& file);

// The parts of an "e" command line, split as the archiver splits it.
struct UnlhaCommand {
    std::string archive;
    std::string folder;
    std::vector<std::string> members;
};

// Throws std::invalid_argument when the line is not an extract command with an
// archive and a folder.
UnlhaCommand ParseUnlhaCommand(const std::string& commandLine);
