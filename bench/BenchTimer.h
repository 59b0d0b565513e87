#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

// Runs work several times and prints the best and the median wall time; prepare, when
// given, runs before each round and is not timed.
inline void benchmark(const char* name, int rounds, const std::function<void()>& work,
                      const std::function<void()>& prepare = {}) {
    std::vector<double> ms;
    for (int i = 0; i < rounds; ++i) {
        if (prepare)
            prepare();
        auto start = std::chrono::steady_clock::now();
        work();
        ms.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
    }
    std::sort(ms.begin(), ms.end());
    std::printf("%-48s best %8.3f ms   median %8.3f ms   (%d rounds)\n", name, ms.front(),
                ms[ms.size() / 2], rounds);
}
