#include "platform/WorkFolder.h"

#include "platform/Errors.h"

#include <cerrno>
#include <cstring>
#include <stdlib.h>
#include <string>
#include <system_error>

namespace fs = std::filesystem;

TWorkFolder::TWorkFolder() {
    std::string pattern = (fs::temp_directory_path() / "ruvpelton-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
        throw EInOutError("mkdtemp " + pattern + ": " + std::strerror(errno));
    m_path = pattern;
}

TWorkFolder::~TWorkFolder() {
    std::error_code ignored;
    fs::remove_all(m_path, ignored);
}

std::string TWorkFolder::folderText() const {
    return (m_path / "").string();
}
