#pragma once

#include <memory>
#include <string>
#include <vector>

// The race index: venue nodes holding their races, in the order of the race lines.
// A node's data is -1 for a venue, else the race index for SelectRace. Texts are CP932.
struct TRaceIndexNode {
    std::string text;
    int data = -1;
    std::vector<std::unique_ptr<TRaceIndexNode>> children;
};

class TRaceIndex {
public:
    // Each line is split at its first blank into the venue and the rest (the blanks after
    // it skipped); the race goes under the first node of the whole tree, in tree order,
    // whose text equals the venue, or under a new venue node at the end.
    explicit TRaceIndex(const std::vector<std::string>& raceLines);

    const std::vector<std::unique_ptr<TRaceIndexNode>>& Roots() const { return m_roots; }

    // The race one place after (step 1) or before (step -1) race in tree order, across
    // venues; -1 past the first or the last race, which do not wrap. From no race (-1) a
    // step forward gives the first race.
    int Neighbour(int race, int step) const;

private:
    TRaceIndexNode* find(const std::string& text);
    // The races in tree order.
    std::vector<int> order() const;

    std::vector<std::unique_ptr<TRaceIndexNode>> m_roots;
};
