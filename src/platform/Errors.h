#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>

// The runtime's own errors. Messages are CP932 text like every text of the program.

// A text that should hold a number does not.
class EConvertError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A file operation failed; the message names the operation and the file.
class EInOutError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// An index is outside the range its container holds.
class ERangeError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The input/output error of a file operation: "入出力エラー(operation): file (reason)"
// (operation: a UTF-8 literal).
EInOutError InOutError(const char* operation, const std::filesystem::path& file,
                       const std::string& reason);
