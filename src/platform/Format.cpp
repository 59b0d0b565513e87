#include "platform/Format.h"

#include <clocale>
#include <cstdarg>
#include <cstdio>
#include <locale.h>

namespace {

// printf follows the C library's locale, which the window's toolkit takes from the
// environment: for the length of one call this thread uses the C locale instead, so
// that every number is written with "." whatever locale a later call may set.
class TCLocaleScope {
public:
    TCLocaleScope() : m_previous(uselocale(cLocale())) {}
    ~TCLocaleScope() { uselocale(m_previous); }
    TCLocaleScope(const TCLocaleScope&) = delete;
    TCLocaleScope& operator=(const TCLocaleScope&) = delete;

private:
    static locale_t cLocale() {
        static const locale_t c = newlocale(LC_ALL_MASK, "C", locale_t{});
        return c;
    }
    locale_t m_previous;
};

} // namespace

std::string Format(const char* format, ...) {
    const TCLocaleScope cLocale;
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    char small[256];
    int n = std::vsnprintf(small, sizeof small, format, args);
    va_end(args);
    std::string result;
    if (n < 0) {
        result.clear();
    } else if (static_cast<std::size_t>(n) < sizeof small) {
        result.assign(small, static_cast<std::size_t>(n));
    } else {
        result.resize(static_cast<std::size_t>(n));
        std::vsnprintf(result.data(), result.size() + 1, format, copy);
    }
    va_end(copy);
    return result;
}
