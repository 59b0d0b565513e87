// Unlha: extraction of named members of an LZH archive (over libarchive).
#include "platform/Unlha.h"

#include "platform/Cp932.h"
#include "platform/FileImage.h"
#include "platform/Folder.h"
#include "platform/Reasons.h"
#include "platform/WriteLimit.h"

#include <archive.h>
#include <archive_entry.h>
#include <fcntl.h>
#include <locale.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <system_error>

namespace fs = std::filesystem;

namespace {

bool isSeparator(char c) {
    return c == '/' || c == '\\';
}

// A token of the command line and whether any of it stood in quotes (a quoted token is
// never a switch).
struct Token {
    std::string text;
    bool quoted = false;
};

// Blanks separate tokens outside double quotes; inside them a doubled quote stands for
// one quote.
std::vector<Token> splitCommandLine(const std::string& line) {
    std::vector<Token> tokens;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && line[i] == ' ')
            ++i;
        if (i >= line.size())
            break;
        Token token;
        bool inQuotes = false;
        for (; i < line.size() && (inQuotes || line[i] != ' '); ++i) {
            if (line[i] != '"') {
                token.text += line[i];
            } else if (inQuotes && i + 1 < line.size() && line[i + 1] == '"') {
                token.text += '"';
                ++i;
            } else {
                inQuotes = !inQuotes;
                token.quoted = true;
            }
        }
        tokens.push_back(std::move(token));
    }
    return tokens;
}

std::string quoted(const std::string& text) {
    std::string result = "\"";
    for (char c : text)
        result += c == '"' ? std::string("\"\"") : std::string(1, c);
    return result + "\"";
}

std::string quotedWhenNeeded(const std::string& text) {
    return text.empty() || text.find_first_of(" \"") != std::string::npos ? quoted(text) : text;
}

std::string baseName(const std::string& path) {
    auto pos = std::find_if(path.rbegin(), path.rend(), isSeparator);
    return std::string(pos.base(), path.end());
}

// An absolute name, or one with a ".." step, would leave the folder it is extracted to.
bool leavesTheFolder(const std::string& path) {
    if (path.empty() || isSeparator(path.front()) || (path.size() > 1 && path[1] == ':'))
        return true;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = start;
        while (end < path.size() && !isSeparator(path[end]))
            ++end;
        if (path.compare(start, end - start, "..") == 0)
            return true;
        start = end + 1;
    }
    return false;
}

std::string sizeText(std::uint64_t bytes) {
    constexpr std::uint64_t kMiB = 1u << 20;
    return bytes % kMiB == 0 ? std::to_string(bytes / kMiB) + " MiB"
                             : std::to_string(bytes) + sjis(" バイト");
}

// libarchive decodes CP932 member names only under a UTF-8 locale of the thread. The
// locale is made once: making it loads a dozen files, which cost more than a small
// archive's extraction.
class Utf8LocaleScope {
public:
    Utf8LocaleScope() {
        if (utf8Locale())
            m_previous = uselocale(utf8Locale());
    }
    ~Utf8LocaleScope() {
        if (utf8Locale())
            uselocale(m_previous);
    }
    Utf8LocaleScope(const Utf8LocaleScope&) = delete;
    Utf8LocaleScope& operator=(const Utf8LocaleScope&) = delete;

private:
    static locale_t utf8Locale() {
        static const locale_t utf8 = newlocale(LC_ALL_MASK, "C.UTF-8", locale_t{});
        return utf8;
    }
    locale_t m_previous{};
};

struct ArchiveCloser {
    void operator()(archive* a) const { archive_read_free(a); }
};

