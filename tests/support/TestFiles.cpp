#include "support/TestFiles.h"

#include "platform/Cp932.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace fs = std::filesystem;

std::string ReadBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> FolderEntries(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> SplitLines(const std::string& bytes) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(bytes.substr(start));
            lines.push_back("<no CR LF>");
            break;
        }
        lines.push_back(bytes.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

std::string J(const std::string& utf8) {
    return toCp932(utf8);
}

std::vector<std::vector<std::string>> ReadCsv(const std::string& text) {
    std::vector<std::vector<std::string>> records;
    std::vector<std::string> record;
    std::string field;
    bool quoted = false;   // the field began with a quote
    bool inQuotes = false; // and its closing quote has not come yet
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inQuotes) {
            if (c != '"')
                field += c;
            else if (i + 1 < text.size() && text[i + 1] == '"')
                field += text[++i];
            else
                inQuotes = false;
        } else if (c == ',' || c == '\r') {
            if (c == '\r' && (i + 1 == text.size() || text[++i] != '\n'))
                throw std::runtime_error("CR without LF at byte " + std::to_string(i));
            record.push_back(field);
            field.clear();
            quoted = false;
            if (c == '\r') {
                records.push_back(record);
                record.clear();
            }
        } else if (c == '"' && field.empty() && !quoted) {
            quoted = inQuotes = true;
        } else if (c == '"' || quoted || c == '\n') {
            throw std::runtime_error("unexpected byte at " + std::to_string(i));
        } else {
            field += c;
        }
    }
    if (inQuotes || !field.empty() || quoted || !record.empty())
        throw std::runtime_error("the last record does not end with CR LF");
    return records;
}
