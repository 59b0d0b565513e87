#include "platform/Cp932.h"

#include "platform/Errors.h"
#include "platform/Format.h"

#include <iconv.h>

#include <cerrno>
#include <algorithm>
#include <mutex>
#include <unordered_map>

namespace {

class Converter {
public:
    Converter(const char* to, const char* from) : m_cd(iconv_open(to, from)) {
        if (m_cd == reinterpret_cast<iconv_t>(-1))
            throw EConvertError(std::string("iconv cannot convert from ") + from + " to " + to);
    }
    ~Converter() { iconv_close(m_cd); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts text; returns false at the first byte sequence that does not convert,
    // leaving in `consumed` how many input bytes were converted.
    bool convert(std::string_view text, std::string& out, std::size_t& consumed) {
        std::lock_guard lock(m_mutex);
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        out.clear();
        char* in = const_cast<char*>(text.data());
        std::size_t inLeft = text.size();
        char buffer[1024];
        bool ok = true;
        while (inLeft > 0) {
            char* outPtr = buffer;
            std::size_t outLeft = sizeof buffer;
            std::size_t r = iconv(m_cd, &in, &inLeft, &outPtr, &outLeft);
            out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
            if (r == static_cast<std::size_t>(-1) && errno != E2BIG) {
                ok = false;
                break;
            }
        }
        consumed = text.size() - inLeft;
        return ok;
    }

private:
    iconv_t m_cd;
    std::mutex m_mutex;
};

Converter& toCp932Converter() {
    static Converter c("CP932", "UTF-8");
    return c;
}

Converter& toUtf8Converter() {
    static Converter c("UTF-8", "CP932");
    return c;
}

Converter& utf8Checker() {
    static Converter c("UTF-32LE", "UTF-8");
    return c;
}

bool converts(Converter& converter, std::string_view text) {
    std::string out;
    std::size_t consumed = 0;
    return converter.convert(text, out, consumed);
}

} // namespace

std::string toCp932(std::string_view utf8) {
    std::string out;
    std::size_t consumed = 0;
    if (!toCp932Converter().convert(utf8, out, consumed))
        throw EConvertError("text has no CP932 form at byte " + std::to_string(consumed));
    return out;
}

std::string toUtf8(std::string_view cp932) {
    std::string out;
    std::size_t consumed = 0;
    if (!toUtf8Converter().convert(cp932, out, consumed))
        throw EConvertError(toCp932("CP932 として読めないバイトがあります (位置 ") +
                            std::to_string(consumed) + ")");
    return out;
}

bool IsUtf8(std::string_view text) {
    return converts(utf8Checker(), text);
}

bool IsCp932(std::string_view text) {
    return converts(toUtf8Converter(), text);
}

std::string toCp932Lenient(std::string_view utf8) {
    std::string result;
    while (!utf8.empty()) {
        std::string part;
        std::size_t consumed = 0;
        bool ok = toCp932Converter().convert(utf8, part, consumed);
        result += part;
        utf8.remove_prefix(consumed);
        if (!ok && !utf8.empty()) {
            result += '?';
            // step over the whole UTF-8 sequence that did not convert
            do
                utf8.remove_prefix(1);
            while (!utf8.empty() && (static_cast<unsigned char>(utf8.front()) & 0xC0) == 0x80);
        }
    }
    return result;
}

std::string toUtf8Lenient(std::string_view cp932) {
    std::string result;
    while (!cp932.empty()) {
        std::string part;
        std::size_t consumed = 0;
        bool ok = toUtf8Converter().convert(cp932, part, consumed);
        result += part;
        cp932.remove_prefix(consumed);
        if (!ok && !cp932.empty()) {
            result += "\xEF\xBF\xBD";
            cp932.remove_prefix(1);
        }
    }
    return result;
}

namespace {

// For each byte: true when it starts a character (a lead byte's partner does not).
std::vector<bool> characterStarts(std::string_view text) {
    std::vector<bool> starts(text.size(), false);
    for (std::size_t i = 0; i < text.size();) {
        starts[i] = true;
        i += (isLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) ? 2 : 1;
    }
    return starts;
}

bool isTrailByte(char c) {
    const auto b = static_cast<unsigned char>(c);
    return b >= 0x40 && b <= 0xFC && b != 0x7F;
}

bool isTwoByteLead(std::string_view text, const std::vector<bool>& starts, std::size_t i) {
    return starts[i] && isLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size();
}

} // namespace

std::string LeftBytes(std::string_view text, std::size_t n) {
    if (n >= text.size())
        return std::string(text);
    std::string result(text.substr(0, n));
    std::vector<bool> starts = characterStarts(text);
    if (n > 0 && isTwoByteLead(text, starts, n - 1))
        result[n - 1] = ' ';
    return result;
}

std::string EraseBytes(std::string_view text, std::size_t pos, std::size_t count) {
    if (pos >= text.size())
        return std::string(text);
    std::size_t end = std::min(text.size(), pos + count);
    std::vector<bool> starts = characterStarts(text);
    std::string head(text.substr(0, pos));
    std::string tail(text.substr(end));
    if (pos > 0 && isTwoByteLead(text, starts, pos - 1))
        head[pos - 1] = ' ';
    if (end < text.size() && !starts[end])
        tail[0] = ' ';
    return head + tail;
}

void OverwriteBytes(std::string& line, std::size_t column, std::string_view text) {
    // an empty text writes nothing, so a character that runs on into its place stays whole
    if (column >= line.size() || text.empty())
        return;
    std::size_t end = std::min(line.size(), column + text.size());
    std::vector<bool> starts = characterStarts(line);
    if (column > 0 && isTwoByteLead(line, starts, column - 1))
        line[column - 1] = ' ';
    if (end < line.size() && !starts[end])
        line[end] = ' ';
    line.replace(column, end - column, LeftBytes(text, end - column));
}

std::string VisibleText(std::string_view bytes) {
    std::string text;
    text.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (isLeadByte(b) && i + 1 < bytes.size() && isTrailByte(bytes[i + 1])) {
            text.append(bytes.substr(i, 2));
            ++i;
        } else if (b < 0x20 || b == 0x7F || b == 0x80 || b == 0xA0 || b >= 0xFD || isLeadByte(b)) {
            text += Format("\\x%02x", b);
        } else {
            text += static_cast<char>(b);
        }
    }
    return text;
}

const std::string& sjis(const char* utf8Literal) {
    // keyed by the literal's address: node-based, so references stay valid
    static std::unordered_map<const char*, std::string> cache;
    static std::mutex mutex;
    std::lock_guard lock(mutex);
    auto it = cache.find(utf8Literal);
    if (it == cache.end())
        it = cache.emplace(utf8Literal, toCp932(utf8Literal)).first;
    return it->second;
}
