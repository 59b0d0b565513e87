#pragma once

#include <array>
#include <cstdint>
#include <string>

// Pieces that the sample day and the sample season draw from.

// A small deterministic generator, so every run writes the same day.
class Dice {
public:
    explicit Dice(std::uint32_t seed) : m_state(seed) {}
    int below(int n) {
        m_state = m_state * 1664525u + 1013904223u;
        return static_cast<int>((m_state >> 8) % static_cast<std::uint32_t>(n));
    }
    int between(int low, int high) { return low + below(high - low + 1); }
    template <typename T, std::size_t N> const T& pick(const std::array<T, N>& items) {
        return items[static_cast<std::size_t>(below(static_cast<int>(N)))];
    }

private:
    std::uint32_t m_state;
};

extern const std::array<const char*, 16> kSampleJockeys;
extern const std::array<int, 8> kSampleDistances; // metres

// A horse name of three to eight katakana.
std::string SampleHorseName(Dice& dice);

// Brackets fill as the association fills them: in a field of more than eight the
// last brackets take the extra runners.
int SampleBracketOf(int number, int runners);
