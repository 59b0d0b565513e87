#pragma once

#include <filesystem>

// A private folder for this run's extracted files: made with mode 0700 inside the
// system temporary folder and removed with everything in it when the object ends.
// Fixed file names in a shared temporary folder would let another local user plant
// or read them. The run holds the folder's run lock (RunLock.h) for the object's life,
// so that a run that was killed leaves a folder a later run can tell and remove.
class TWorkFolder {
public:
    TWorkFolder();
    ~TWorkFolder();
    TWorkFolder(const TWorkFolder&) = delete;
    TWorkFolder& operator=(const TWorkFolder&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    // The folder with its trailing separator, as the archive readers expect it.
    std::string folderText() const;

private:
    std::filesystem::path m_path;
    int m_lock = -1;
};

// Removes the work folders in the system temporary folder that runs of this user left
// when they were killed: those whose run lock can be taken. The window and the batch
// tool call it at start.
void RemoveAbandonedWorkFolders();
