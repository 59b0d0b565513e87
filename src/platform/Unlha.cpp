// Unlha: extraction of named members of an LZH archive (over libarchive).
#include "platform/Unlha.h"

#include <archive.h>
#include <archive_entry.h>
#include <locale.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <stdexcept>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// A member larger than this is refused, so a hostile archive cannot fill the disk.
constexpr la_int64_t kMaxMemberSize = 512LL * 1024 * 1024;

std::vector<std::string> splitCommandLine(const std::string& line) {
    std::vector<std::string> tokens;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && line[i] == ' ')
            ++i;
        if (i >= line.size())
            break;
        std::string token;
        bool quoted = false;
        while (i < line.size() && (quoted || line[i] != ' ')) {
            if (line[i] == '"')
                quoted = !quoted;
            else
                token += line[i];
            ++i;
        }
        tokens.push_back(token);
    }
    return tokens;
}

bool isSeparator(char c) {
    return c == '/' || c == '\\';
}

std::string baseName(const std::string& path) {
    auto pos = std::find_if(path.rbegin(), path.rend(), isSeparator);
    return std::string(pos.base(), path.end());
}

bool equalsIgnoringAsciiCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
               return lower(x) == lower(y);
           });
}

// libarchive decodes CP932 member names only under a UTF-8 locale of the thread.
class Utf8LocaleScope {
public:
    Utf8LocaleScope() : m_locale(newlocale(LC_ALL_MASK, "C.UTF-8", static_cast<locale_t>(0))) {
        if (m_locale)
            m_previous = uselocale(m_locale);
    }
    ~Utf8LocaleScope() {
        if (m_locale) {
            uselocale(m_previous);
            freelocale(m_locale);
        }
    }
    Utf8LocaleScope(const Utf8LocaleScope&) = delete;
    Utf8LocaleScope& operator=(const Utf8LocaleScope&) = delete;

private:
    locale_t m_locale;
    locale_t m_previous{};
};

struct ArchiveCloser {
    void operator()(archive* a) const { archive_read_free(a); }
};

std::string archiveError(archive* a, const char* fallback) {
    const char* text = archive_error_string(a);
    return text ? text : fallback;
}

class Extraction {
public:
    Extraction(const UnlhaCommand& command) : m_command(command) {}

    int run() {
        std::unique_ptr<archive, ArchiveCloser> a(archive_read_new());
        archive_read_support_format_lha(a.get());
        archive_read_set_options(a.get(), "lha:hdrcharset=CP932");
        if (archive_read_open_filename(a.get(), m_command.archive.c_str(), 64 * 1024) !=
            ARCHIVE_OK) {
            report(m_command.archive + ": " + archiveError(a.get(), "cannot open the archive"));
            return 1;
        }
        std::vector<bool> written(m_command.members.size(), false);
        for (;;) {
            archive_entry* entry = nullptr;
            int r = archive_read_next_header(a.get(), &entry);
            if (r == ARCHIVE_EOF)
                break;
            if (r < ARCHIVE_WARN) {
                report(m_command.archive + ": " + archiveError(a.get(), "damaged archive header"));
                break;
            }
            const char* name = archive_entry_pathname_utf8(entry);
            if (!name)
                name = archive_entry_pathname(entry);
            if (!name || archive_entry_filetype(entry) != AE_IFREG)
                continue;
            std::string member = baseName(name);
            for (std::size_t i = 0; i < m_command.members.size(); ++i) {
                if (!equalsIgnoringAsciiCase(member, m_command.members[i]))
                    continue;
                if (extractMember(a.get(), entry, m_command.members[i]))
                    written[i] = true;
                else
                    return finish(written);
                break;
            }
        }
        return finish(written);
    }

    const std::string& messages() const { return m_messages; }

private:
    int finish(const std::vector<bool>& written) {
        int missing = 0;
        for (std::size_t i = 0; i < written.size(); ++i) {
            if (!written[i]) {
                ++missing;
                report(m_command.members[i] + ": not extracted");
            }
        }
        return missing == 0 ? 0 : 1;
    }

