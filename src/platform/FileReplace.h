#pragma once

#include <filesystem>
#include <string>

// Files that replace another one whole: written beside it under a name of their own,
// synced, and renamed over it, so that a failure at any point (a full disk, a killed
// run) leaves the old file as it was.

struct TFileBeside {
    int fd = -1; // open for writing; -1 when the file could not be made (errno says why)
    std::filesystem::path path;
};

// A new empty file in file's folder, named "." + its name + a unique suffix + ".tmp",
// made with mode 0666 less the umask, as any new file.
TFileBeside CreateFileBeside(const std::filesystem::path& file);

// Writes the file's data through to the disk (where a full disk may only now be found);
// 0, or the errno of the failure.
int SyncFile(const std::filesystem::path& file);

// Writes bytes to a new file in file's folder and renames it over file, so that the file
// is either whole with the new bytes or as it was. An existing file keeps its mode.
// Throws EInOutError naming the operation and the file.
void ReplaceFile(const std::filesystem::path& file, const std::string& bytes);