// The archive library fills its LHA reader's CRC tables when it reads its first header,
// and marks them filled before it has: a second thread reading a header meanwhile checks
// with half a table and finds every header damaged. So the first header of the program is
// read here, once, before any reader of a day: an empty file stored in a level-0 header.
void fillLhaTables() {
    static std::once_flag filled;
    std::call_once(filled, [] {
        // the header's size and checksum, stored (-lh0-), packed and original size 0, the
        // time 1980-01-01, the attribute, level 0, the name "x", the CRC of no data; then the
        // end of the archive
        std::string header = std::string("\x17\0-lh0-", 7) + std::string(10, '\0') +
                             std::string("\x21\0\x20\0\x01x\0\0", 8);
        unsigned char sum = 0;
        for (std::size_t i = 2; i < header.size(); ++i)
            sum = static_cast<unsigned char>(sum + static_cast<unsigned char>(header[i]));
        header[1] = static_cast<char>(sum);
        const std::string bytes = header + '\0';
        std::unique_ptr<archive, ArchiveCloser> a(archive_read_new());
        archive_read_support_format_lha(a.get());
        archive_entry* entry = nullptr;
        if (archive_read_open_memory(a.get(), bytes.data(), bytes.size()) == ARCHIVE_OK)
            archive_read_next_header(a.get(), &entry);
    });
}

// The archive library's reason in the user's words; fallback (UTF-8) when it gives none.
std::string archiveError(archive* a, const char* fallback) {
    const char* text = archive_error_string(a);
    return text ? ArchiveReason(text) : sjis(fallback);
}

// A file being written in the folder under a name of its own, put in place under the
// member's name only when the member was read whole.
class PartialFile {
public:
    PartialFile(fs::path target) : m_target(std::move(target)) {
        m_partial = m_target;
        m_partial.replace_filename(".partial-" + m_target.filename().string());
        ::unlink(m_partial.c_str());
        m_fd =
            ::open(m_partial.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (m_fd < 0)
            m_error = errno;
    }
    ~PartialFile() {
        if (m_fd >= 0)
            ::close(m_fd);
        if (!m_done)
            ::unlink(m_partial.c_str());
    }
    PartialFile(const PartialFile&) = delete;
    PartialFile& operator=(const PartialFile&) = delete;

    // errno of the first failure; 0 while all went well.
    int error() const { return m_error; }

    void write(const char* data, std::size_t size) {
        if (error() != 0)
            return;
        const std::size_t allowed = WritableBytes(size);
        for (std::size_t done = 0; done < allowed;) {
            const ssize_t n = ::write(m_fd, data + done, allowed - done);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0) {
                m_error = errno;
                return;
            }
            done += static_cast<std::size_t>(n);
        }
        if (allowed < size)
            m_error = ENOSPC;
    }

    bool putInPlace() {
        const int fd = m_fd;
        m_fd = -1;
        if (::close(fd) != 0 && m_error == 0)
            m_error = errno;
        if (m_error == 0 && ::rename(m_partial.c_str(), m_target.c_str()) != 0)
            m_error = errno;
        m_done = m_error == 0;
        return m_done;
    }

private:
    fs::path m_target;
    fs::path m_partial;
    int m_fd = -1;
    int m_error = 0;
    bool m_done = false;
};

class Extraction {
public:
    // Headers that cannot be used are passed over, up to this many.
    static constexpr int kMaxFailedHeaders = 16;

    Extraction(const UnlhaCommand& command, const TExtractLimits& limits)
        : m_command(command), m_limits(limits), m_reasons(command.members.size()),
          m_written(command.members.size(), false), m_seen(command.members.size(), false) {}

    // The members go into images, by the index of their names, instead of the folder; with
    // prefix > 0, only their first prefix bytes, and the archive is read no further once
    // every member has them.
    void IntoMemory(std::vector<std::optional<std::string>>& images, std::uint64_t prefix) {
        images.assign(m_command.members.size(), std::nullopt);
        m_images = &images;
        m_prefix = prefix;
    }

