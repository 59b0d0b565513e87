#include "platform/RunLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <system_error>

namespace fs = std::filesystem;

bool TakeRunLock(int fd) {
    return ::flock(fd, LOCK_EX | LOCK_NB) == 0;
}

bool StillNames(int fd, const fs::path& path) {
    struct stat opened {};
    struct stat named {};
    return ::fstat(fd, &opened) == 0 && ::lstat(path.c_str(), &named) == 0 &&
           opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
}

void RemoveWhenAbandoned(const fs::path& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && st.st_uid == ::geteuid() &&
        (S_ISREG(st.st_mode) || S_ISDIR(st.st_mode)) && TakeRunLock(fd) && StillNames(fd, path)) {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
    ::close(fd);
}
