#pragma once

#include <algorithm>
#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

// A folder as the program joins file names to it: with its trailing separator
// (an empty folder becomes the root, as a lone separator).
inline std::string WithSeparator(std::string folder) {
    if (folder.empty() || folder.back() != '/')
        folder += '/';
    return folder;
}

// The last part of a path, as filename() gives it, without taking the path apart: a view
// into path.
inline std::string_view FileNameOf(const std::filesystem::path& path) {
    const std::string_view text = path.native();
    return text.substr(text.rfind('/') + 1);
}

// File names compared as the data service's tools saw them, on a file system that ignores
// ASCII case (RV010106.LZH is rv010106.lzh).
inline char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

inline bool SameNameIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return LowerAscii(x) == LowerAscii(y);
           });
}

// Files of folders as a file system that ignores ASCII case finds them, from one listing of
// each folder taken when a name in it is first asked for: for many names in few folders.
class TCaseBlindFolders {
public:
    // path when its folder holds that name, else the entry whose name differs from it only
    // in ASCII case (the first one listed); empty when there is neither or the folder
    // cannot be listed.
    std::string Existing(const std::filesystem::path& path);

private:
    struct TNames {
        std::unordered_set<std::string> exact;
        std::unordered_map<std::string, std::string> blind; // lower-case name: the name
    };
    std::unordered_map<std::string, TNames> m_folders;
};
