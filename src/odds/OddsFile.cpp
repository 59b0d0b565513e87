#include "odds/OddsFile.h"

#include "platform/Cp932.h"
#include "platform/Unlha.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// The buffer the archiver writes its messages to.
constexpr unsigned long kUnlhaBufferSize = 10000;

} // namespace

TOddsFile::TOddsFile(const std::string& folder) : m_folder(folder) {
    if (m_folder.empty() || m_folder.back() != '/')
        m_folder += '/';
}

std::vector<std::string> TOddsFile::extractAndLoad(const std::string& archive,
                                                   const std::vector<std::string>& members) const {
    // a file left from an earlier day must not stand in for a member this archive lacks
    deleteExtracted(members);
    std::string command = "e -+c \"" + archive + "\" " + m_folder;
    for (const std::string& name : members)
        command += " " + name;
    std::vector<char> output(kUnlhaBufferSize, '\0');
    Unlha(nullptr, command.c_str(), output.data(), kUnlhaBufferSize - 1);

    std::vector<std::string> images;
    for (const std::string& name : members) {
        const fs::path file = fs::path(m_folder) / name;
        std::error_code ec;
        std::string image;
        bool loaded = fs::is_regular_file(file, ec);
        if (loaded) {
            try {
                std::ifstream in(file, std::ios::binary);
                image.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
                loaded = in.good() || in.eof();
            } catch (const std::ios_base::failure&) {
                loaded = false;
            }
        }
        if (!loaded) {
            deleteExtracted(members);
            throw EOddsFileOpenError(name + sjis("がオープンできません"));
        }
        images.push_back(std::move(image));
    }
    return images;
}

void TOddsFile::deleteExtracted(const std::vector<std::string>& members) const noexcept {
    for (const std::string& name : members) {
        std::error_code ignored;
        fs::remove(fs::path(m_folder) / name, ignored);
    }
}
