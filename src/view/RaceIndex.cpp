#include "view/RaceIndex.h"

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
