#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

// Every write of the program's own files (output files, the settings file, extracted
// members) asks here how much of it the disk takes. Unlimited, unless a limit is set:
// then the bytes beyond it are refused, as a full disk refuses them, so that a test can
// fill the disk after any number of bytes on every machine.
void SetWriteLimit(std::optional<std::uintmax_t> bytes);

// How many of wanted bytes may be written now; they count against the limit. Fewer than
// wanted means the disk is full: the caller writes those and fails with ENOSPC.
std::size_t WritableBytes(std::size_t wanted);
