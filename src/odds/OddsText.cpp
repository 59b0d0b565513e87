#include "odds/OddsText.h"

#include <charconv>
#include <string>
#include <system_error>

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

std::size_t skipDigits(std::string_view text, std::size_t i) {
    while (i < text.size() && isDigit(text[i]))
        ++i;
    return i;
}

// True when text is a decimal number as a whole; its leading '+' is not part of what
// std::from_chars reads, so the number's first byte is returned through start.
bool isDecimalNumber(std::string_view text, std::size_t& start) {
    std::size_t i = 0;
    start = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        if (text[i] == '+')
            start = 1;
        ++i;
    }
    const std::size_t intStart = i;
    i = skipDigits(text, i);
    std::size_t digits = i - intStart;
    if (i < text.size() && text[i] == '.') {
        const std::size_t fracStart = ++i;
        i = skipDigits(text, i);
        digits += i - fracStart;
    }
    if (digits == 0)
        return false;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-'))
            ++i;
        const std::size_t expStart = i;
        i = skipDigits(text, i);
        if (i == expStart)
            return false;
    }
    return i == text.size();
}

} // namespace

std::optional<float> textToFloatOrNothing(std::string_view text) {
    std::string_view t = text;
    while (!t.empty() && t.front() == ' ')
        t.remove_prefix(1);
    while (!t.empty() && t.back() == ' ')
        t.remove_suffix(1);
    std::size_t start = 0;
    float value = 0;
    if (isDecimalNumber(t, start)) {
        const char* first = t.data() + start;
        const char* last = t.data() + t.size();
        auto [end, error] = std::from_chars(first, last, value);
        if (error == std::errc() && end == last)
            return value;
    }
    return std::nullopt;
}

float oddsOfText(std::string_view text) {
    return textToFloatOrNothing(text).value_or(-1.0f);
}
