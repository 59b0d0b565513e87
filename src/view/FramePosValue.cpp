// The stored texts of window and tool-bar positions, without a toolkit.
#include "view/FramePosValue.h"

#include "platform/Format.h"
#include "platform/IniFile.h"

#include <optional>

namespace {

constexpr std::size_t kItemCount = 9;

void keepOrTake(const std::string& item, int& value) {
    if (std::optional<int> n = ProfileTextToInteger(item))
        value = *n;
}

bool flagOrOn(const std::string& item) {
    return ProfileTextToInteger(item).value_or(1) != 0;
}

} // namespace

std::vector<std::string> SplitPosItems(std::string_view text) {
    std::vector<std::string> items;
    std::size_t start = 0;
    for (;;) {
        std::size_t comma = text.find(',', start);
        if (comma == std::string_view::npos) {
            items.emplace_back(text.substr(start));
            return items;
        }
        items.emplace_back(text.substr(start, comma - start));
        start = comma + 1;
    }
}

std::string FormPosText(const TFormPlacement& p) {
    return Format("%d,%d,%d,%d,%d,%d,%d,%d,%d", p.Left, p.Top, p.Right, p.Bottom, p.MinX, p.MinY,
                  p.MaxX, p.MaxY, p.State);
}

bool ApplyFormPosText(std::string_view text, TFormPlacement& placement) {
    const std::vector<std::string> items = SplitPosItems(text);
    if (items.size() < kItemCount)
        return false;
    keepOrTake(items[0], placement.Left);
    keepOrTake(items[1], placement.Top);
    keepOrTake(items[2], placement.Right);
    keepOrTake(items[3], placement.Bottom);
    keepOrTake(items[4], placement.MinX);
    keepOrTake(items[5], placement.MinY);
    keepOrTake(items[6], placement.MaxX);
    keepOrTake(items[7], placement.MaxY);
    std::optional<int> state = ProfileTextToInteger(items[8]);
    if (state && *state >= TFormPlacement::kNormal && *state <= TFormPlacement::kMaximized)
        placement.State = *state;
    return true;
}

std::string ToolBarPosText(const TToolBarPlacement& p) {
    return Format("%d,%d,%d,%d,%d,%d,%d,%d,%s", p.Visible ? 1 : 0, p.Docked ? 1 : 0, p.Top, p.Left,
                  p.UndockWidth, p.UndockHeight, p.DockHeight, p.DockWidth, p.DockSite.c_str());
}

bool ApplyToolBarPosText(std::string_view text, TToolBarPlacement& placement) {
    const std::vector<std::string> items = SplitPosItems(text);
    if (items.size() < kItemCount)
        return false;
    placement.Visible = flagOrOn(items[0]);
    placement.Docked = flagOrOn(items[1]);
    keepOrTake(items[2], placement.Top);
    keepOrTake(items[3], placement.Left);
    keepOrTake(items[4], placement.UndockWidth);
    keepOrTake(items[5], placement.UndockHeight);
    keepOrTake(items[6], placement.DockHeight);
    keepOrTake(items[7], placement.DockWidth);
    placement.DockSite = items[8];
    return true;
}
