#pragma once

#include <filesystem>
#include <string>

// The user's own folders as the environment names them: HOME, XDG_CONFIG_HOME and
// XDG_CACHE_HOME.
struct TUserFolders {
    std::filesystem::path Home;
    std::filesystem::path ConfigHome; // empty, or not absolute: Home/.config
    std::filesystem::path CacheHome;  // empty, or not absolute: Home/.cache

    // The program's folder of files that can always be made again: CacheHome/ruvpelton.
    std::filesystem::path ProgramCache() const;

    static TUserFolders FromEnvironment();
};

// Where the program's own files lie, found from the desktop program's file.
//
// Run from a build folder, or from any folder it was copied to, everything lies beside the
// program: the settings file named after it, the help file, and the program folder is the
// default of every folder setting. Installed (the program in PREFIX/bin beside
// PREFIX/share/ruvpelton) its folder is no place to write, even for root: the settings
// file is ruvpelton/ruvpelton.ini in the user's config folder, the help file lies in
// PREFIX/share/ruvpelton, and the folder settings default to the user's home. The sample
// day with its odds and time database lies in the folder "sample" beside the help file.
struct TProgramFiles {
    std::filesystem::path SettingsFile;
    std::filesystem::path HelpFile;
    std::string DefaultFolder; // with its final '/'
    std::filesystem::path SampleFolder;
};

// programFile: the desktop program; the batch tool passes the one that would lie beside it.
TProgramFiles ProgramFilesOf(const std::filesystem::path& programFile, const TUserFolders& user);