    int run() {
        const bool readToEnd = readArchive();
        int missing = 0;
        for (std::size_t i = 0; i < m_command.members.size(); ++i) {
            if (m_written[i])
                continue;
            ++missing;
            // a member the archive never got to is explained by the archive's own failure
            if (m_reasons[i])
                report(archiveName() + sjis(" の ") + m_command.members[i] + ": " + *m_reasons[i]);
            else if (readToEnd)
                report(m_command.members[i] + sjis(" は ") + archiveName() + sjis(" にありません"));
        }
        return missing == 0 ? 0 : 1;
    }

    const std::string& messages() const { return m_messages; }

private:
    // False when the archive could not be read to its end.
    bool readArchive() {
        const TReadableFile file(m_command.archive);
        if (file.Descriptor() < 0) {
            report(archiveName() + sjis(" を開けません: ") + file.Failure());
            return false;
        }
        fillLhaTables();
        std::unique_ptr<archive, ArchiveCloser> a(archive_read_new());
        archive_read_support_format_lha(a.get());
        archive_read_set_options(a.get(), "lha:hdrcharset=CP932");
        if (archive_read_open_fd(a.get(), file.Descriptor(), 64 * 1024) != ARCHIVE_OK) {
            // no format was recognised in the file's first bytes
            report(archive_format(a.get()) == 0
                       ? notAnArchive()
                       : archiveError(a.get(), "原因のわからないエラーです"));
            return false;
        }
        for (bool first = true;; first = false) {
            archive_entry* entry = nullptr;
            const int r = archive_read_next_header(a.get(), &entry);
            if (r == ARCHIVE_EOF) {
                if (first)
                    report(notAnArchive() + sjis(": 中にファイルがありません"));
                return true;
            }
            if (r == ARCHIVE_FAILED && ++m_failedHeaders <= kMaxFailedHeaders) {
                // one header that cannot be used (a link without its target): the next
                report(archiveError(a.get(), "ファイルのヘッダが壊れています"));
                continue;
            }
            if (r < ARCHIVE_WARN) {
                // no format was recognised in the file's first bytes
                report(first && archive_format(a.get()) == 0
                           ? notAnArchive()
                           : archiveError(a.get(), "アーカイブのヘッダが壊れています"));
                return false;
            }
            const char* name = archive_entry_pathname_utf8(entry);
            if (!name)
                name = archive_entry_pathname(entry);
            if (!name)
                continue;
            std::optional<std::size_t> wanted = wantedIndex(baseName(name));
            if (!wanted)
                continue;
            if (std::optional<std::string> refused = refusal(entry, name, *wanted)) {
                refuse(*wanted, *refused);
                continue;
            }
            m_seen[*wanted] = true;
            if (!extractMember(a.get(), entry, *wanted))
                return false;
            if (m_prefix > 0 &&
                std::find(m_written.begin(), m_written.end(), false) == m_written.end())
                return true;
        }
    }

    std::optional<std::size_t> wantedIndex(const std::string& member) const {
        for (std::size_t i = 0; i < m_command.members.size(); ++i)
            if (SameNameIgnoringCase(member, m_command.members[i]))
                return i;
        return std::nullopt;
    }

    // Why a member of a wanted name must not be written; nothing when it may.
    std::optional<std::string> refusal(archive_entry* entry, const std::string& name,
                                       std::size_t i) const {
        if (m_seen[i])
            return sjis("アーカイブにこの名前のファイルが二つあります");
        if (leavesTheFolder(name))
            return sjis("展開先のフォルダの外を指すパスで格納されています");
        if (archive_entry_filetype(entry) == AE_IFLNK || archive_entry_hardlink(entry) != nullptr)
            return sjis("ファイルではなくリンクです");
        if (archive_entry_filetype(entry) != AE_IFREG)
            return sjis("ファイルではありません");
        if (archive_entry_size_is_set(entry) &&
            static_cast<std::uint64_t>(archive_entry_size(entry)) > m_limits.member)
            return std::to_string(archive_entry_size(entry)) +
                   sjis(" バイトで、1つのファイルの上限 ") + sizeText(m_limits.member) +
                   sjis(" を超えています");
        return std::nullopt;
    }

