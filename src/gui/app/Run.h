#pragma once

#include "session/ProgramFiles.h"

#include <QString>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

class TFormMain;

// Where and how a run of the program takes place.
struct TRunEnvironment {
    // The program's own file: the settings file, the help file and the version record
    // are found through it.
    std::filesystem::path ProgramFile;
    // The settings file; empty: the program's own (ProgramFilesOf).
    std::filesystem::path IniFile;
    // The user's folders, where an installed program keeps its settings file.
    TUserFolders User;
    // A day archive to open once the window shows, as if chosen in the open dialog;
    // empty: none.
    std::filesystem::path Archive;
    // The single-instance guard's name and folder; empty: the program's base name in the
    // user's runtime folder.
    QString GuardName;
    QString GuardFolder;
    // Runs once the message loop runs, with the main window shown.
    std::function<void(TFormMain& formMain)> Started;
    // Shows an error of the run; empty: a message box.
    std::function<void(const QString& text)> ShowErrorBox;
};

// What the command line "ruvpelton [--ini FILE] [ARCHIVE]" asks for.
struct TCommandLine {
    std::filesystem::path IniFile; // empty: the program's own settings file
    std::filesystem::path Archive; // empty: none
    bool Help = false;             // --help or -h
    bool Version = false;          // --version
    std::string Error;             // what is wrong with it; empty when nothing is
};

// Reads the arguments after the program name; paths are made absolute. Qt's own options
// (-platform NAME, -style=NAME, --reverse...) are passed over: the application takes them.
TCommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// The texts that --help and --version print.
std::string CommandLineUsage();
std::string VersionText();

// The environment of the running program with what its command line asks for.
TRunEnvironment ProgramEnvironment(const TCommandLine& commandLine);

// One run of the program, in the application made by the caller: Qt's own texts (the
// file dialog, the standard buttons, the text boxes' menu) are Japanese for the run, as
// the program's are; the settings are loaded; the single-instance guard is taken; the main window,
// the about box, the settings dialog and the progress dialog are made; the message loop runs until
// the main window has closed (or the application is asked to quit, or SIGTERM, SIGHUP or SIGINT
// arrives: the window then closes as ファイル > 終了 closes it); the guard is released and the
// settings are saved. A second run asks the first to come forward, handing it its archive to
// open, and ends at once, with nothing made and nothing written. Returns the exit code: 0, or 1
// after an error that was shown.
int RunPelton(const TRunEnvironment& environment);
