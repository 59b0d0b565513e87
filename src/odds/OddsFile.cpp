// TOddsFile: a day's odds archive, the interface of the RUV and JRDB odds readers.
#include "odds/OddsFile.h"

#include "platform/FileImage.h"
#include "platform/Folder.h"
#include "platform/Unlha.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

TOddsFile::TOddsFile(const std::string& folder) : m_folder(WithSeparator(folder)) {}

TOddsFile::~TOddsFile() {
    deleteExtracted(m_extracted);
}

std::vector<std::string> TOddsFile::extractAndLoad(const std::string& archive,
                                                   const std::vector<std::string>& members) {
    // a file left from an earlier day must not stand in for a member this archive lacks
    deleteExtracted(members);
    const std::string reasons = ExtractMembers(archive, m_folder, members);
    std::vector<std::string> images;
    try {
        for (const std::string& name : members) {
            std::optional<std::string> image =
                ReadFileImage(m_folder + name, TExtractLimits{}.member);
            if (!image)
                throw EOddsFileOpenError(MemberNotOpenedMessage(name, reasons));
            images.push_back(std::move(*image));
        }
    } catch (...) {
        deleteExtracted(members);
        throw;
    }
    m_extracted = members;
    return images;
}

void TOddsFile::deleteExtracted(const std::vector<std::string>& members) const noexcept {
    for (const std::string& name : members) {
        std::error_code ignored;
        fs::remove(fs::path(m_folder) / name, ignored);
    }
}
