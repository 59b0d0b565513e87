#include "platform/WorkFolder.h"

#include "platform/Errors.h"
#include "platform/RunLock.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <stdlib.h>
#include <string>
#include <string_view>
#include <system_error>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kPrefix = "ruvpelton-";
constexpr std::string_view kUnique = "XXXXXX"; // mkdtemp's six characters

} // namespace

TWorkFolder::TWorkFolder() {
    const std::string pattern =
        (fs::temp_directory_path() / (std::string(kPrefix) + std::string(kUnique))).string();
    // another run's sweep may take a folder between its making and its locking
    for (int attempt = 0; attempt < 100 && m_lock < 0; ++attempt) {
        std::string made = pattern;
        if (mkdtemp(made.data()) == nullptr)
            throw EInOutError("mkdtemp " + pattern + ": " + std::strerror(errno));
        m_lock = ::open(made.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (m_lock >= 0 && (!TakeRunLock(m_lock) || !StillNames(m_lock, made))) {
            ::close(m_lock);
            m_lock = -1;
        }
        m_path = made;
    }
    if (m_lock < 0)
        throw EInOutError("mkdtemp " + pattern + ": " + std::strerror(EBUSY));
}

TWorkFolder::~TWorkFolder() {
    std::error_code ignored;
    fs::remove_all(m_path, ignored);
    ::close(m_lock);
}

std::string TWorkFolder::folderText() const {
    return (m_path / "").string();
}

void RemoveAbandonedWorkFolders() {
    std::error_code error;
    const fs::path temporary = fs::temp_directory_path(error);
    for (fs::directory_iterator it(temporary, error), end; !error && it != end;
         it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (name.size() == kPrefix.size() + kUnique.size() && name.starts_with(kPrefix))
            RemoveWhenAbandoned(it->path());
    }
}
