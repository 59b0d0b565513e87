#include "output/CsvWriter.h"

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool readAsFormula(std::string_view text) {
    return !text.empty() &&
           std::string_view("=+-@\t\r").find(text.front()) != std::string_view::npos;
}

} // namespace

TCsvRow& TCsvRow::field(std::string_view text) {
    if (!m_empty)
        m_line += ',';
    m_empty = false;
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
        m_line += text;
        return *this;
    }
    m_line += '"';
    for (char c : text) {
        if (c == '"')
            m_line += '"';
        m_line += c;
    }
    m_line += '"';
    return *this;
}

TCsvRow& TCsvRow::Text(std::string_view utf8) {
    return readAsFormula(utf8) ? field("'" + std::string(utf8)) : field(utf8);
}

TCsvRow& TCsvRow::Number(long long value) {
    return field(std::to_string(value));
}

TCsvRow& TCsvRow::Number(std::string_view formatted) {
    return field(formatted);
}

std::string CsvStart(const std::vector<std::string_view>& headings) {
    TCsvRow row;
    for (std::string_view heading : headings)
        row.Text(heading);
    return std::string(kByteOrderMark) + row.Line();
}
