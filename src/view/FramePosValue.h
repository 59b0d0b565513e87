// The stored texts of window and tool-bar positions, without a toolkit.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// The stored texts of a window's and a tool bar's place: nine comma-separated items each.
// Kept apart from the widgets so that they can be written, read and checked without a
// window.

// The items of a stored value, split at every comma; "" gives one empty item.
std::vector<std::string> SplitPosItems(std::string_view text);

// Where a window stands. The rectangle is the window's normal (restored) one, right and
// bottom exclusive; the minimized and maximized positions are those the window takes in
// those states, -1 where the desktop decides them.
struct TFormPlacement {
    static constexpr int kNormal = 0;
    static constexpr int kMinimized = 1;
    static constexpr int kMaximized = 2;

    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    int MinX = -1;
    int MinY = -1;
    int MaxX = -1;
    int MaxY = -1;
    int State = kNormal;
};

// "Left,Top,Right,Bottom,MinX,MinY,MaxX,MaxY,State".
std::string FormPosText(const TFormPlacement& placement);

// Applies a stored value over placement, which holds the window's current place. A value
// of fewer than nine items is ignored (false, placement unchanged). Items 0 to 7 that are
// not integers keep the current value. A state that is not 0, 1 or 2 keeps the current
// state: a damaged file must not stop the window from opening.
bool ApplyFormPosText(std::string_view text, TFormPlacement& placement);

// Where a tool bar stands.
struct TToolBarPlacement {
    static constexpr const char* kFloatingSite = "nil";

    bool Visible = true;
    bool Docked = true;
    int Top = 0;  // of the tool bar when docked, of its floating window when floating
    int Left = 0; // likewise
    int UndockWidth = 0;
    int UndockHeight = 0;
    int DockHeight = 0;   // height when docked at the top or the bottom
    int DockWidth = 0;    // width when docked at the left or the right
    std::string DockSite; // name of the dock site; kFloatingSite when floating
};

// "Visible,Docked,Top,Left,UndockWidth,UndockHeight,DockHeight,DockWidth,DockSite", the
// two flags as 1 or 0.
std::string ToolBarPosText(const TToolBarPlacement& placement);

// Applies a stored value over placement, which holds the tool bar's current place. A value
// of fewer than nine items is ignored (false, placement unchanged). The flags that are not
// integers default to 1 (visible, docked); the numbers that are not integers keep the
// current value; the dock site is item 8 as it stands.
bool ApplyToolBarPosText(std::string_view text, TToolBarPlacement& placement);