    // Writes the member beside its final name first, so a damaged member leaves no file.
    bool extractMember(archive* a, archive_entry* entry, const std::string& wanted) {
        fs::path target = fs::path(m_command.folder) / wanted;
        fs::path partial = fs::path(m_command.folder) / (".partial-" + wanted);
        if (archive_entry_size_is_set(entry) && archive_entry_size(entry) > kMaxMemberSize) {
            report(wanted + ": member too large");
            return false;
        }
        std::ofstream out(partial, std::ios::binary | std::ios::trunc);
        if (!out) {
            report(wanted + ": cannot create " + partial.string());
            return false;
        }
        la_int64_t total = 0;
        char buffer[64 * 1024];
        for (;;) {
            la_ssize_t n = archive_read_data(a, buffer, sizeof buffer);
            if (n == 0)
                break;
            total += n;
            if (n < 0 || total > kMaxMemberSize) {
                report(wanted + ": " +
                       (n < 0 ? archiveError(a, "damaged member data") : "member too large"));
                out.close();
                discard(partial);
                return false;
            }
            out.write(buffer, n);
        }
        out.close();
        std::error_code ec;
        if (!out || (fs::rename(partial, target, ec), ec)) {
            report(wanted + ": cannot write " + target.string());
            discard(partial);
            return false;
        }
        return true;
    }

    static void discard(const fs::path& file) {
        std::error_code ignored;
        fs::remove(file, ignored);
    }

    void report(const std::string& line) { m_messages += line + "\n"; }

    const UnlhaCommand& m_command;
    std::string m_messages;
};

} // namespace

UnlhaCommand ParseUnlhaCommand(const std::string& commandLine) {
    std::vector<std::string> tokens = splitCommandLine(commandLine);
    if (tokens.empty() || (tokens[0] != "e" && tokens[0] != "E"))
        throw std::invalid_argument("not an extract command: " + commandLine);
    UnlhaCommand command;
    std::size_t i = 1;
    while (i < tokens.size() && !tokens[i].empty() && tokens[i][0] == '-')
        ++i;
    if (i >= tokens.size())
        throw std::invalid_argument("no archive in: " + commandLine);
    command.archive = tokens[i++];
    if (i >= tokens.size() || tokens[i].empty() || !isSeparator(tokens[i].back()))
        throw std::invalid_argument("no folder in: " + commandLine);
    command.folder = tokens[i++];
    for (; i < tokens.size(); ++i) {
        // a member named with a folder part could only be written through that path
        if (tokens[i].find_first_of("/\\") == std::string::npos && tokens[i] != "." &&
            tokens[i] != "..")
            command.members.push_back(tokens[i]);
    }
    return command;
}

int Unlha(void* /*window*/, const char* commandLine, char* buffer, unsigned long size) {
    int result = 1;
    std::string messages;
    try {
        UnlhaCommand command = ParseUnlhaCommand(commandLine ? commandLine : "");
        Utf8LocaleScope utf8;
        Extraction extraction(command);
        result = extraction.run();
        messages = extraction.messages();
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

void ExtractMembers(const std::string& archive, const std::string& folder,
                    const std::vector<std::string>& members) {
    // the buffer size the data service's tools pass
    constexpr unsigned long kBufferSize = 10000;
    std::string command = "e -+c \"" + archive + "\" " + folder;
    for (const std::string& name : members)
        command += " " + name;
    std::vector<char> output(kBufferSize, '\0');
    Unlha(nullptr, command.c_str(), output.data(), kBufferSize - 1);
}

std::optional<std::string> ReadFileImage(const std::string& file) {
    std::error_code ec;
    if (!fs::is_regular_file(file, ec))
        return std::nullopt;
    std::ifstream in(file, std::ios::binary);
    // one read into a string of the file's size, rather than a byte at a time
    std::string image(fs::file_size(file, ec), '\0');
    if (ec || !in.read(image.data(), static_cast<std::streamsize>(image.size())))
        return std::nullopt;
    return image;
}
