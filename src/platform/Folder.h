#pragma once

#include <algorithm>
#include <string>
#include <string_view>

// A folder as the program joins file names to it: with its trailing separator
// (an empty folder becomes the root, as a lone separator).
inline std::string WithSeparator(std::string folder) {
    if (folder.empty() || folder.back() != '/')
        folder += '/';
    return folder;
}

// File names compared as the data service's tools saw them, on a file system that ignores
// ASCII case (RV010106.LZH is rv010106.lzh).
inline bool SameNameIgnoringCase(std::string_view a, std::string_view b) {
    auto lower = [](char c) {
        return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char x, char y) { return lower(x) == lower(y); });
}
