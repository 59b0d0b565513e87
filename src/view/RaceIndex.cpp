#include "view/RaceIndex.h"

#include <algorithm>

namespace {

TRaceIndexNode* findInTree(std::vector<std::unique_ptr<TRaceIndexNode>>& nodes,
                           const std::string& text) {
    for (auto& node : nodes) {
        if (node->text == text)
            return node.get();
        if (TRaceIndexNode* found = findInTree(node->children, text))
            return found;
    }
    return nullptr;
}

} // namespace

TRaceIndex::TRaceIndex(const std::vector<std::string>& raceLines) {
    for (std::size_t i = 0; i < raceLines.size(); ++i) {
        const std::string& line = raceLines[i];
        std::size_t blank = line.find(' ');
        std::string group = blank == std::string::npos ? "" : line.substr(0, blank);
        std::string rest = line;
        if (blank != std::string::npos) {
            std::size_t start = line.find_first_not_of(' ', blank);
            rest = start == std::string::npos ? "" : line.substr(start);
        }
        TRaceIndexNode* parent = find(group);
        if (!parent) {
            m_roots.push_back(std::make_unique<TRaceIndexNode>(TRaceIndexNode{group, -1, {}}));
            parent = m_roots.back().get();
        }
        parent->children.push_back(
            std::make_unique<TRaceIndexNode>(TRaceIndexNode{rest, static_cast<int>(i), {}}));
    }
}

TRaceIndexNode* TRaceIndex::find(const std::string& text) {
    return findInTree(m_roots, text);
}

std::vector<int> TRaceIndex::order() const {
    std::vector<int> races;
    for (const auto& venue : m_roots)
        for (const auto& race : venue->children)
            races.push_back(race->data);
    return races;
}

int TRaceIndex::Neighbour(int race, int step) const {
    const std::vector<int> races = order();
    const auto at = std::find(races.begin(), races.end(), race);
    if (at == races.end())
        return step > 0 && !races.empty() ? races.front() : -1;
    const auto place = at - races.begin() + step;
    if (place < 0 || place >= static_cast<std::ptrdiff_t>(races.size()))
        return -1;
    return races[static_cast<std::size_t>(place)];
}
