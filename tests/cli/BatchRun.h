#pragma once

#include <string>

// What ruvpelton-batch printed and its exit code, run as a shell runs it.
struct BatchRun {
    std::string out; // standard output
    std::string err; // standard error
    int exitCode = -1;
};

// Runs the tool with arguments (shell words, quoted by the caller).
BatchRun RunBatch(const std::string& arguments);
