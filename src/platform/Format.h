#pragma once

#include <string>

// printf on bytes: widths count bytes, so "%-38s" pads a CP932 text to 38 bytes. Numbers
// are written in the C locale ("1.5"), whatever locale the program runs under.
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
