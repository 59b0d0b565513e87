#pragma once

#include <atomic>

// The program-wide cancel flag of the output commands: the progress dialog's cancel
// button sets it, showing the dialog clears it, and the output walk polls it between
// races. Atomic so that a walk moved to a worker thread later stays correct.
inline std::atomic<bool>& CancelRequested() {
    static std::atomic<bool> flag{false};
    return flag;
}
