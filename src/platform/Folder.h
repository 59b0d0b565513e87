#pragma once

#include <string>

// A folder as the program joins file names to it: with its trailing separator
// (an empty folder becomes the root, as a lone separator).
inline std::string WithSeparator(std::string folder) {
    if (folder.empty() || folder.back() != '/')
        folder += '/';
    return folder;
}
