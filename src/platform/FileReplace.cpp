#include "platform/FileReplace.h"

#include "platform/Errors.h"
#include "platform/WriteLimit.h"

#include <cerrno>
#include <cstring>
#include <string>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

[[noreturn]] void fail(const char* operation, const fs::path& file, int error) {
    throw EInOutError(std::string(operation) + " " + file.string() + ": " + std::strerror(error));
}

void writeAll(int fd, const std::string& text, const fs::path& file) {
    const std::size_t allowed = WritableBytes(text.size());
    std::size_t done = 0;
    while (done < allowed) {
        ssize_t n = ::write(fd, text.data() + done, allowed - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            fail("write", file, errno);
        }
        done += static_cast<std::size_t>(n);
    }
    if (allowed < text.size())
        fail("write", file, ENOSPC);
}

} // namespace

TFileBeside CreateFileBeside(const std::filesystem::path& file) {
    const std::string stem = "." + file.filename().string() + "." + std::to_string(::getpid());
    TFileBeside made;
    for (int attempt = 0; attempt < 100; ++attempt) {
        made.path = file.parent_path() / (stem + "." + std::to_string(attempt) + ".tmp");
        made.fd = ::open(made.path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (made.fd >= 0 || errno != EEXIST)
            break;
    }
    return made;
}

int SyncFile(const std::filesystem::path& file) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    const int synced = ::fsync(fd) == 0 ? 0 : errno;
    ::close(fd);
    return synced;
}

void ReplaceFile(const fs::path& file, const std::string& text) {
    struct stat old {};
    bool existed = ::stat(file.c_str(), &old) == 0;
    TFileBeside temp = CreateFileBeside(file);
    if (temp.fd < 0)
        fail("write", file, errno);
    int fd = temp.fd;
    try {
        if (existed && ::fchmod(fd, old.st_mode & 07777) != 0)
            fail("write", file, errno);
        writeAll(fd, text, file);
        if (::fsync(fd) != 0)
            fail("write", file, errno);
        int fdToClose = fd;
        fd = -1;
        if (::close(fdToClose) != 0)
            fail("write", file, errno);
        if (::rename(temp.path.c_str(), file.c_str()) != 0)
            fail("replace", file, errno);
    } catch (...) {
        if (fd >= 0)
            ::close(fd);
        ::unlink(temp.path.c_str());
        throw;
    }
}
