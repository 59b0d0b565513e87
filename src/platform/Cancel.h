#pragma once

#include <atomic>
#include <csignal>

// The program-wide cancel flag of the output commands: the progress dialog's cancel
// button sets it, showing the dialog clears it, and the output walk polls it between
// races. Atomic so that a walk moved to a worker thread later stays correct.
inline std::atomic<bool>& CancelRequested() {
    static std::atomic<bool> flag{false};
    return flag;
}

// The signal that asked the program to end from outside (SIGTERM, SIGHUP, SIGINT); 0 while
// none did. Set by the signal handler itself, so that an output walk that is writing when
// it comes discards its files instead of putting half a day in place.
inline volatile std::sig_atomic_t& EndingRequested() {
    static volatile std::sig_atomic_t signal = 0;
    return signal;
}
