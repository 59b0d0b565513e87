#pragma once

#include <filesystem>
#include <string>
#include <vector>

// Files that replace others whole and together: each is written beside its place under a
// name of its own, and all are synced before any is renamed over its file, so that a
// failure at any point (a full disk, a killed run) leaves every old file as it was.
//
// A file beside is named "." + the file's name + ".ruvpelton." + a unique suffix + ".tmp"
// and stays locked (flock) by its run while it exists. The first time a set writes into a
// folder, it removes the folder's files of that pattern whose lock can be taken: what runs
// that were killed left behind.
class TFileSet {
public:
    TFileSet() = default;
    // Removes the files beside of a set that was not committed.
    ~TFileSet();
    TFileSet(const TFileSet&) = delete;
    TFileSet& operator=(const TFileSet&) = delete;

    // Adds file to the set and makes its empty file beside, which is returned: the caller
    // writes file's new bytes there. Throws EInOutError (作成) naming file when file is a
    // folder or the file beside cannot be made.
    const std::filesystem::path& Add(const std::filesystem::path& file);
    // Adds file with bytes as its whole new content.
    void Write(const std::filesystem::path& file, const std::string& bytes);
    // The file beside of a file added to the set.
    const std::filesystem::path& Beside(const std::filesystem::path& file) const;

    // Syncs every file beside (where a full disk may only now be found) and gives it the
    // mode of the file it replaces. Throws EInOutError naming the file that failed.
    void Sync();
    // Syncs (unless done), then renames each file beside over its file, in the order they
    // were added. Throws EInOutError naming the file that could not be put in place.
    void Commit();

    // The files of the set, in the order they were added.
    const std::vector<std::filesystem::path>& Files() const { return m_files; }

private:
    struct TBeside {
        std::filesystem::path path;
        int lock = -1; // open, holding the flock, until the set ends
    };
    void sweepOnce(const std::filesystem::path& folder);

    std::vector<std::filesystem::path> m_files;
    std::vector<TBeside> m_beside; // one per file, in the same order
    std::vector<std::filesystem::path> m_sweptFolders;
    bool m_synced = false;
};

// Replaces file with bytes, whole or not at all, through a set of one file. An existing
// file keeps its mode. Throws EInOutError naming the operation and the file.
void ReplaceFile(const std::filesystem::path& file, const std::string& bytes);
