#pragma once

#include <filesystem>
#include <string>

class QWidget;

// Asks for a folder in a modal file dialog with the object name `name` that starts in
// `start`; an empty path when the user cancels.
std::filesystem::path ChooseFolder(QWidget* parent, const char* name, const std::string& start);
