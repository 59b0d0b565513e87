#pragma once

#include <filesystem>

// What a run leaves in a shared place (its work folder, its files beside the outputs) is
// locked with flock by that run while it lives, so that a later run can tell what a run
// that is gone left behind: its lock can be taken. A recorded process id could not tell,
// since ids are reused.

// Takes the run lock of an open file or folder without waiting; false when another run
// holds it.
bool TakeRunLock(int fd);

// True when path still names what fd is open on: nothing removed or replaced it since.
bool StillNames(int fd, const std::filesystem::path& path);

// Removes path, with everything in it, when it belongs to this user and its run lock can
// be taken. A link is never followed; anything else is left alone.
void RemoveWhenAbandoned(const std::filesystem::path& path);