    // A member refused is not written, and a copy of its name written before goes too.
    void refuse(std::size_t i, const std::string& reason) {
        m_seen[i] = true;
        if (m_written[i]) {
            std::error_code ignored;
            if (m_images)
                (*m_images)[i].reset();
            else
                fs::remove(fs::path(m_command.folder) / m_command.members[i], ignored);
            m_written[i] = false;
        }
        if (!m_reasons[i])
            m_reasons[i] = reason;
    }

    // False when the archive cannot be read on after this member.
    bool extractMember(archive* a, archive_entry* entry, std::size_t i) {
        const std::uint64_t declared = archive_entry_size_is_set(entry)
                                           ? static_cast<std::uint64_t>(archive_entry_size(entry))
                                           : m_limits.member;
        if (m_images) {
            std::string image;
            if (m_prefix == 0)
                image.reserve(static_cast<std::size_t>(std::min(declared, m_limits.member)));
            const TRead read = readData(a, declared, i, [&image](const char* data, std::size_t n) {
                image.append(data, n);
            });
            if (read.whole) {
                m_total += image.size();
                (*m_images)[i] = std::move(image);
                m_written[i] = true;
            }
            return read.readOn;
        }
        const fs::path target = fs::path(m_command.folder) / m_command.members[i];
        PartialFile out(target);
        std::uint64_t total = 0;
        const TRead read = readData(a, declared, i, [&](const char* data, std::size_t n) {
            total += n;
            out.write(data, n);
        });
        if (!read.whole)
            return read.readOn;
        if (out.error() != 0 || !out.putInPlace()) {
            refuse(i, toCp932Lenient(target.string()) + sjis(" に書き込めません: ") +
                          SystemReason(out.error()));
            return true;
        }
        m_total += total;
        m_written[i] = true;
        return true;
    }

    struct TRead {
        bool whole = false; // every byte wanted was handed over
        bool readOn = true; // the archive can be read on after this member
    };

    // Hands the member's data to write block by block (only its first m_prefix bytes when
    // reading into memory with a prefix); a member that is damaged, longer than its header
    // says or beyond the archive's limit is refused.
    template <typename Write>
    TRead readData(archive* a, std::uint64_t declared, std::size_t i, Write write) {
        const std::uint64_t wanted = m_images && m_prefix > 0 ? m_prefix : declared + 1;
        std::uint64_t total = 0;
        char buffer[64 * 1024];
        while (total < wanted) {
            const la_ssize_t n = archive_read_data(
                a, buffer,
                static_cast<std::size_t>(std::min<std::uint64_t>(wanted - total, sizeof buffer)));
            if (n == 0)
                break;
            if (n < 0) {
                // a damaged member is skipped; the members after it are still read
                refuse(i, archiveError(a, "データが壊れています"));
                return {false, n != ARCHIVE_FATAL};
            }
            total += static_cast<std::uint64_t>(n);
            if (total > declared) {
                refuse(i, sjis("ヘッダにある ") + std::to_string(declared) +
                              sjis(" バイトより多くのデータがあります"));
                return {false, true};
            }
            if (m_total + total > m_limits.archive) {
                refuse(i, sjis("展開するファイルの合計が、1つのアーカイブの上限 ") +
                              sizeText(m_limits.archive) + sjis(" を超えます"));
                return {false, true};
            }
            write(buffer, static_cast<std::size_t>(n));
        }
        return {true, true};
    }

    void report(const std::string& line) { m_messages += line + "\n"; }

    std::string archiveName() const { return toCp932Lenient(m_command.archive); }
    std::string notAnArchive() const {
        return archiveName() + sjis(" はLZHアーカイブではありません");
    }

    const UnlhaCommand& m_command;
    const TExtractLimits m_limits;
    std::vector<std::optional<std::string>> m_reasons;
    std::vector<bool> m_written;
    std::vector<bool> m_seen;
    std::uint64_t m_total = 0;
    int m_failedHeaders = 0;
    std::string m_messages;
    std::vector<std::optional<std::string>>* m_images = nullptr;
    std::uint64_t m_prefix = 0;
};

} // namespace

