#pragma once

#include <QString>

#include <filesystem>
#include <functional>

class TFormMain;

// Where and how a run of the program takes place.
struct TRunEnvironment {
    // The program's own file: the settings file, the help file and the version record
    // are found through it.
    std::filesystem::path ProgramFile;
    // The single-instance guard's name and folder; empty: the program's base name in the
    // user's runtime folder.
    QString GuardName;
    QString GuardFolder;
    // Runs once the message loop runs, with the main window shown.
    std::function<void(TFormMain& formMain)> Started;
    // Shows an error of the run; empty: a message box.
    std::function<void(const QString& text)> ShowErrorBox;
};

// The environment of the running program.
TRunEnvironment ProgramEnvironment();

// One run of the program, in the application made by the caller: the settings are
// loaded; the single-instance guard is taken; the main window, the about box, the
// settings dialog and the progress dialog are made; the message loop runs until the
// main window has closed (or the application is asked to quit); the guard is released
// and the settings are saved. A second run asks the first to come forward and ends at
// once, with nothing made and nothing written. Returns the exit code: 0, or 1 after an
// error that was shown.
int RunPelton(const TRunEnvironment& environment);
