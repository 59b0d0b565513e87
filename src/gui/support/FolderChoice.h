#pragma once

#include <filesystem>
#include <string>

class QWidget;

// Asks for a folder in a modal file dialog with the object name `name` and the caption
// `title` (UTF-8) that starts in `start`; an empty path when the user cancels. The files
// that match `shownFiles` (a name filter, UTF-8, such as "開催日ファイル (rv*.lzh)") are shown
// greyed, so that the user sees the folder that holds them; without it only folders show.
std::filesystem::path ChooseFolder(QWidget* parent, const char* name, const char* title,
                                   const std::string& start, const char* shownFiles = nullptr);
