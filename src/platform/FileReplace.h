#pragma once

#include <filesystem>
#include <string>

// Writes bytes to a new file in file's folder and renames it over file, so that the file
// is either whole with the new bytes or as it was. An existing file keeps its mode.
// Throws EInOutError naming the operation and the file.
void ReplaceFile(const std::filesystem::path& file, const std::string& bytes);
