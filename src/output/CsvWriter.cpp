#include "output/CsvWriter.h"

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool readAsFormula(std::string_view text) {
    return !text.empty() &&
           std::string_view("=+-@\t\r").find(text.front()) != std::string_view::npos;
}

} // namespace

void TCsvRow::field(std::string_view text) {
    if (!m_values.empty())
        m_line += ',';
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
        m_line += text;
        return;
    }
    m_line += '"';
    for (char c : text) {
        if (c == '"')
            m_line += '"';
        m_line += c;
    }
    m_line += '"';
}

TCsvRow& TCsvRow::Text(std::string_view utf8) {
    field(readAsFormula(utf8) ? "'" + std::string(utf8) : std::string(utf8));
    m_values.emplace_back(utf8);
    return *this;
}

TCsvRow& TCsvRow::Number(long long value) {
    return Number(std::to_string(value));
}

TCsvRow& TCsvRow::Number(std::string_view formatted) {
    field(formatted);
    m_values.emplace_back(formatted);
    return *this;
}

std::string CsvStart(const std::vector<std::string_view>& headings) {
    TCsvRow row;
    for (std::string_view heading : headings)
        row.Text(heading);
    return std::string(kByteOrderMark) + row.Line();
}
