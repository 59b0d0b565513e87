#include "platform/FileReplace.h"

#include "platform/Errors.h"
#include "platform/RunLock.h"
#include "platform/WriteLimit.h"
#include "platform/Reasons.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kMark = ".ruvpelton.";
constexpr std::string_view kSuffix = ".tmp";

[[noreturn]] void fail(const char* operation, const fs::path& file, int error) {
    throw InOutError(operation, file, SystemReason(error));
}

bool isDigits(std::string_view text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

// "." + name + ".ruvpelton." + digits + "." + digits + ".tmp"
bool isFileBeside(const std::string& name) {
    if (!name.starts_with('.') || !name.ends_with(kSuffix))
        return false;
    const std::string_view stem(name.data(), name.size() - kSuffix.size());
    const std::size_t mark = stem.rfind(kMark);
    if (mark == std::string_view::npos || mark == 0)
        return false;
    const std::string_view suffix = stem.substr(mark + kMark.size());
    const std::size_t dot = suffix.find('.');
    return dot != std::string_view::npos && isDigits(suffix.substr(0, dot)) &&
           isDigits(suffix.substr(dot + 1));
}

void writeAll(int fd, const std::string& text, const fs::path& file) {
    const std::size_t allowed = WritableBytes(text.size());
    std::size_t done = 0;
    while (done < allowed) {
        ssize_t n = ::write(fd, text.data() + done, allowed - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            fail("書き込み", file, errno);
        }
        done += static_cast<std::size_t>(n);
    }
    if (allowed < text.size())
        fail("書き込み", file, ENOSPC);
}

} // namespace

TFileSet::~TFileSet() {
    for (const TBeside& beside : m_beside) {
        if (!beside.path.empty())
            ::unlink(beside.path.c_str());
        if (beside.lock >= 0)
            ::close(beside.lock);
    }
}

const fs::path& TFileSet::Add(const fs::path& file) {
    // found now, while nothing is in place yet, rather than when the set is committed
    std::error_code ignored;
    if (fs::is_directory(file, ignored))
        fail("作成", file, EISDIR);
    sweepOnce(file.parent_path());
    const std::string stem =
        "." + file.filename().string() + std::string(kMark) + std::to_string(::getpid()) + ".";
    for (int attempt = 0; attempt < 100; ++attempt) {
        TBeside beside{file.parent_path() /
                       (stem + std::to_string(attempt) + std::string(kSuffix))};
        beside.lock = ::open(beside.path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (beside.lock < 0 && errno == EEXIST)
            continue;
        if (beside.lock < 0)
            fail("作成", file, errno);
        // another run's sweep may have taken it between its making and its locking
        if (!TakeRunLock(beside.lock) || !StillNames(beside.lock, beside.path)) {
            ::close(beside.lock);
            continue;
        }
        m_files.push_back(file);
        m_beside.push_back(std::move(beside));
        return m_beside.back().path;
    }
    fail("作成", file, EEXIST);
}

void TFileSet::Write(const fs::path& file, const std::string& bytes) {
    Add(file);
    writeAll(m_beside.back().lock, bytes, file);
}

const fs::path& TFileSet::Beside(const fs::path& file) const {
    const auto at = std::find(m_files.begin(), m_files.end(), file);
    return m_beside.at(static_cast<std::size_t>(at - m_files.begin())).path;
}

void TFileSet::Sync() {
    for (std::size_t i = 0; i < m_files.size(); ++i) {
        struct stat old {};
        if (::stat(m_files[i].c_str(), &old) == 0 &&
            ::fchmod(m_beside[i].lock, old.st_mode & 07777) != 0)
            fail("書き込み", m_files[i], errno);
        if (::fsync(m_beside[i].lock) != 0)
            fail("書き込み", m_files[i], errno);
    }
    m_synced = true;
}

void TFileSet::Commit() {
    // every file synced before any is put in place, so a disk that fills up only now
    // still leaves every file as it was
    if (!m_synced)
        Sync();
    for (std::size_t i = 0; i < m_files.size(); ++i) {
        TBeside& beside = m_beside[i];
        if (::rename(beside.path.c_str(), m_files[i].c_str()) != 0)
            fail("置き換え", m_files[i], errno);
        beside.path.clear();
        ::close(beside.lock);
        beside.lock = -1;
    }
}

void TFileSet::sweepOnce(const fs::path& folder) {
    if (std::find(m_sweptFolders.begin(), m_sweptFolders.end(), folder) != m_sweptFolders.end())
        return;
    m_sweptFolders.push_back(folder);
    std::error_code error;
    for (fs::directory_iterator it(folder.empty() ? fs::path(".") : folder, error), end;
         !error && it != end; it.increment(error))
        if (isFileBeside(it->path().filename().string()))
            RemoveWhenAbandoned(it->path());
}

void ReplaceFile(const fs::path& file, const std::string& bytes) {
    TFileSet set;
    set.Write(file, bytes);
    set.Commit();
}
