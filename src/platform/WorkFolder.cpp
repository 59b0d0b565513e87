#include "platform/WorkFolder.h"

#include "platform/Errors.h"
#include "platform/Reasons.h"
#include "platform/RunLock.h"

#include <cerrno>
#include <cstdlib>
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

constexpr const char* kMaking = "作業フォルダの作成";

// The folder of temporary files, named by TMPDIR as the system names it.
fs::path temporaryFolder() {
    std::error_code error;
    fs::path folder = fs::temp_directory_path(error);
    if (error) {
        const char* named = std::getenv("TMPDIR");
        throw InOutError(kMaking, named && *named ? named : "/tmp", SystemReason(error.value()));
    }
    return folder;
}

} // namespace

TWorkFolder::TWorkFolder() {
    const std::string pattern =
        (temporaryFolder() / (std::string(kPrefix) + std::string(kUnique))).string();
    // another run's sweep may take a folder between its making and its locking
    for (int attempt = 0; attempt < 100 && m_lock < 0; ++attempt) {
        std::string made = pattern;
        if (mkdtemp(made.data()) == nullptr)
            throw InOutError(kMaking, pattern, SystemReason(errno));
        m_lock = ::open(made.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (m_lock >= 0 && (!TakeRunLock(m_lock) || !StillNames(m_lock, made))) {
            ::close(m_lock);
            m_lock = -1;
        }
        m_path = made;
    }
    if (m_lock < 0)
        throw InOutError(kMaking, pattern, SystemReason(EBUSY));
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
