// Unlha: extraction of named members of an LZH archive (over libarchive).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The archiver call of the data service's tools:
//   Unlha(window, "e -+c \"archive\" folder member member ...", buffer, size)
// extracts the named members of an LZH archive into folder. Members are matched by
// their base name, ignoring ASCII case, and written only as folder + the name asked
// for, so no path taken from the archive is ever used. Every member that can be read
// whole is written, whatever happens to the others; a member that cannot (damaged,
// too large, not a plain file, stored under a path that leaves the folder, or present
// twice) is not written, and the reason goes to the output buffer, one line per
// member, which always ends with a zero byte. Returns 0 when every named member was
// written.
int Unlha(void* window, const char* commandLine, char* buffer, unsigned long size);

// What one extraction may write, so that a hostile archive cannot fill the disk: a day
// file of the data service is a few MiB.
struct TExtractLimits {
    std::uint64_t member = 32ull << 20;  // bytes of one member
    std::uint64_t archive = 64ull << 20; // bytes of all members of one extraction
};

// The command line the data service's tools pass: e -+c "archive" folder member...
// The archive stands in double quotes; the folder and the members only when they hold
// a blank or a quote, and a quote inside quotes is doubled, so every path survives.
std::string UnlhaCommandLine(const std::string& archive, const std::string& folder,
                             const std::vector<std::string>& members);

// Extracts members of archive into folder (ending with its separator) through Unlha
// and its command line; returns the archiver's messages (empty when every member was
// written). Callers check for the files they need and give the messages as the reason.
std::string ExtractMembers(const std::string& archive, const std::string& folder,
                           const std::vector<std::string>& members);

// The members of archive read into memory, by the index of their names (none for a member
// that could not be read whole), with the archiver's messages as ExtractMembers gives them;
// nothing is written. With prefix > 0 only each member's first prefix bytes are read.
struct TMemberImages {
    std::vector<std::optional<std::string>> images;
    std::string messages;
};
TMemberImages ExtractMembersInMemory(const std::string& archive,
                                     const std::vector<std::string>& members,
                                     std::uint64_t prefix = 0);

// The error text of a member that extraction did not yield: "<member>がオープンできません"
// (CP932), then the archiver's reasons, one per line, with control bytes made visible.
std::string MemberNotOpenedMessage(const std::string& member, const std::string& reasons);

// The parts of an "e" command line, split as the archiver splits it.
struct UnlhaCommand {
    std::string archive;
    std::string folder;
    std::vector<std::string> members;
};

// Throws std::invalid_argument when the line is not an extract command with an
// archive and a folder.
UnlhaCommand ParseUnlhaCommand(const std::string& commandLine);

// The extraction behind Unlha, with the limits given; returns 0 when every member was
// written and appends the reasons to messages.
int ExtractArchive(const UnlhaCommand& command, const TExtractLimits& limits,
                   std::string& messages);
