#include "platform/Folder.h"

#include <algorithm>
#include <system_error>

namespace fs = std::filesystem;

namespace {

std::string lowerAscii(std::string name) {
    std::transform(name.begin(), name.end(), name.begin(), LowerAscii);
    return name;
}

} // namespace

std::string TCaseBlindFolders::Existing(const fs::path& path) {
    const std::string folder = path.parent_path().string();
    auto listed = m_folders.find(folder);
    if (listed == m_folders.end()) {
        TNames names;
        std::error_code error;
        for (fs::directory_iterator it(path.parent_path(), error), end; !error && it != end;
             it.increment(error)) {
            const std::string name = it->path().filename().string();
            names.exact.insert(name);
            // the first in the listing's order stands for its case-blind name
            names.blind.emplace(lowerAscii(name), name);
        }
        listed = m_folders.emplace(folder, std::move(names)).first;
    }
    const std::string name = path.filename().string();
    if (listed->second.exact.contains(name))
        return path.string();
    const auto found = listed->second.blind.find(lowerAscii(name));
    return found == listed->second.blind.end() ? std::string()
                                               : (path.parent_path() / found->second).string();
}
