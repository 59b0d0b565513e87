#include "platform/FileBeside.h"

#include <cerrno>
#include <fcntl.h>
#include <string>
#include <unistd.h>

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