UnlhaCommand ParseUnlhaCommand(const std::string& commandLine) {
    std::vector<Token> tokens = splitCommandLine(commandLine);
    if (tokens.empty() || tokens[0].quoted || (tokens[0].text != "e" && tokens[0].text != "E"))
        throw std::invalid_argument(sjis("展開のコマンドではありません: ") + commandLine);
    UnlhaCommand command;
    std::size_t i = 1;
    while (i < tokens.size() && !tokens[i].quoted && tokens[i].text.starts_with('-'))
        ++i;
    if (i >= tokens.size())
        throw std::invalid_argument(sjis("アーカイブの指定がありません: ") + commandLine);
    command.archive = tokens[i++].text;
    if (i >= tokens.size() || tokens[i].text.empty() || !isSeparator(tokens[i].text.back()))
        throw std::invalid_argument(sjis("展開先のフォルダの指定がありません: ") + commandLine);
    command.folder = tokens[i++].text;
    for (; i < tokens.size(); ++i) {
        const std::string& member = tokens[i].text;
        // a member named with a folder part could only be written through that path
        if (!member.empty() && member.find_first_of("/\\") == std::string::npos && member != "." &&
            member != "..")
            command.members.push_back(member);
    }
    return command;
}

int ExtractArchive(const UnlhaCommand& command, const TExtractLimits& limits,
                   std::string& messages) {
    Utf8LocaleScope utf8;
    Extraction extraction(command, limits);
    const int result = extraction.run();
    messages += extraction.messages();
    return result;
}

int Unlha(void* /*window*/, const char* commandLine, char* buffer, unsigned long size) {
    int result = 1;
    std::string messages;
    try {
        result = ExtractArchive(ParseUnlhaCommand(commandLine ? commandLine : ""), TExtractLimits{},
                                messages);
    } catch (const std::exception& e) {
        messages = e.what();
    }
    if (buffer && size > 0) {
        std::size_t n = std::min<std::size_t>(messages.size(), size - 1);
        std::memcpy(buffer, messages.data(), n);
        buffer[n] = '\0';
    }
    return result;
}

std::string UnlhaCommandLine(const std::string& archive, const std::string& folder,
                             const std::vector<std::string>& members) {
    std::string line = "e -+c " + quoted(archive) + " " + quotedWhenNeeded(folder);
    for (const std::string& name : members)
        line += " " + quotedWhenNeeded(name);
    return line;
}

std::string ExtractMembers(const std::string& archive, const std::string& folder,
                           const std::vector<std::string>& members) {
    // the buffer size the data service's tools pass
    constexpr unsigned long kBufferSize = 10000;
    std::vector<char> output(kBufferSize, '\0');
    Unlha(nullptr, UnlhaCommandLine(archive, folder, members).c_str(), output.data(),
          kBufferSize - 1);
    return std::string(output.data());
}

TMemberImages ExtractMembersInMemory(const std::string& archive,
                                     const std::vector<std::string>& members,
                                     std::uint64_t prefix) {
    Utf8LocaleScope utf8;
    const UnlhaCommand command{archive, {}, members};
    Extraction extraction(command, TExtractLimits{});
    TMemberImages extracted;
    extraction.IntoMemory(extracted.images, prefix);
    extraction.run();
    extracted.messages = extraction.messages();
    return extracted;
}

std::string MemberNotOpenedMessage(const std::string& member, const std::string& reasons) {
    std::string message = member + sjis("がオープンできません");
    std::size_t start = 0;
    while (start < reasons.size()) {
        std::size_t end = std::min(reasons.find('\n', start), reasons.size());
        if (end > start)
            message += "\n" + VisibleText(std::string_view(reasons).substr(start, end - start));
        start = end + 1;
    }
    return message;
}
