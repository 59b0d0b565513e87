#include "platform/FileImage.h"

#include "platform/Cp932.h"
#include "platform/Errors.h"
#include "platform/Reasons.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

[[noreturn]] void fail(const std::filesystem::path& file, const std::string& reason) {
    throw InOutError("読み込み", file, reason);
}

std::string tooLarge(const std::string& size, std::uintmax_t maxBytes) {
    return size + sjis("このファイルの上限 ") + std::to_string(maxBytes) +
           sjis(" バイトを超えています");
}

} // namespace

TReadableFile::TReadableFile(const std::filesystem::path& file) {
    // O_NONBLOCK: opening a pipe for reading would otherwise wait for a writer
    m_fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (m_fd < 0) {
        m_missing = errno == ENOENT || errno == ENOTDIR;
        m_failure = SystemReason(errno);
        return;
    }
    struct stat st {};
    if (::fstat(m_fd, &st) != 0)
        m_failure = SystemReason(errno);
    else if (S_ISDIR(st.st_mode))
        m_failure = SystemReason(EISDIR);
    else if (!S_ISREG(st.st_mode))
        m_failure = sjis("通常のファイルではありません");
    m_size = static_cast<std::uintmax_t>(st.st_size);
    if (!m_failure.empty()) {
        ::close(m_fd);
        m_fd = -1;
    }
}

TReadableFile::~TReadableFile() {
    if (m_fd >= 0)
        ::close(m_fd);
}

std::optional<std::string> ReadFileImage(const std::filesystem::path& file, std::uintmax_t maxBytes,
                                         TFileRead mode) {
    const TReadableFile in(file);
    if (in.Missing())
        return std::nullopt;
    if (in.Descriptor() < 0)
        fail(file, in.Failure());
    const int fd = in.Descriptor();
    const std::uintmax_t size = in.Size();
    if (mode == TFileRead::Whole && size > maxBytes)
        fail(file, tooLarge(std::to_string(size) + sjis(" バイトで、"), maxBytes));

    std::string image;
    image.reserve(static_cast<std::size_t>(std::min(size, maxBytes)));
    char buffer[64 * 1024];
    while (image.size() < maxBytes) {
        const std::size_t wanted = static_cast<std::size_t>(
            std::min<std::uintmax_t>(sizeof buffer, maxBytes - image.size()));
        const ssize_t n = ::read(fd, buffer, wanted);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            fail(file, SystemReason(errno));
        }
        if (n == 0)
            break;
        image.append(buffer, static_cast<std::size_t>(n));
    }
    // a file that grew while it was read is refused as one that was too large
    if (mode == TFileRead::Whole && image.size() == maxBytes) {
        char extra;
        if (::read(fd, &extra, 1) > 0)
            fail(file, tooLarge("", maxBytes));
    }
    return image;
}
