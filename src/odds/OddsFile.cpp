// TOddsFile: a day's odds archive, the interface of the RUV and JRDB odds readers.
#include "odds/OddsFile.h"

#include "platform/Cp932.h"
#include "platform/Folder.h"
#include "platform/Unlha.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

TOddsFile::TOddsFile(const std::string& folder) : m_folder(WithSeparator(folder)) {}

std::vector<std::string> TOddsFile::extractAndLoad(const std::string& archive,
                                                   const std::vector<std::string>& members) const {
    // a file left from an earlier day must not stand in for a member this archive lacks
    deleteExtracted(members);
    ExtractMembers(archive, m_folder, members);
    std::vector<std::string> images;
    for (const std::string& name : members) {
        std::optional<std::string> image = ReadFileImage(m_folder + name);
        if (!image) {
            deleteExtracted(members);
            throw EOddsFileOpenError(name + sjis("がオープンできません"));
        }
        images.push_back(std::move(*image));
    }
    return images;
}

void TOddsFile::deleteExtracted(const std::vector<std::string>& members) const noexcept {
    for (const std::string& name : members) {
        std::error_code ignored;
        fs::remove(fs::path(m_folder) / name, ignored);
    }
}
