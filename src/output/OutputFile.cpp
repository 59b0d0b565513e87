#include "output/OutputFile.h"

#include "platform/Cp932.h"
#include "platform/Errors.h"
#include "platform/Format.h"
#include "platform/WriteLimit.h"
#include "platform/Reasons.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <system_error>

namespace fs = std::filesystem;

TOutputFile::TOutputFile(const fs::path& file, Mode mode, const fs::path& shownAs)
    : m_file(file), m_shownAs(shownAs.empty() ? file : shownAs) {
    // fopen's append mode would create a file that is gone; a missing file is an error
    std::error_code ec;
    if (mode == Mode::Append && !fs::exists(file, ec)) {
        errno = ec ? ec.value() : ENOENT;
        fail("追記オープン");
    }
    m_stream = std::fopen(file.c_str(), mode == Mode::Recreate ? "wb" : "ab");
    if (!m_stream)
        fail(mode == Mode::Recreate ? "作成" : "追記オープン");
}

TOutputFile::~TOutputFile() {
    if (m_stream)
        std::fclose(m_stream);
}

void TOutputFile::Write(std::string_view bytes) {
    const std::size_t allowed = WritableBytes(bytes.size());
    if (allowed > 0 && std::fwrite(bytes.data(), 1, allowed, m_stream) != allowed)
        fail("書き込み");
    if (allowed < bytes.size()) {
        errno = ENOSPC;
        fail("書き込み");
    }
}

void TOutputFile::WriteLine(std::string_view bytes) {
    Write(bytes);
    Write("\r\n");
}

void TOutputFile::Close() {
    std::FILE* stream = m_stream;
    m_stream = nullptr;
    if (stream && std::fclose(stream) != 0)
        fail("クローズ");
}

void TOutputFile::fail(const char* operation) const {
    throw InOutError(operation, m_shownAs, SystemReason(errno));
}

void TruncateTail(const fs::path& file, std::uintmax_t count, const fs::path& shownAs) {
    std::error_code ec;
    std::uintmax_t size = fs::file_size(file, ec);
    if (!ec && size >= count)
        fs::resize_file(file, size - count, ec);
    else if (!ec)
        ec = std::make_error_code(std::errc::invalid_argument);
    if (ec)
        throw InOutError("切り詰め", shownAs, SystemReason(ec.value()));
}

std::string ReadTail(const fs::path& file, std::uintmax_t count) {
    std::error_code ec;
    std::uintmax_t size = fs::file_size(file, ec);
    if (ec)
        return {};
    std::uintmax_t start = size > count ? size - count : 0;
    std::ifstream in(file, std::ios::binary);
    in.seekg(static_cast<std::streamoff>(start));
    std::string tail(static_cast<std::size_t>(size - start), '\0');
    in.read(tail.data(), static_cast<std::streamsize>(tail.size()));
    return in ? tail : std::string();
}
