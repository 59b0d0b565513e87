#pragma once

#include <stdexcept>
#include <string>

// The reader of the tool's standard output went away (a closed pipe, as `| head` leaves
// it): the tool ends quietly.
class EOutputClosed : public std::exception {};

// Standard output cannot be written (a full disk, /dev/full): the tool ends with the
// message (CP932).
class EOutputError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The tool's standard output. Each text is handed on at once, so that a reader sees every
// line as it comes; a write that fails throws EOutputClosed or EOutputError.
class TBatchOutput {
public:
    // sjis: CP932 texts are written as they are, else as UTF-8 with LF line ends.
    explicit TBatchOutput(bool sjis) : m_sjis(sjis) {}

    void write(const std::string& cp932) const;
    void line(const std::string& cp932) const { write(cp932 + "\n"); }
    // A text of the tool's own (UTF-8), written as it is.
    void utf8Line(const std::string& utf8) const;

private:
    bool m_sjis;
};
